#include "burrowd.hpp"

#include "failure.hpp"
#include "line_reader.hpp"
#include "reply.hpp"
#include "request.hpp"
#include "stash_controller.hpp"

namespace deskplay::burrowd {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

}  // namespace

int runBurrowd(const std::vector<std::string>& arguments, int input, int output) {
  if (arguments.size() != 2) {
    (void)sendErrorReply(output, failureDescription("Expected desktop and stash directories"));
    return kFailure;
  }
  Result<StashController> controller = StashController::open(arguments[0], arguments[1]);
  if (!controller.ok()) {
    (void)sendErrorReply(output, controller.message());
    return kFailure;
  }
  // A reply that cannot be serialised or written ends the program.
  if (!sendSuccessReply(output, ActionValue(controller.value().readyValue())).ok()) return kFailure;

  LineReader reader(input);
  while (reader.beginLine()) {
    Result<Request> request = decodeRequest(reader);
    if (!request.ok()) {
      if (!sendErrorReply(output, request.message()).ok()) return kFailure;
      continue;
    }
    const Result<ActionValue> value = controller.value().handle(request.value());
    const Status sent = value.ok() ? sendSuccessReply(output, value.value())
                                   : sendErrorReply(output, value.message());
    if (!sent.ok()) return kFailure;
  }
  return kSuccess;
}

}  // namespace deskplay::burrowd
