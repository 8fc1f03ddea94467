#pragma once

#include <string_view>

#include "platform/accessibility.hpp"
#include "platform/privacy_checks.hpp"
#include "platform/workspace.hpp"

namespace deskplay::platform {

// System Settings at the Accessibility privacy pane.
inline constexpr std::string_view kAccessibilitySettingsUrl =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

// Watching input globally needs either permission: Accessibility trust, or Input Monitoring
// (listen-event access). Asks without prompting.
bool hasInputPermission(Accessibility& accessibility, PrivacyChecks& privacy);

// Makes the system ask the user for Accessibility trust and opens its settings pane.
void promptForInputPermission(Accessibility& accessibility, Workspace& workspace);

}  // namespace deskplay::platform
