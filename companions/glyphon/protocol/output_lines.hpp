#pragma once

#include <string_view>

namespace deskplay::glyphon {

// Glyphon's standard output, one line at a time. A line written without a flush leaves
// with the next flushed one.
class OutputLines {
 public:
  enum class Flush { now, withNext };

  virtual ~OutputLines() = default;

  // Writes `line` and a newline.
  virtual void writeLine(std::string_view line, Flush flush) = 0;
};

}  // namespace deskplay::glyphon
