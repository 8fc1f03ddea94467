#include "reply.hpp"

#include <cerrno>
#include <string_view>

#include "common/fd_io.hpp"
#include "common/json_line.hpp"
#include "common/system_error.hpp"

namespace deskplay::burrowd {

namespace {

constexpr JsonStyle kReplyStyle{KeyOrder::Sorted, SlashEscaping::Backslashed};

// How much of an escaped journal is collected before it is written out.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

Status sendLine(int fd, const Result<std::string>& line) {
  if (!line.ok()) return line.error();
  return checked(writeAll(fd, line.value()), "write reply");
}

// The journal was checked for UTF-8 when it was read, so only escaping is left.
Status sendJournalReply(int fd, std::string_view text) {
  std::string piece = R"({"ok":true,"value":")";
  piece.reserve(kPieceSize + kPieceSize / 4);
  while (!text.empty()) {
    const std::string_view part = text.substr(0, kPieceSize);
    text.remove_prefix(part.size());
    appendEscapedJsonText(piece, part, kReplyStyle.slashes);
    if (piece.size() >= kPieceSize) {
      if (writeAll(fd, piece) != 0) return Error{errnoMessage("write reply", errno)};
      piece.clear();
    }
  }
  piece += "\"}\n";
  return checked(writeAll(fd, piece), "write reply");
}

}  // namespace

Status sendSuccessReply(int fd, const ActionValue& value) {
  if (const auto* journal = std::get_if<JournalText>(&value)) {
    return sendJournalReply(fd, journal->view());
  }
  return sendLine(fd, jsonLine(Json{{"ok", true}, {"value", std::get<Json>(value)}}, kReplyStyle));
}

Status sendErrorReply(int fd, const std::string& description) {
  return sendLine(fd, jsonLine(Json{{"error", description}, {"ok", false}}, kReplyStyle));
}

}  // namespace deskplay::burrowd
