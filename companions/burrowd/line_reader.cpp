#include "line_reader.hpp"

#include <unistd.h>

#include <cerrno>

namespace deskplay::burrowd {

bool LineReader::refill() {
  if (inputEnded_) return false;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      // A read error on standard input ends the input like end of file does.
      inputEnded_ = true;
      return false;
    }
    position_ = 0;
    length_ = static_cast<std::size_t>(got);
    return true;
  }
}

bool LineReader::atLineEnd() {
  if (lineEnded_) return true;
  if (position_ == length_ && !refill()) {
    lineEnded_ = true;
    return true;
  }
  if (buffer_[position_] == '\n') {
    ++position_;
    lineEnded_ = true;
  }
  return lineEnded_;
}

void LineReader::finishLine() {
  while (!atLineEnd()) advance();
}

bool LineReader::beginLine() {
  finishLine();
  if (position_ == length_ && !refill()) return false;
  lineEnded_ = false;
  lineHasNul_ = false;
  return true;
}

}  // namespace deskplay::burrowd
