#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace deskplay::core {

// The first argument of an instance started by relaunchApplication(): it waits for the
// instance that started it to let go of the single-instance lock before taking it.
inline constexpr std::string_view kRelaunchedOption = "--relaunched";

// Starts `executable` anew, detached, with kRelaunchedOption followed by `arguments`, then
// calls `quit`. A new instance that cannot be started is ignored: this one still quits, as
// the user asked for the restart.
void relaunchApplication(const std::filesystem::path& executable,
                         const std::vector<std::string>& arguments,
                         const std::function<void()>& quit);

}  // namespace deskplay::core
