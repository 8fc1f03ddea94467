#include "command_loop.hpp"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

namespace deskplay::sonette {

namespace {

constexpr std::string_view kExitLine = "EXIT";

enum class LineOutcome { Continue, Exit };

LineOutcome handleLine(std::string_view line, const std::function<void(AudioCommand)>& accept) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line == kExitLine) return LineOutcome::Exit;
  if (std::optional<AudioCommand> command = decodeAudioCommand(line)) accept(std::move(*command));
  return LineOutcome::Continue;
}

}  // namespace

LoopEnd runCommandLoop(int fd, const std::function<void(AudioCommand)>& accept) {
  std::string line;
  bool overlong = false;
  char chunk[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;

    std::string_view rest(chunk, static_cast<std::size_t>(got));
    while (!rest.empty()) {
      const std::size_t end = rest.find('\n');
      const std::string_view piece = rest.substr(0, end);
      if (!overlong && line.size() + piece.size() <= kMaxLineBytes) {
        line.append(piece);
      } else {
        overlong = true;
        line.clear();
      }
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);

      const bool ignored = std::exchange(overlong, false);
      if (!ignored && handleLine(line, accept) == LineOutcome::Exit) return LoopEnd::Exit;
      line.clear();
    }
  }
  if (!overlong && !line.empty() && handleLine(line, accept) == LineOutcome::Exit) {
    return LoopEnd::Exit;
  }
  return LoopEnd::EndOfInput;
}

}  // namespace deskplay::sonette
