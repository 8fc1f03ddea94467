#include "listener/command_reader.hpp"

#include <string_view>
#include <utility>

#include "common/bounded_lines.hpp"

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
  readBoundedLines(fd_, kMaxLineBytes, [this](std::string_view line) {
    onLine_(std::string(line));
    return LineVerdict::readOn;
  });
}

}  // namespace deskplay::keyhark
