#pragma once

#include <string_view>

namespace deskplay::glyphon {

// The diagnostic log; writing never fails a caller.
class LogLines {
 public:
  virtual ~LogLines() = default;

  virtual void logLine(std::string_view text) = 0;
};

}  // namespace deskplay::glyphon
