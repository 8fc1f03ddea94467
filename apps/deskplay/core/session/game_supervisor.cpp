#include "core/session/game_supervisor.hpp"

#include <signal.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "core/appearance/appearance_reading.hpp"
#include "core/appearance/snapshot_file.hpp"
#include "core/basics/data_dir.hpp"
#include "core/basics/game_server_token.hpp"
#include "core/basics/repo_root.hpp"
#include "core/session/engine_environment.hpp"
#include "core/session/engine_process.hpp"
#include "core/session/engine_record.hpp"
#include "core/session/leftover_engine.hpp"
#include "core/session/process_identity.hpp"
#include "core/settings/server_url.hpp"
#include "core/settings/sound_setting.hpp"

namespace deskplay::core {

namespace {

// How long a supervisor that goes while its engine runs gives the engine to end.
constexpr int kEngineGraceMs = 3000;

bool isDirectory(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(std::filesystem::symlink_status(path, error));
}

std::string describe(const EngineExit& exit) {
  return exit.kind == EngineExit::Kind::exited ? "exit " + std::to_string(exit.code)
                                               : "signal " + std::to_string(exit.code);
}

}  // namespace

GameSupervisor::GameSupervisor(AppPaths paths, Services services, platform::ToolPaths tools,
                               QProcessEnvironment environment, SessionTokenSource sessionToken,
                               QObject* parent)
    : QObject(parent),
      paths_(std::move(paths)),
      services_(services),
      tools_(std::move(tools)),
      environment_(std::move(environment)),
      sessionToken_(std::move(sessionToken)),
      log_(paths_.applicationLog(), services_.clock),
      stash_(paths_.desktop(), paths_.stashDirectory()),
      appearance_({services_.feedback.scripts, services_.preferences, services_.clock,
                   [this] {
                     return readDesktopIconPlaces(services_.accessibility,
                                                  services_.feedback.windows, paths_.desktop());
                   }},
                  desktopSnapshotFile(paths_), paths_.desktop(), log_),
      engineRecord_(engineRecordFile(paths_)) {}

GameSupervisor::~GameSupervisor() {
  // An engine still running when the supervisor goes gets the terminate request and a moment
  // to end before its group is killed; a stash that cannot be put back now is restored at the
  // next start.
  if (process_) {
    process_->disconnect(this);
    process_->terminate();
    if (!process_->waitForFinished(kEngineGraceMs)) {
      const auto group = static_cast<pid_t>(process_->processId());
      if (group > 1) {
        ::kill(-group, SIGKILL);
        // The stash goes back only once nothing of the engine's group can still draw.
        static_cast<void>(awaitGroupEnd(group, std::chrono::milliseconds(kEngineGraceMs)));
      }
      process_->waitForFinished(kEngineGraceMs);
    }
    if (process_->state() == QProcess::NotRunning) {
      static_cast<void>(stash_.restore());
      forgetEngine();
    }
  }
}

bool GameSupervisor::endEngineLeftBehind() {
  // The record of an engine that runs now is this run's own.
  if (process_) return true;
  return core::endEngineLeftBehind(engineRecord_, log_);
}

void GameSupervisor::putBackLeftoverAppearance(bool filesRestored) {
  if (process_) return;
  appearance_.putBack(filesRestored);
}

SessionState GameSupervisor::state() const {
  if (process_) return SessionState::running;
  if (feedback_) return SessionState::needsAttention;
  return SessionState::idle;
}

void GameSupervisor::play(const Game& game, const std::vector<std::string>& args) {
  if (process_) return;
  if (feedback_) {
    setLastError(kRestoreFirst);
    return;
  }
  setLastError(std::nullopt);
  const quint16 port = services_.inputSocket.port();
  if (port == 0) {
    setLastError(kInputSocketNotReady);
    return;
  }

  EngineLaunch launch;
  if (game.bundleURL) {
    launch = PackagedLaunch{paths_.resources(), *game.bundleURL};
  } else {
    const auto checkout = findRepoRoot(paths_.bundle);
    if (!checkout) {
      setLastError(kNoCheckout);
      return;
    }
    launch = DevelopmentLaunch{*checkout, game.entryFile};
  }

  auto created =
      GameSessionFeedback::create(services_.feedback, paths_.temporaryDirectory, paths_.desktop());
  if (!created.ok()) {
    log_.write("supervisor: session feedback failed: " + created.message());
    setLastError(kFeedbackFailed);
    return;
  }
  feedback_ = std::move(created.value());
  feedback_->beginNative();

  const bool restored = stash_.restore();
  // The look is recorded while the user's items are still on the Desktop, and before the
  // game can change anything.
  if (restored) appearance_.record();
  if (!restored || !stash_.hide()) {
    abandonStart(kDesktopNotPrepared);
    return;
  }

  EngineSettings settings;
  settings.inputPort = port;
  settings.statusPath = feedback_->recordPath();
  settings.sessionId = feedback_->session();
  settings.soundsEnabled = services_.preferences.value(kSoundsEnabledKey);
  settings.serverUrl = resolvedServerURL(services_.preferences);
  if (sessionToken_) settings.sessionToken = sessionToken_();
  settings.dataDir = resolvedDataDirPath(services_.preferences, paths_);
  settings.gameServerToken = readGameServerToken(gameServerTokenFile(launch));
  settings.desktopChangesPath = appearance_.changeJournal();

  QProcessEnvironment environment = environment_;
  const std::optional<std::string> inheritedPath =
      environment.contains("PATH")
          ? std::optional<std::string>(environment.value("PATH").toStdString())
          : std::nullopt;
  for (const auto& [name, value] : engineEnvironment(settings, launch, inheritedPath)) {
    environment.insert(QString::fromStdString(name), QString::fromStdString(value));
  }
  const EngineCommand command = engineCommand(launch, args, tools_.zsh);

  auto process = std::make_unique<QProcess>();
  // Queued: the end is handled from the main loop, never inside a wait, and the connection
  // dies with the supervisor.
  connect(
      process.get(), &QProcess::finished, this,
      [this, child = process.get()] {
        if (child == process_.get()) engineEnded(engineExit(*child));
      },
      Qt::QueuedConnection);

  const Status started =
      std::holds_alternative<PackagedLaunch>(launch) && !isDirectory(paths_.resources())
          ? Status(Error{"The application bundle has no resource directory."})
          : startEngineProcess(*process, command, environment, paths_.gameLog());
  if (!started.ok()) {
    log_.write("supervisor: " + game.id + " failed to launch: " + started.message());
    abandonStart(kLaunchFailedPrefix + started.message());
    return;
  }

  const auto pid = static_cast<pid_t>(process->processId());
  log_.write("supervisor: started " + game.id + " (pid " + std::to_string(pid) + ")");
  recordEngine(pid);
  process_ = std::move(process);
  setCurrentGame(game);
  emit keyCaptureChanged(true);
  emit stateChanged();
}

void GameSupervisor::abandonStart(std::optional<std::string> error) {
  // Whatever moved is put back; a failure here is for the user's manual restore.
  const bool restored = stash_.restore();
  if (!restored) log_.write("supervisor: the stash could not be restored");
  appearance_.putBack(restored);
  if (const Result<void, FeedbackError> cleared = feedback_->clear(); !cleared.ok()) {
    log_.write("supervisor: session files not cleared: " + cleared.message());
  }
  feedback_.reset();
  setLastError(std::move(error));
}

void GameSupervisor::engineEnded(EngineExit exit) {
  emit keyCaptureChanged(false);

  SessionEnd end{exit, false, false, std::nullopt};
  std::optional<GameSessionFeedback::Record> record;
  auto read = feedback_->read();
  if (read.ok()) {
    record = std::move(read.value());
  } else {
    end.recordFailed = true;
    log_.write("supervisor: status record rejected: " + read.message());
  }
  if (record && record->phase != session_phase::childComplete) {
    if (const Result<void, FeedbackError> shown =
            feedback_->show(session_phase::restoring, *record);
        !shown.ok()) {
      log_.write("supervisor: tiles not put back: " + shown.message());
      record.reset();
      end.recordFailed = true;
    }
  }
  if (!record || record->version == 2) feedback_->showNative(session_phase::restoring);

  end.desktopRestored = stash_.restore();
  appearance_.putBack(end.desktopRestored);
  if (record) end.recordPhase = record->phase;

  bool clean = endedCleanly(end);
  if (clean) {
    if (const Result<void, FeedbackError> cleared = feedback_->clear(); cleared.ok()) {
      feedback_.reset();
    } else {
      log_.write("supervisor: session files not cleared: " + cleared.message());
      clean = false;
    }
  }
  if (!clean) {
    feedback_->showNative(session_phase::failed);
    if (record) {
      // Best effort: the failure is already being reported.
      static_cast<void>(feedback_->show(session_phase::failed, *record));
    }
    setLastError(kUncleanEnd);
  }
  log_.write("supervisor: engine ended (" + describe(exit) + "), " + (clean ? "clean" : "unclean") +
             (end.desktopRestored ? "" : ", stash kept"));

  process_.release()->deleteLater();
  forgetEngine();
  setCurrentGame(std::nullopt);
  emit stateChanged();
  emit sessionEnded(clean);
}

void GameSupervisor::recordEngine(pid_t pid) {
  // Written before the engine draws anything, so that a start-up after a crash of this
  // application can end it before putting the desktop back.
  const auto record = engineRecordOf(pid);
  const Status written =
      record.ok() ? writeEngineRecord(engineRecord_, record.value()) : Status(record.error());
  if (!written.ok()) log_.write("supervisor: the engine is not recorded: " + written.message());
}

void GameSupervisor::forgetEngine() {
  if (const Status removed = removeEngineRecord(engineRecord_); !removed.ok()) {
    log_.write("supervisor: " + removed.message());
  }
}

void GameSupervisor::restoreDesktopNow() {
  if (process_) return;
  const bool restored = stash_.restore();
  appearance_.putBack(restored);
  if (!restored) {
    setLastError(kRestoreIncomplete);
    return;
  }
  if (feedback_) {
    if (const Result<void, FeedbackError> cleared = feedback_->clear(); !cleared.ok()) {
      log_.write("supervisor: session files not cleared: " + cleared.message());
      setLastError(kSessionFilesNeedAttention);
      return;
    }
    feedback_.reset();
    emit stateChanged();
  }
  setLastError(std::nullopt);
}

void GameSupervisor::revealStash() {
  if (isDirectory(stash_.storage())) {
    services_.workspace.activateFileViewerSelecting({stash_.storage()});
  }
}

void GameSupervisor::setCurrentGame(std::optional<Game> game) {
  if (currentGame_ == game) return;
  currentGame_ = std::move(game);
  emit currentGameChanged();
}

void GameSupervisor::setLastError(std::optional<std::string> error) {
  if (lastError_ == error) return;
  lastError_ = std::move(error);
  emit lastErrorChanged();
}

}  // namespace deskplay::core
