#include "burrowd.hpp"

#include "common/fd_io.hpp"
#include "failure.hpp"
#include "line_reader.hpp"
#include "reply.hpp"
#include "request.hpp"
#include "stash_controller.hpp"

namespace deskplay::burrowd {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

// Writes one reply straight to the descriptor. A reply that cannot be serialised or
// written ends the program.
bool send(int output, const Result<std::string>& reply) {
  return reply.ok() && writeAll(output, reply.value()) == 0;
}

}  // namespace

int runBurrowd(const std::vector<std::string>& arguments, int input, int output) {
  if (arguments.size() != 2) {
    send(output, errorReply(failureDescription("Expected desktop and stash directories")));
    return kFailure;
  }
  Result<StashController> controller = StashController::open(arguments[0], arguments[1]);
  if (!controller.ok()) {
    send(output, errorReply(controller.message()));
    return kFailure;
  }
  if (!send(output, successReply(controller.value().readyValue()))) return kFailure;

  LineReader reader(input);
  while (reader.beginLine()) {
    Result<Request> request = decodeRequest(reader);
    if (!request.ok()) {
      if (!send(output, errorReply(request.message()))) return kFailure;
      continue;
    }
    Result<Json> value = controller.value().handle(request.value());
    const Result<std::string> reply =
        value.ok() ? successReply(std::move(value).value()) : errorReply(value.message());
    if (!send(output, reply)) return kFailure;
  }
  return kSuccess;
}

}  // namespace deskplay::burrowd
