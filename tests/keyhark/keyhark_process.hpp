#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {

std::filesystem::path keyharkProgram();

// The records of one stage ("tap", "application") for one event type ("keyDown", …).
std::vector<nlohmann::json> deliveries(const SimdeskSession& session, const std::string& stage,
                                       const std::string& eventType);

// A running Keyhark in a simdesk session: its event lines come from standard output as they
// are written; its status lines go to a file, so they can be awaited while it runs.
class KeyharkProcess {
 public:
  KeyharkProcess(const SimdeskSession& session, const std::vector<std::string>& arguments);

  pid_t pid() const { return process_->pid(); }
  ChildProcess& process() { return *process_; }

  // The next event line, parsed; nothing when none arrives in time.
  std::optional<nlohmann::json> nextEvent(
      std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // True when no event line has been written so far. Only meaningful once the events that
  // could have caused one are known to have been handled.
  bool wroteNoEventYet();

  // The status lines written so far.
  std::vector<std::string> statusLines() const;
  // Waits until the status lines number at least `count`; gives them.
  std::vector<std::string> waitForStatusLines(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Waits for "LISTENER_READY" (after whatever came before it).
  bool waitUntilReady() const;

  // The threads of the process now; 0 once it is gone.
  std::size_t threadCount() const;

  // Still running (not exited, not a zombie).
  bool isRunning() const;

 private:
  TempDir folder_;
  std::filesystem::path statusFile_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace deskplay::testing
