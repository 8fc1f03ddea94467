#include "motion/finder_position_script.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "common/json_line.hpp"
#include "protocol/apple_script_escape.hpp"
#include "protocol/whole_number_text.hpp"

namespace deskplay::glyphon {

namespace {

// Beyond 2^53 a double no longer holds every whole number, and far beyond it no 64-bit
// integer can hold the value: such coordinates stay floating point.
constexpr double kLargestExactWhole = 9007199254740992.0;

// Whole numbers as JSON numbers: plain digits while a double holds them exactly, the
// shortest round-trip form beyond.
void appendWholeNumberJson(std::string& out, double rounded) {
  if (std::fabs(rounded) <= kLargestExactWhole) {
    out += std::to_string(static_cast<std::int64_t>(rounded));
  } else {
    out += nlohmann::json(rounded).dump();
  }
}

// Paths come from decoded command lines and are valid UTF-8, so encoding cannot fail.
std::string compactJson(const nlohmann::ordered_json& value) {
  std::string text;
  (void)appendJson(text, value, JsonStyle{});
  return text;
}

}  // namespace

std::string positionScript(const std::vector<MotionWrite>& writes) {
  std::string script = "tell application \"Finder\"\n";
  script.reserve(writes.size() * 96);
  for (const MotionWrite& write : writes) {
    script += "set desktop position of (POSIX file \"";
    script += escapeAppleScript(write.path);
    script += "\" as alias) to {";
    script += roundedIntegerText(write.position.x);
    script += ", ";
    script += roundedIntegerText(write.position.y);
    script += "}\n";
  }
  script += "end tell";
  return script;
}

// Written by hand rather than through a JSON document: a tick may report hundreds of icons
// every 50 ms.
std::string motionLine(const std::vector<MotionWrite>& written) {
  std::string line = "MOTION:[";
  line.reserve(written.size() * 64);
  for (const MotionWrite& write : written) {
    if (line.back() != '[') line += ',';
    line += "{\"path\":\"";
    appendEscapedJsonText(line, write.path, SlashEscaping::Plain);
    line += "\",\"x\":";
    appendWholeNumberJson(line, write.position.x);
    line += ",\"y\":";
    appendWholeNumberJson(line, write.position.y);
    line += '}';
  }
  line += ']';
  return line;
}

std::string receiptsJson(const std::vector<MotionReceipt>& receipts) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const MotionReceipt& receipt : receipts) {
    list.push_back(
        {{"path", receipt.path},
         {"generation", receipt.generation},
         {"status", receipt.status},
         {"position",
          {{"x", jsonNumber(receipt.position.x)}, {"y", jsonNumber(receipt.position.y)}}}});
  }
  return compactJson(list);
}

}  // namespace deskplay::glyphon
