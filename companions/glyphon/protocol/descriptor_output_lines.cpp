#include "protocol/descriptor_output_lines.hpp"

#include "common/fd_io.hpp"

namespace deskplay::glyphon {

void DescriptorOutputLines::writeLine(std::string_view line, Flush flush) {
  pending_.append(line);
  pending_.push_back('\n');
  if (flush == Flush::now) flushPending();
}

void DescriptorOutputLines::flushPending() {
  if (pending_.empty()) return;
  (void)writeAll(fd_, pending_);
  pending_.clear();
}

}  // namespace deskplay::glyphon
