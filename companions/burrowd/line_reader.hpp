#pragma once

#include <array>
#include <cstddef>
#include <iterator>

namespace deskplay::burrowd {

// Reads newline-separated lines from a descriptor one byte at a time, without ever
// holding a whole line: a request line may carry a 16 MiB journal, and the decoder keeps
// only what it needs from it. The line feed itself is consumed, never returned; the last
// line may end without one.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}

  // Moves to the next line, skipping what is left of the current one.
  // False when the input has ended.
  bool beginLine();
  // True once the current line's bytes are used up.
  bool atLineEnd();
  // The current byte; only valid while !atLineEnd().
  char peek() const { return buffer_[position_]; }
  void advance() {
    if (buffer_[position_] == '\0') lineHasNul_ = true;
    ++position_;
  }
  void finishLine();
  // Whether a NUL byte was passed over in the current line. JSON parsers tend to take NUL
  // for the end of their input, which would hide whatever follows it.
  bool lineHasNul() const { return lineHasNul_; }

 private:
  bool refill();

  int fd_;
  std::array<char, 1 << 16> buffer_{};
  std::size_t position_ = 0;
  std::size_t length_ = 0;
  bool inputEnded_ = false;
  bool lineEnded_ = true;
  bool lineHasNul_ = false;
};

// An input iterator over the rest of the current line, for the JSON parser.
class LineIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = char;

  LineIterator() = default;
  explicit LineIterator(LineReader& reader) : reader_(&reader) {}

  char operator*() const { return reader_->peek(); }
  LineIterator& operator++() {
    reader_->advance();
    return *this;
  }
  bool operator==(const LineIterator& other) const { return atEnd() == other.atEnd(); }
  bool operator!=(const LineIterator& other) const { return !(*this == other); }

 private:
  bool atEnd() const { return reader_ == nullptr || reader_->atLineEnd(); }

  LineReader* reader_ = nullptr;
};

}  // namespace deskplay::burrowd
