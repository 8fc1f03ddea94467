#include "burrowd_client.hpp"

#include <cstring>
#include <stdexcept>

namespace deskplay::testing {

BurrowdClient::BurrowdClient(const std::filesystem::path& desktop,
                             const std::filesystem::path& stash,
                             const std::vector<std::string>& launcher) {
  std::vector<std::string> argv = launcher;
  argv.push_back(kBurrowdPath);
  argv.push_back(desktop.string());
  argv.push_back(stash.string());
  process_ = std::make_unique<ChildProcess>(argv);
  firstLine_ = process_->readLine().value_or("");
}

std::optional<std::string> BurrowdClient::send(std::string_view line) {
  process_->writeLine(line);
  return process_->readLine();
}

Json BurrowdClient::request(const Json& request) {
  const std::optional<std::string> reply = send(request.dump());
  if (!reply) throw std::runtime_error("Burrowd gave no reply to " + request.dump());
  return Json::parse(*reply);
}

int BurrowdClient::finish() {
  process_->closeStdin();
  return process_->wait();
}

Json endpoint(std::string_view side, std::string_view name) {
  return {{"side", side}, {"name", name}};
}

Json statRequest(std::string_view side, std::string_view name) {
  return {{"action", "stat"}, {"endpoint", endpoint(side, name)}};
}

Json listRequest(std::string_view side) {
  return {{"action", "list"}, {"endpoint", endpoint(side, "x")}};
}

Json moveRequest(const Json& from, const Json& to, const Json& identity) {
  return {{"action", "move"}, {"from", from}, {"to", to}, {"identity", identity}};
}

std::string failureText(std::string_view message) {
  std::string text = "Failure(message: \"";
  for (const char c : message) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  return text + "\")";
}

std::string systemFailureText(std::string_view label, int error) {
  return failureText(std::string(label) + ": errno " + std::to_string(error) + " (" +
                     std::strerror(error) + ")");
}

}  // namespace deskplay::testing
