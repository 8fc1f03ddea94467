#pragma once

#include <optional>
#include <string_view>

#include "platform/windows.hpp"

namespace deskplay::platform {

inline constexpr std::string_view kFinderBundleIdentifier = "com.apple.finder";

// The process of the first running application with `bundleIdentifier`, if one runs.
std::optional<ProcessId> applicationProcess(Windows& windows, std::string_view bundleIdentifier);

// Whether `process` is a running application with `bundleIdentifier`.
bool isApplicationProcess(Windows& windows, ProcessId process, std::string_view bundleIdentifier);

}  // namespace deskplay::platform
