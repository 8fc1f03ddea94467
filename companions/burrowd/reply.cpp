#include "reply.hpp"

#include <cerrno>
#include <string_view>

#include "common/fd_io.hpp"
#include "common/json_line.hpp"
#include "common/one_line.hpp"
#include "common/system_error.hpp"

namespace deskplay::burrowd {

namespace {

constexpr JsonStyle kReplyStyle{KeyOrder::Sorted, SlashEscaping::Backslashed};

// How much of an escaped journal is collected before it is written out.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// JSON leaves U+2028, U+2029 and NEL as they are; a client that splits lines at them too
// must still see one reply per line, so they go out escaped, with the same meaning.
Status sendLine(int fd, const Json& value) {
  std::string json;
  if (Status encoded = appendJson(json, value, kReplyStyle); !encoded.ok()) return encoded;
  std::string line = oneLine(json);
  line += '\n';
  return checked(writeAll(fd, line), "write reply");
}

// How much of `text`, at most `size` bytes, makes a piece that ends between two characters,
// so that no line break is cut in two and missed. `text` is valid UTF-8.
std::size_t pieceLength(std::string_view text, std::size_t size) {
  if (text.size() <= size) return text.size();
  std::size_t end = size;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end;
}

// The journal was checked for UTF-8 when it was read, so only escaping is left.
Status sendJournalReply(int fd, std::string_view text) {
  std::string piece = R"({"ok":true,"value":")";
  piece.reserve(kPieceSize + kPieceSize / 4);
  std::string escaped;
  escaped.reserve(kPieceSize + kPieceSize / 4);
  while (!text.empty()) {
    const std::string_view part = text.substr(0, pieceLength(text, kPieceSize));
    text.remove_prefix(part.size());
    escaped.clear();
    appendEscapedJsonText(escaped, part, kReplyStyle.slashes);
    appendOneLine(piece, escaped);
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
  return sendLine(fd, Json{{"ok", true}, {"value", std::get<Json>(value)}});
}

Status sendErrorReply(int fd, const std::string& description) {
  return sendLine(fd, Json{{"error", description}, {"ok", false}});
}

}  // namespace deskplay::burrowd
