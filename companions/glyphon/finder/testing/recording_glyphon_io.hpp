#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/testing/fake_script_host.hpp"
#include "protocol/apple_script_runner.hpp"
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

// Runs scripts on a script host and reports their failures as the program does: the
// error text, and a FINDER_SCRIPT_ERROR line on `output`.
class HostScriptRunner final : public AppleScriptRunner {
 public:
  HostScriptRunner(platform::ScriptHost& host, OutputLines& output)
      : host_(host), output_(output) {}

  DetailedScriptRun runDetailed(const std::string& source) override;

 private:
  platform::ScriptHost& host_;
  OutputLines& output_;
};

}  // namespace deskplay::glyphon::testing
