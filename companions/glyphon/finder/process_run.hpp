#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace deskplay::glyphon {

// What a finished tool left: each output stream as text (nothing when it is not valid
// UTF-8) and its exit status.
struct ProcessRun {
  std::optional<std::string> standardOutput;
  std::optional<std::string> standardError;
  std::int32_t exitStatus = 0;
};

// Runs `executable` with `arguments` to its end, its output and error each read through a
// pipe of its own and its input empty. The status is the exit code, or the signal number
// when a signal ended it. A tool that cannot be started gives no output, the reason as its
// error and status -1.
ProcessRun runProcess(const std::filesystem::path& executable,
                      const std::vector<std::string>& arguments);

}  // namespace deskplay::glyphon
