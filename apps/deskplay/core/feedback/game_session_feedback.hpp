#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.hpp"
#include "core/feedback/feedback_error.hpp"
#include "core/feedback/session_record.hpp"
#include "platform/clock.hpp"
#include "platform/main_loop_timers.hpp"
#include "platform/script_host.hpp"
#include "platform/windows.hpp"
#include "status_panel/session_status_window.hpp"

namespace deskplay::core {

// One game session's status record and native status window: the private session
// directory, the strict reading of the record the engine writes there, the status window
// driven from the record's phase, the Desktop tiles lined up while the session winds down,
// and the removal of tiles, record and directory at the end.
// Main thread only.
class GameSessionFeedback final {
 public:
  using Record = SessionRecord;
  using Tile = SessionTile;
  using Failure = FeedbackFailure;

  // The ports the object works through; all of them must outlive it and any goodbye still
  // pending after it.
  struct Services {
    platform::Windows& windows;
    platform::ScriptHost& scripts;
    const platform::Clock& clock;
    platform::MainLoopTimers& timers;
  };

  static constexpr platform::Clock::Seconds kPollInterval{0.05};
  // How long "Goodbye" stays up at least.
  static constexpr platform::Clock::Seconds kGoodbyeDuration{2.0};
  static constexpr std::string_view kDirectoryPrefix = "deskplay-session-";
  static constexpr std::string_view kRecordFileName = "status.json";

  // A new session with a fresh id and its own directory, temporaryDirectory +
  // "deskplay-session-" + id, mode 0700. `desktop` is home + "Desktop".
  static Result<std::unique_ptr<GameSessionFeedback>> create(
      Services services, const std::filesystem::path& temporaryDirectory,
      const std::filesystem::path& desktop);
  // The same with the session id chosen by the caller; the directory must not exist yet.
  static Result<std::unique_ptr<GameSessionFeedback>> createForSession(
      Services services, std::string session, const std::filesystem::path& temporaryDirectory,
      const std::filesystem::path& desktop);

  GameSessionFeedback(const GameSessionFeedback&) = delete;
  GameSessionFeedback& operator=(const GameSessionFeedback&) = delete;
  ~GameSessionFeedback();

  // Shows "loading" and starts polling the record every 50 ms.
  void beginNative();
  // The validated record, or nothing when the engine has written none.
  Result<std::optional<Record>, FeedbackError> read() const;
  // Shows `phase` in the status window, created on first use. Once "restoring" has been
  // shown, "loading" no longer is.
  void showNative(std::string_view phase);
  // Shows `phase` and lines the record's tiles up in the middle of the Desktop, after making
  // sure each is still the engine's file.
  Result<void, FeedbackError> show(std::string_view phase, const Record& record);
  // Removes the tiles that are still the engine's, the record and the directory, then hides
  // the window once "Goodbye" has been up long enough.
  Result<void, FeedbackError> clear();

  const std::string& session() const { return session_; }
  const std::filesystem::path& directory() const { return directory_; }
  const std::filesystem::path& desktop() const { return desktop_; }
  // The record's path, handed to the engine.
  std::filesystem::path recordPath() const { return directory_ / kRecordFileName; }

  bool isPolling() const { return statusTimer_ != nullptr; }
  const std::optional<std::string>& lastPhase() const { return lastPhase_; }
  // System uptime when "restoring" was first shown.
  std::optional<platform::Clock::Seconds> goodbyeAt() const { return goodbyeAt_; }
  // Nothing until a status has been shown.
  const status_panel::SessionStatusWindow* statusWindow() const { return statusWindow_.get(); }

 private:
  GameSessionFeedback(Services services, std::string session, std::filesystem::path directory,
                      std::filesystem::path desktop);

  void poll();
  void hideWindow();
  void closeNative();

  Services services_;
  std::string session_;
  std::filesystem::path directory_;
  std::filesystem::path desktop_;
  // Shared with a pending goodbye, which may outlive this object.
  std::shared_ptr<status_panel::SessionStatusWindow> statusWindow_;
  std::optional<std::string> lastPhase_;
  std::optional<platform::Clock::Seconds> goodbyeAt_;
  // Last, so that it stops before anything its ticks touch goes.
  std::unique_ptr<platform::TimerHandle> statusTimer_;
};

}  // namespace deskplay::core
