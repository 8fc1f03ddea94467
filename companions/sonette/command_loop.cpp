#include "command_loop.hpp"

#include <string_view>
#include <utility>

#include "common/bounded_lines.hpp"

namespace deskplay::sonette {

namespace {

constexpr std::string_view kExitLine = "EXIT";

LineVerdict handleLine(std::string_view line, const std::function<void(AudioCommand)>& accept) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line == kExitLine) return LineVerdict::stop;
  if (std::optional<AudioCommand> command = decodeAudioCommand(line)) accept(std::move(*command));
  return LineVerdict::readOn;
}

}  // namespace

LoopEnd runCommandLoop(int fd, const std::function<void(AudioCommand)>& accept) {
  const LinesEnd end = readBoundedLines(
      fd, kMaxLineBytes, [&](std::string_view line) { return handleLine(line, accept); });
  return end == LinesEnd::stopped ? LoopEnd::Exit : LoopEnd::EndOfInput;
}

}  // namespace deskplay::sonette
