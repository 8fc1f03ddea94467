#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/command.hpp"
#include "protocol/log_lines.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// Answers as test failures show them.
void PrintTo(const CommandAnswer& answer, std::ostream* out);

}  // namespace deskplay::glyphon

namespace deskplay::glyphon::testing {

// Keeps every log line.
class RecordingLog final : public LogLines {
 public:
  void logLine(std::string_view text) override { lines_.emplace_back(text); }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// Keeps every output line with the flush it asked for.
class RecordingOutput final : public OutputLines {
 public:
  struct Line {
    std::string text;
    Flush flush;
    friend bool operator==(const Line&, const Line&) = default;
  };

  void writeLine(std::string_view line, Flush flush) override {
    lines_.push_back({std::string(line), flush});
  }
  const std::vector<Line>& lines() const { return lines_; }

 private:
  std::vector<Line> lines_;
};

}  // namespace deskplay::glyphon::testing
