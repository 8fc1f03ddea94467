#include "simdesk_session.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "support/eventually.hpp"

namespace deskplay::testing {

std::filesystem::path simdeskProgram() {
  return SIMDESK_PATH;
}
std::filesystem::path simdeskctlProgram() {
  return SIMDESKCTL_PATH;
}
std::filesystem::path simToolsFolder() {
  return SIM_TOOLS_DIR;
}

SimdeskSession::SimdeskSession()
    : home_(root_ / "home"), runtime_(root_ / "run"), socket_(runtime_ / "simdesk.sock") {
  std::filesystem::create_directories(home_ / "Desktop");
  std::filesystem::create_directories(runtime_);
  std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
}

SimdeskSession::~SimdeskSession() {
  if (simdesk_) stop();
}

std::vector<std::string> SimdeskSession::environment() const {
  return {"HOME=" + home_.string(), "XDG_RUNTIME_DIR=" + runtime_.string(),
          "SIMDESK_SOCKET=" + socket_.string(), "QT_QPA_PLATFORM=offscreen"};
}

bool SimdeskSession::start(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {simdeskProgram().string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  simdesk_ = std::make_unique<ChildProcess>(argv, environment());
  readyLine_ = simdesk_->readLine().value_or("");
  return readyLine_.starts_with("SIMDESK_READY ");
}

int SimdeskSession::stop() {
  if (!simdesk_) return -1;
  simdesk_->kill(SIGTERM);
  const int status = simdesk_->wait();
  simdesk_.reset();
  return status;
}

std::unique_ptr<simdesk::protocol::Connection> SimdeskSession::connect(
    const std::string& name) const {
  simdesk::protocol::ConnectionOptions options;
  options.socketPath = socket_;
  options.applicationName = name;
  options.processId = static_cast<std::int32_t>(::getpid());
  return std::make_unique<simdesk::protocol::Connection>(std::move(options));
}

Completed SimdeskSession::ctl(const std::vector<std::string>& arguments,
                              std::string_view input) const {
  return tool(simdeskctlProgram(), arguments, input);
}

Completed SimdeskSession::tool(const std::filesystem::path& program,
                               const std::vector<std::string>& arguments,
                               std::string_view input) const {
  std::vector<std::string> argv = {program.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return runProgram(argv, input, environment());
}

nlohmann::json SimdeskSession::state() const {
  const Completed shown = ctl({"state"});
  EXPECT_EQ(shown.status, 0) << shown.errors;
  return nlohmann::json::parse(shown.output, nullptr, false);
}

nlohmann::json SimdeskSession::desktopItem(const std::string& name) const {
  const nlohmann::json shown = state();
  if (!shown.contains("finder")) return nullptr;
  for (const nlohmann::json& item : shown["finder"]["items"]) {
    if (item["name"] == name) return item;
  }
  return nullptr;
}

std::vector<nlohmann::json> SimdeskSession::deliveryLog() const {
  const Completed shown = ctl({"events"});
  EXPECT_EQ(shown.status, 0) << shown.errors;
  std::vector<nlohmann::json> records;
  std::size_t start = 0;
  for (std::size_t end; (end = shown.output.find('\n', start)) != std::string::npos;
       start = end + 1) {
    records.push_back(nlohmann::json::parse(shown.output.substr(start, end - start)));
  }
  return records;
}

bool eventuallyDispatched(simdesk::protocol::Connection& connection,
                          const std::function<bool()>& condition) {
  return eventually([&] {
    connection.dispatchEvents();
    return condition();
  });
}

}  // namespace deskplay::testing
