#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace deskplay {

enum class LineVerdict { readOn, stop };

enum class LinesEnd { endOfInput, stopped };

// Reads `fd` to its end (a read error counts as the end) and hands every line, without its
// line feed, to `onLine`; a last line without a line feed counts too. A line longer than
// `maxLineBytes` is dropped whole rather than held in memory, and reading goes on after it.
// Reading ends early when `onLine` answers `LineVerdict::stop`.
LinesEnd readBoundedLines(int fd, std::size_t maxLineBytes,
                          const std::function<LineVerdict(std::string_view line)>& onLine);

}  // namespace deskplay
