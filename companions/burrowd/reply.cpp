#include "reply.hpp"

#include "common/json_line.hpp"

namespace deskplay::burrowd {

namespace {

constexpr JsonStyle kReplyStyle{KeyOrder::Sorted, SlashEscaping::Backslashed};

}  // namespace

Result<std::string> successReply(Json value) {
  Json reply = Json::object();
  reply["ok"] = true;
  reply["value"] = std::move(value);
  return jsonLine(reply, kReplyStyle);
}

Result<std::string> errorReply(const std::string& description) {
  return jsonLine(Json{{"error", description}, {"ok", false}}, kReplyStyle);
}

}  // namespace deskplay::burrowd
