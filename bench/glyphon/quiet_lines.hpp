#pragma once

#include <cstddef>
#include <string_view>

#include "protocol/log_lines.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// Output that keeps nothing but counts its bytes, so that only Glyphon's own work is timed.
class CountingOutput final : public OutputLines {
 public:
  void writeLine(std::string_view line, Flush) override { bytes += line.size() + 1; }
  std::size_t bytes = 0;
};

class DiscardedLog final : public LogLines {
 public:
  void logLine(std::string_view) override {}
};

}  // namespace deskplay::glyphon
