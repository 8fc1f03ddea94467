#include "listener/line_output.hpp"

#include <string>

#include "common/fd_io.hpp"
#include "common/one_line.hpp"

namespace deskplay::keyhark {

void DescriptorLineOutput::writeLine(std::string_view line) {
  std::string text;
  text.reserve(line.size() + 1);
  appendOneLine(text, line);
  text.push_back('\n');
  (void)writeAll(fd_, text);
}

}  // namespace deskplay::keyhark
