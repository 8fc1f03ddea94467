#include "protocol/descriptor_output_lines.hpp"

#include "common/fd_io.hpp"
#include "common/one_line.hpp"

namespace deskplay::glyphon {

void DescriptorOutputLines::writeLine(std::string_view line, Flush flush) {
  // Answers are read a line at a time: text inside a line must not start another one.
  appendOneLine(pending_, line);
  pending_.push_back('\n');
  if (flush == Flush::now) flushPending();
}

void DescriptorOutputLines::flushPending() {
  if (pending_.empty()) return;
  (void)writeAll(fd_, pending_);
  pending_.clear();
}

}  // namespace deskplay::glyphon
