#include "listener/command_reader.hpp"

#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <utility>

namespace deskplay::keyhark {

CommandReader::CommandReader(int fd, std::function<void(std::string line)> onLine)
    : fd_(fd), onLine_(std::move(onLine)) {}

CommandReader::~CommandReader() {
  if (thread_.joinable()) thread_.join();
}

void CommandReader::start() {
  thread_ = std::thread([this] { readLines(); });
}

void CommandReader::readLines() {
  std::string line;
  bool overlong = false;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    std::string_view chunk(buffer, static_cast<std::size_t>(got));
    while (!chunk.empty()) {
      const std::size_t end = chunk.find('\n');
      const std::string_view piece = chunk.substr(0, end);
      if (!overlong && line.size() + piece.size() <= kMaxLineBytes) {
        line.append(piece);
      } else {
        overlong = true;
        line.clear();
      }
      if (end == std::string_view::npos) break;
      if (!overlong) onLine_(std::move(line));
      line.clear();
      overlong = false;
      chunk.remove_prefix(end + 1);
    }
  }
  if (!overlong && !line.empty()) onLine_(std::move(line));
}

}  // namespace deskplay::keyhark
