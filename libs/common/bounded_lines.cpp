#include "common/bounded_lines.hpp"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace deskplay {

LinesEnd readBoundedLines(int fd, std::size_t maxLineBytes,
                          const std::function<LineVerdict(std::string_view line)>& onLine) {
  std::string line;
  bool overlong = false;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    std::string_view chunk(buffer, static_cast<std::size_t>(got));
    while (!chunk.empty()) {
      const std::size_t end = chunk.find('\n');
      const std::string_view piece = chunk.substr(0, end);
      if (!overlong && line.size() + piece.size() <= maxLineBytes) {
        line.append(piece);
      } else {
        overlong = true;
        line.clear();
      }
      if (end == std::string_view::npos) break;
      chunk.remove_prefix(end + 1);
      const bool dropped = overlong;
      overlong = false;
      if (!dropped && onLine(line) == LineVerdict::stop) return LinesEnd::stopped;
      line.clear();
    }
  }
  if (!overlong && !line.empty() && onLine(line) == LineVerdict::stop) return LinesEnd::stopped;
  return LinesEnd::endOfInput;
}

}  // namespace deskplay
