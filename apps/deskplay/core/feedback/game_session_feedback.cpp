#include "core/feedback/game_session_feedback.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_status.hpp"
#include "common/system_error.hpp"
#include "common/uuid.hpp"
#include "core/feedback/session_files.hpp"
#include "core/feedback/tile_identity.hpp"
#include "core/feedback/tile_layout.hpp"

namespace deskplay::core {

namespace {

using Seconds = platform::Clock::Seconds;

// The Desktop as the engine writes it: no trailing slash.
std::filesystem::path withoutTrailingSlash(const std::filesystem::path& path) {
  std::string text = path.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

FeedbackError ownershipChanged(const std::string& message) {
  return FeedbackError{FeedbackFailure::ownershipChanged, message};
}

// An engine writes its record to a hidden copy beside it and renames that over the record; an
// engine killed between the two leaves the copy. Such copies are part of the record and go with
// it. Anything else in the directory is left for a person to look at.
void removeUnfinishedRecordCopies(const std::filesystem::path& directory,
                                  std::string_view recordName) {
  const std::string prefix = "." + std::string(recordName) + ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(prefix) || !entry.is_regular_file(error) || entry.is_symlink(error)) {
      continue;
    }
    std::filesystem::remove(entry.path(), error);
  }
}

}  // namespace

Result<std::unique_ptr<GameSessionFeedback>> GameSessionFeedback::create(
    Services services, const std::filesystem::path& temporaryDirectory,
    const std::filesystem::path& desktop) {
  Result<std::string> session = randomUuid();
  if (!session.ok()) return session.error();
  return createForSession(services, std::move(session).value(), temporaryDirectory, desktop);
}

Result<std::unique_ptr<GameSessionFeedback>> GameSessionFeedback::createForSession(
    Services services, std::string session, const std::filesystem::path& temporaryDirectory,
    const std::filesystem::path& desktop) {
  std::filesystem::path directory = temporaryDirectory / (std::string(kDirectoryPrefix) + session);
  if (Status created = createPrivateDirectory(directory); !created.ok()) return created.error();
  return std::unique_ptr<GameSessionFeedback>(new GameSessionFeedback(
      services, std::move(session), std::move(directory), withoutTrailingSlash(desktop)));
}

GameSessionFeedback::GameSessionFeedback(Services services, std::string session,
                                         std::filesystem::path directory,
                                         std::filesystem::path desktop)
    : services_(services),
      session_(std::move(session)),
      directory_(std::move(directory)),
      desktop_(std::move(desktop)) {}

GameSessionFeedback::~GameSessionFeedback() = default;

void GameSessionFeedback::beginNative() {
  showNative(session_phase::loading);
  statusTimer_ = services_.timers.repeating(kPollInterval, [this] { poll(); });
}

Result<std::optional<SessionRecord>, FeedbackError> GameSessionFeedback::read() const {
  Result<std::optional<std::string>, FeedbackError> bytes = readRecordFile(recordPath());
  if (!bytes.ok()) return bytes.error();
  if (!bytes.value()) return std::optional<SessionRecord>();
  Result<SessionRecord, FeedbackError> record =
      parseSessionRecord(*bytes.value(), session_, desktop_.string());
  if (!record.ok()) return record.error();
  return std::optional<SessionRecord>(std::move(record).value());
}

void GameSessionFeedback::poll() {
  Result<std::optional<SessionRecord>, FeedbackError> current = read();
  if (!current.ok() || !current.value()) return;
  const SessionRecord& record = *current.value();
  if (record.phase == lastPhase_) return;
  lastPhase_ = record.phase;

  if (record.version == 1) {
    // The engine shows its own status from here on.
    statusTimer_.reset();
    hideWindow();
    return;
  }
  if (record.phase == session_phase::loading || record.phase == session_phase::restoring ||
      record.phase == session_phase::failed) {
    showNative(record.phase);
  } else if (record.phase == session_phase::ready && !goodbyeAt_) {
    hideWindow();
  }
}

void GameSessionFeedback::showNative(std::string_view phase) {
  if (phase == session_phase::restoring && !goodbyeAt_) goodbyeAt_ = services_.clock.uptime();
  // A session that is winding down never goes back to loading.
  if (phase == session_phase::loading && goodbyeAt_) return;
  if (!statusWindow_) {
    statusWindow_ = std::make_shared<status_panel::SessionStatusWindow>(services_.windows);
  }
  statusWindow_->show(phase);
}

Result<void, FeedbackError> GameSessionFeedback::show(std::string_view phase,
                                                      const SessionRecord& record) {
  showNative(phase);
  for (const SessionTile& tile : record.tiles) {
    if (Result<void, FeedbackError> owned = checkTileOwnership(tile); !owned.ok()) return owned;
  }

  std::vector<SessionTile> tiles = record.tiles;
  std::stable_sort(tiles.begin(), tiles.end(),
                   [](const SessionTile& a, const SessionTile& b) { return a.index < b.index; });
  if (tiles.empty()) return Result<void, FeedbackError>::success();

  const platform::ScriptRun iconSize = services_.scripts.run(std::string(kDesktopIconSizeScript));
  // Without Finder's icon size every tile would land on the same spot.
  if (iconSize.outcome != platform::ScriptRun::Outcome::succeeded) {
    return FeedbackError{FeedbackFailure::positionFailed, "Finder did not give the icon size"};
  }
  const std::int32_t icon = iconSize.result ? iconSize.result->int32Value : 0;

  const std::vector<platform::Screen> screens = services_.windows.screens();
  if (screens.empty()) return Result<void, FeedbackError>::success();

  const platform::ScriptRun moved =
      services_.scripts.run(desktopPositionScript(lineUpTiles(tiles, icon, screens.front())));
  if (moved.outcome != platform::ScriptRun::Outcome::succeeded) {
    return FeedbackError{FeedbackFailure::positionFailed,
                         "Finder did not move the tiles: " + moved.error.description};
  }
  return Result<void, FeedbackError>::success();
}

Result<void, FeedbackError> GameSessionFeedback::clear() {
  Result<std::optional<SessionRecord>, FeedbackError> current = read();
  if (!current.ok()) return current.error();
  const std::optional<SessionRecord>& record = current.value();

  std::vector<const SessionTile*> kept;
  if (record) {
    for (const SessionTile& tile : record->tiles) {
      FileStatus status;
      if (statAt(AT_FDCWD, tile.path.c_str(), SymlinkPolicy::NoFollow, status) != 0 &&
          errno == ENOENT) {
        continue;
      }
      if (Result<void, FeedbackError> owned = checkTileOwnership(tile); !owned.ok()) return owned;
      kept.push_back(&tile);
    }
  }
  for (const SessionTile* tile : kept) {
    if (Result<void, FeedbackError> owned = checkTileOwnership(*tile); !owned.ok()) return owned;
    if (::unlink(tile->path.c_str()) != 0) {
      return ownershipChanged(errnoMessage("remove tile " + tile->path, errno));
    }
  }

  if (record && ::unlink(recordPath().c_str()) != 0) {
    return FeedbackError{FeedbackFailure::fileSystemFailed,
                         errnoMessage("remove session record " + recordPath().string(), errno)};
  }
  removeUnfinishedRecordCopies(directory_, kRecordFileName);
  if (::rmdir(directory_.c_str()) != 0) {
    return FeedbackError{FeedbackFailure::invalidRecord,
                         errnoMessage("remove session directory " + directory_.string(), errno)};
  }
  closeNative();
  return Result<void, FeedbackError>::success();
}

void GameSessionFeedback::hideWindow() {
  if (statusWindow_) statusWindow_->orderOut();
}

void GameSessionFeedback::closeNative() {
  statusTimer_.reset();
  const Seconds delay = std::max(
      Seconds(0), goodbyeAt_.value_or(Seconds(0)) + kGoodbyeDuration - services_.clock.uptime());
  if (!statusWindow_) return;
  services_.timers.after(delay, [window = statusWindow_] { window->orderOut(); });
}

}  // namespace deskplay::core
