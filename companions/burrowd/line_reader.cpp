#include "line_reader.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace deskplay::burrowd {

void LineReader::findLineLimit() {
  const void* feed = std::memchr(buffer_.data() + position_, '\n', length_ - position_);
  lineLimit_ = feed == nullptr
                   ? length_
                   : static_cast<std::size_t>(static_cast<const char*>(feed) - buffer_.data());
}

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
    findLineLimit();
    return true;
  }
}

bool LineReader::atLineEnd() {
  if (lineEnded_) return true;
  if (position_ < lineLimit_) return false;
  if (position_ < length_) {
    // The line feed that ends this line. The next line's bytes stay out of reach until
    // beginLine().
    ++position_;
    lineLimit_ = position_;
    lineEnded_ = true;
  } else if (!refill()) {
    lineEnded_ = true;
  }
  return lineEnded_;
}

void LineReader::finishLine() {
  while (!buffered().empty()) consume(buffered().size());
}

bool LineReader::beginLine() {
  finishLine();
  if (position_ == length_ && !refill()) return false;
  findLineLimit();
  lineEnded_ = false;
  offset_ = 0;
  return true;
}

}  // namespace deskplay::burrowd
