#pragma once

#include <string>
#include <string_view>

#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// Output lines on a file descriptor (standard output), buffered until a flushed line comes;
// a failed write (a reader that went away) drops what was buffered. A line break inside a
// line is written escaped, so each line written is exactly one line read.
class DescriptorOutputLines final : public OutputLines {
 public:
  explicit DescriptorOutputLines(int fd) : fd_(fd) {}

  void writeLine(std::string_view line, Flush flush) override;
  // Writes out a line still waiting for a flushed one, as the process ends.
  void flushPending();

 private:
  int fd_;
  std::string pending_;
};

}  // namespace deskplay::glyphon
