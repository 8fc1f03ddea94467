#include "keyhark_process.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "support/eventually.hpp"

namespace deskplay::testing {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;  // a line still being written
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::filesystem::path keyharkProgram() {
  return KEYHARK_PATH;
}

std::vector<nlohmann::json> deliveries(const SimdeskSession& session, const std::string& stage,
                                       const std::string& eventType) {
  std::vector<nlohmann::json> found;
  for (nlohmann::json& record : session.deliveryLog()) {
    if (record["stage"] == stage && record["event"]["type"] == eventType) {
      found.push_back(std::move(record));
    }
  }
  return found;
}

KeyharkProcess::KeyharkProcess(const SimdeskSession& session,
                               const std::vector<std::string>& arguments)
    : statusFile_(folder_.path() / "stderr.txt") {
  // The shell only redirects standard error and becomes Keyhark: same process id.
  std::vector<std::string> argv{"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>\"$KEYHARK_STATUS_FILE\"",
                                keyharkProgram().string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = session.environment();
  environment.push_back("KEYHARK_STATUS_FILE=" + statusFile_.string());
  process_ = std::make_unique<ChildProcess>(argv, environment);
}

std::optional<nlohmann::json> KeyharkProcess::nextEvent(std::chrono::milliseconds timeout) {
  const auto line = process_->readLine(timeout);
  if (!line) return std::nullopt;
  return nlohmann::json::parse(*line, nullptr, false);
}

bool KeyharkProcess::wroteNoEventYet() {
  // The shortest wait that still looks at the pipe.
  return !process_->readLine(std::chrono::milliseconds(1)).has_value();
}

std::vector<std::string> KeyharkProcess::statusLines() const {
  std::error_code error;
  if (!std::filesystem::exists(statusFile_, error)) return {};
  return splitLines(readFile(statusFile_));
}

std::vector<std::string> KeyharkProcess::waitForStatusLines(
    std::size_t count, std::chrono::milliseconds timeout) const {
  std::vector<std::string> lines;
  eventually(
      [&] {
        lines = statusLines();
        return lines.size() >= count;
      },
      timeout);
  return lines;
}

bool KeyharkProcess::waitUntilReady() const {
  return eventually(
      [&] {
        const auto lines = statusLines();
        return std::find(lines.begin(), lines.end(), "LISTENER_READY") != lines.end();
      },
      std::chrono::seconds(10));
}

std::size_t KeyharkProcess::threadCount() const {
  std::error_code error;
  const std::filesystem::directory_iterator tasks(
      "/proc/" + std::to_string(process_->pid()) + "/task", error);
  return error ? 0
               : static_cast<std::size_t>(
                     std::distance(tasks, std::filesystem::directory_iterator()));
}

bool KeyharkProcess::isRunning() const {
  const std::filesystem::path stat = "/proc/" + std::to_string(process_->pid()) + "/stat";
  std::error_code error;
  if (!std::filesystem::exists(stat, error)) return false;
  const std::string text = readFile(stat);
  const std::size_t afterName = text.rfind(')');
  if (afterName == std::string::npos || afterName + 2 >= text.size()) return false;
  const char state = text[afterName + 2];
  return state != 'Z' && state != 'X';
}

}  // namespace deskplay::testing
