#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace deskplay::burrowd {

// Reads newline-separated lines from a descriptor without ever holding a whole line: a
// request line may carry a 16 MiB journal, and the decoder keeps only what it needs from
// it. The line feed itself is consumed, never returned; the last line may end without one.
class LineReader {
 public:
  static constexpr int kLineEnd = -1;

  explicit LineReader(int fd) : fd_(fd) {}

  // Moves to the next line, skipping what is left of the current one.
  // False when the input has ended.
  bool beginLine();

  // The current byte of the line, or kLineEnd.
  int peek() {
    if (position_ < lineLimit_) return static_cast<unsigned char>(buffer_[position_]);
    return atLineEnd() ? kLineEnd : static_cast<unsigned char>(buffer_[position_]);
  }
  // Consumes the current byte; only after peek() gave one.
  void advance() {
    ++position_;
    ++offset_;
  }
  // The line's bytes that are buffered from the current one on: empty only at the line's end.
  std::string_view buffered() {
    if (atLineEnd()) return {};
    return {buffer_.data() + position_, lineLimit_ - position_};
  }
  // Consumes `count` bytes of what buffered() gave.
  void consume(std::size_t count) {
    position_ += count;
    offset_ += count;
  }
  void finishLine();

  // How many bytes of the current line have been consumed.
  std::size_t offset() const { return offset_; }

 private:
  bool atLineEnd();
  bool refill();
  void findLineLimit();

  int fd_;
  std::array<char, 1 << 16> buffer_{};
  std::size_t position_ = 0;
  std::size_t length_ = 0;
  // Where the current line stops inside the buffer: its line feed, or the buffer's end.
  std::size_t lineLimit_ = 0;
  std::size_t offset_ = 0;
  bool inputEnded_ = false;
  bool lineEnded_ = true;
};

}  // namespace deskplay::burrowd
