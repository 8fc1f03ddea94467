#pragma once

#include <sys/types.h>

#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/appearance/appearance_keeper.hpp"
#include "core/basics/app_paths.hpp"
#include "core/basics/arcade_log.hpp"
#include "core/catalog/game.hpp"
#include "core/feedback/game_session_feedback.hpp"
#include "core/input/input_socket.hpp"
#include "core/session/session_end.hpp"
#include "core/stash/desktop_stash.hpp"
#include "platform/accessibility.hpp"
#include "platform/preferences.hpp"
#include "platform/tool_paths.hpp"
#include "platform/workspace.hpp"

namespace deskplay::core {

// Where the supervisor stands: no engine; an engine running; or an engine that ended
// uncleanly, whose session files wait for the user's restore.
enum class SessionState { idle, running, needsAttention };

// Runs one game at a time: stashes the desktop, starts the engine with the session's
// environment, and when the engine ends puts the desktop back and decides whether the
// session ended cleanly. The only owner of the engine process, the stash and the session
// feedback. Main thread only; the engine's end is handed over to the main thread.
class GameSupervisor final : public QObject {
  Q_OBJECT
  Q_PROPERTY(
      std::optional<deskplay::core::Game> currentGame READ currentGame NOTIFY currentGameChanged)
  Q_PROPERTY(std::optional<std::string> lastError READ lastError NOTIFY lastErrorChanged)

 public:
  // The ports and stores the supervisor works through; all must outlive it.
  struct Services {
    platform::Preferences& preferences;
    platform::Workspace& workspace;
    // Also paces the waits while Finder relaunches as the desktop's look is put back.
    platform::Clock& clock;
    GameSessionFeedback::Services feedback;
    const InputSocket& inputSocket;
    // Where Finder shows the Desktop's icons, for keeping their places across a game.
    platform::Accessibility& accessibility;
  };
  // The stored room-server session token, when the user is signed in.
  using SessionTokenSource = std::function<std::optional<std::string>()>;

  // `environment` is what every engine inherits. Without a token source no session token is
  // handed to engines.
  GameSupervisor(AppPaths paths, Services services, platform::ToolPaths tools,
                 QProcessEnvironment environment, SessionTokenSource sessionToken = {},
                 QObject* parent = nullptr);
  ~GameSupervisor() override;
  GameSupervisor(const GameSupervisor&) = delete;
  GameSupervisor& operator=(const GameSupervisor&) = delete;

  // Starts `game` with the engine arguments `args`. The outcome shows in currentGame and
  // lastError; a call while an engine runs changes nothing.
  void play(const Game& game, const std::vector<std::string>& args);
  // The user's restore of the desktop after an unclean end or a failed restore.
  void restoreDesktopNow();
  // Shows the stash directory in Finder when there is one.
  void revealStash();
  // Start-up, before the stash is restored: ends an engine that an earlier run started and
  // left running (it died without ending it). False while that engine still runs, when the
  // desktop must stay stashed.
  bool endEngineLeftBehind();
  // Start-up, after the stash restore (`filesRestored` tells whether it emptied the stash):
  // puts back the desktop's look recorded before a game that an earlier run did not see end.
  void putBackLeftoverAppearance(bool filesRestored);

  const std::optional<Game>& currentGame() const { return currentGame_; }
  const std::optional<std::string>& lastError() const { return lastError_; }
  SessionState state() const;

  // The running engine; null when none runs. Stopping a game is a terminate request sent to
  // it; the supervisor does the rest when it ends.
  QProcess* process() const { return process_.get(); }
  // The current (or unrestored) session; null when there is none.
  GameSessionFeedback* feedback() const { return feedback_.get(); }
  DesktopStash& stash() { return stash_; }
  const AppearanceKeeper& appearance() const { return appearance_; }

  // The texts lastError takes.
  static constexpr const char* kRestoreFirst =
      "Restore the previous session's desktop before starting another game.";
  static constexpr const char* kInputSocketNotReady =
      "Input socket not ready yet \u2014 try again in a moment.";
  static constexpr const char* kNoCheckout =
      "Could not locate the tilestack repo (pnpm-workspace.yaml).";
  static constexpr const char* kFeedbackFailed = "Could not prepare session feedback. Try again.";
  static constexpr const char* kDesktopNotPrepared =
      "Could not prepare the desktop. Reveal the stash to inspect any files still there.";
  static constexpr const char* kLaunchFailedPrefix = "Failed to launch: ";
  static constexpr const char* kUncleanEnd =
      "The session did not finish cleanly. Restore the desktop from the menu; check the game "
      "log if it persists.";
  static constexpr const char* kRestoreIncomplete =
      "Some desktop files could not be restored. Reveal the stash to inspect them.";
  static constexpr const char* kSessionFilesNeedAttention =
      "Session files need attention. Check the game log before starting another game.";

 signals:
  void currentGameChanged();
  void lastErrorChanged();
  // Every change of state(): an engine started, ended, or a session was restored.
  void stateChanged();
  // Keys belong to the engine from its start until its end is being handled.
  void keyCaptureChanged(bool capturing);
  // The end of an engine has been handled; `clean` tells how it ended.
  void sessionEnded(bool clean);

 private:
  void abandonStart(std::optional<std::string> error);
  void engineEnded(EngineExit exit);
  // The durable record by which a later run recognises the running engine.
  void recordEngine(pid_t pid);
  void forgetEngine();
  void setCurrentGame(std::optional<Game> game);
  void setLastError(std::optional<std::string> error);

  AppPaths paths_;
  Services services_;
  platform::ToolPaths tools_;
  QProcessEnvironment environment_;
  SessionTokenSource sessionToken_;
  ArcadeLog log_;
  DesktopStash stash_;
  AppearanceKeeper appearance_;
  std::filesystem::path engineRecord_;
  std::unique_ptr<GameSessionFeedback> feedback_;
  std::unique_ptr<QProcess> process_;
  std::optional<Game> currentGame_;
  std::optional<std::string> lastError_;
};

}  // namespace deskplay::core
