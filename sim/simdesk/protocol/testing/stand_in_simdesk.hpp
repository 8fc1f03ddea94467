#pragma once

#include <filesystem>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "common/unique_fd.hpp"

namespace deskplay::simdesk::testing {

// A stand-in simdesk for one client connection, for tests of the protocol's clients: every
// request line gets the reply `answer` gives (an empty object when there is none), with the
// request's id and "ok" added; the hello gets a plain "ok". Events are pushed when the test
// says so, each line whole, never in the middle of a reply.
class StandInSimdesk {
 public:
  using Answer = std::function<nlohmann::json(const nlohmann::json& request)>;

  explicit StandInSimdesk(const std::filesystem::path& socket, Answer answer = {});
  StandInSimdesk(const StandInSimdesk&) = delete;
  StandInSimdesk& operator=(const StandInSimdesk&) = delete;
  ~StandInSimdesk();

  // Whether the socket could be bound and listened on.
  bool listening() const { return listening_; }
  // False when no client is connected.
  bool push(const nlohmann::json& event);

 private:
  void serve();

  Answer answer_;
  UniqueFd listener_;
  bool listening_ = false;
  std::mutex mutex_;
  int client_ = -1;
  std::thread thread_;
};

}  // namespace deskplay::simdesk::testing
