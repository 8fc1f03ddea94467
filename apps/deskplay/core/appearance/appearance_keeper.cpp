#include "core/appearance/appearance_keeper.hpp"

#include <utility>

#include "core/appearance/appearance_reading.hpp"
#include "core/appearance/change_journal.hpp"
#include "core/appearance/snapshot_file.hpp"

namespace deskplay::core {

namespace {

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

// Moves an unreadable snapshot aside, and says in the log why and where to.
void keepUnreadableAside(const std::filesystem::path& snapshotFile, const platform::Clock& clock,
                         const ArcadeLog& log, const std::string& what) {
  const auto aside = keepSnapshotAside(snapshotFile, clock);
  log.write("appearance: " + what + "; " +
            (aside.ok() ? "kept aside as " + aside.value().string()
                        : "could not be kept aside: " + aside.message()));
}

}  // namespace

AppearanceKeeper::AppearanceKeeper(AppearanceServices services, std::filesystem::path snapshotFile,
                                   std::filesystem::path desktop, ArcadeLog log)
    : services_(services),
      snapshotFile_(std::move(snapshotFile)),
      desktop_(std::move(desktop)),
      log_(std::move(log)) {}

std::filesystem::path AppearanceKeeper::changeJournal() const {
  return changeJournalFile(snapshotFile_);
}

void AppearanceKeeper::record() {
  const auto existing = readDesktopSnapshot(snapshotFile_);
  if (existing.ok() && existing.value()) {
    log_.write("appearance: the snapshot of an earlier session is kept");
    return;
  }
  if (!existing.ok()) {
    keepUnreadableAside(snapshotFile_, services_.clock, log_,
                        "unreadable snapshot (" + existing.message() + ")");
  }
  DesktopAppearance appearance = readDesktopAppearance(services_, visibleDesktopItems(desktop_));
  unwritten_.reset();
  if (const Status written = writeDesktopSnapshot(snapshotFile_, appearance); !written.ok()) {
    log_.write("appearance: the snapshot could not be written: " + written.message());
    unwritten_ = std::move(appearance);
    return;
  }
  // Without a journal every setting that differs is put back, the user's own changes too.
  if (const Status started = startChangeJournal(changeJournal()); !started.ok()) {
    log_.write("appearance: no journal of the game's changes: " + started.message());
  }
}

void AppearanceKeeper::putBack(bool filesRestored) {
  std::optional<DesktopAppearance> before = unwritten_;
  const auto stored = readDesktopSnapshot(snapshotFile_);
  if (!stored.ok()) {
    keepUnreadableAside(snapshotFile_, services_.clock, log_,
                        "unreadable snapshot, not applied (" + stored.message() + ")");
  } else if (stored.value()) {
    before = stored.value();
  }
  if (!before) return;

  const AppearanceRestore restore =
      putBackDesktopAppearance(services_, *before, desktop_, readChangeJournal(changeJournal()));
  if (!restore.putBack.empty()) log_.write("appearance: put back " + joined(restore.putBack));
  if (!restore.problems.empty()) {
    log_.write("appearance: not put back: " + joined(restore.problems));
    return;
  }
  if (!filesRestored) return;
  unwritten_.reset();
  for (const auto& file : {snapshotFile_, changeJournal()}) {
    if (const Status removed = removeSnapshotFile(file); !removed.ok()) {
      log_.write("appearance: " + removed.message());
    }
  }
}

}  // namespace deskplay::core
