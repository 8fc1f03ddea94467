#pragma once

#include <cstddef>
#include <functional>

#include "audio_command.hpp"

namespace deskplay::sonette {

enum class LoopEnd { Exit, EndOfInput };

// No command comes close; a longer line is ignored whole rather than held in memory.
inline constexpr std::size_t kMaxLineBytes = 1 << 20;

// Reads lines from `fd` until the line "EXIT" or the end of input (a read error counts as
// the end), handing each accepted command to `accept` in order; every other line is
// ignored. A line ends at a line feed, or a carriage return and line feed; the last line
// may end without one.
LoopEnd runCommandLoop(int fd, const std::function<void(AudioCommand)>& accept);

}  // namespace deskplay::sonette
