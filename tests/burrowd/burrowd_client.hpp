#pragma once

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/child_process.hpp"

namespace deskplay::testing {

inline const std::string kBurrowdPath = BURROWD_PATH;

using Json = nlohmann::json;

// Drives a real Burrowd over its standard input and output.
class BurrowdClient {
 public:
  // Starts Burrowd on the two folders; `launcher` goes before it on the command line
  // (strace, say). Reads the first reply line.
  BurrowdClient(const std::filesystem::path& desktop, const std::filesystem::path& stash,
                const std::vector<std::string>& launcher = {});

  // The first line Burrowd wrote: the ready reply, or the start-up failure.
  const std::string& firstLine() const { return firstLine_; }
  Json ready() const { return Json::parse(firstLine_); }

  // Sends one line and returns the raw reply line (nothing if Burrowd ended first).
  std::optional<std::string> send(std::string_view line);
  // Sends a request object and returns the parsed reply.
  Json request(const Json& request);

  // Ends the input and waits: the exit status.
  int finish();
  ChildProcess& process() { return *process_; }

 private:
  std::unique_ptr<ChildProcess> process_;
  std::string firstLine_;
};

Json endpoint(std::string_view side, std::string_view name);
Json statRequest(std::string_view side, std::string_view name);
Json listRequest(std::string_view side);
Json moveRequest(const Json& from, const Json& to, const Json& identity);

// The failure reply's error text for a message, as Burrowd spells it.
std::string failureText(std::string_view message);
// "<label>: errno <n> (<strerror>)" for the running platform.
std::string systemFailureText(std::string_view label, int error);

}  // namespace deskplay::testing
