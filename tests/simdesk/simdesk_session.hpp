#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/simdesk/protocol/connection.hpp"
#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {

// A user session of our own for one test: a temporary HOME with a Desktop folder, a private
// XDG_RUNTIME_DIR and a socket path inside it. `start` runs the real simdesk there and waits
// for its ready line.
class SimdeskSession {
 public:
  SimdeskSession();
  ~SimdeskSession();

  const std::filesystem::path& home() const { return home_; }
  std::filesystem::path desktop() const { return home_ / "Desktop"; }
  const std::filesystem::path& socket() const { return socket_; }
  // HOME, XDG_RUNTIME_DIR and SIMDESK_SOCKET for programs started in this session.
  std::vector<std::string> environment() const;

  // Starts simdesk with `arguments`; false when it did not say it was ready.
  bool start(const std::vector<std::string>& arguments = {});
  // SIGTERM and the exit status.
  int stop();
  ChildProcess* process() { return simdesk_.get(); }
  std::string readyLine() const { return readyLine_; }

  // A connection of this test process, as application `name`.
  std::unique_ptr<simdesk::protocol::Connection> connect(const std::string& name) const;

  // simdeskctl (or a sim tool, by its path) in this session.
  Completed ctl(const std::vector<std::string>& arguments, std::string_view input = {}) const;
  Completed tool(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 std::string_view input = {}) const;

  // What `simdeskctl state` prints, parsed (a test failure, and null, when it cannot).
  nlohmann::json state() const;
  // Finder's record of the desktop item `name` (with its "position"); null when it has none.
  nlohmann::json desktopItem(const std::string& name) const;
  // simdesk's delivery log, `simdeskctl events`: one record per tap verdict, monitor and
  // receiving application, oldest first.
  std::vector<nlohmann::json> deliveryLog() const;

 private:
  TempDir root_;
  std::filesystem::path home_;
  std::filesystem::path runtime_;
  std::filesystem::path socket_;
  std::unique_ptr<ChildProcess> simdesk_;
  std::string readyLine_;
};

// Whether `condition` comes true while the connection's pushed events are dispatched, within
// the usual wait of `eventually`.
bool eventuallyDispatched(simdesk::protocol::Connection& connection,
                          const std::function<bool()>& condition);

std::filesystem::path simdeskProgram();
std::filesystem::path simdeskctlProgram();
std::filesystem::path simToolsFolder();

}  // namespace deskplay::testing
