#pragma once

#include "listener/line_output.hpp"
#include "platform/accessibility.hpp"
#include "platform/privacy_checks.hpp"
#include "platform/workspace.hpp"

namespace deskplay::keyhark {

inline constexpr const char* kAccessibilitySettingsUrl =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

// Watching input globally needs either permission: Accessibility trust, or Input
// Monitoring (listen-event access). Asks without prompting.
bool hasInputPermission(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy);

// Makes the system ask the user for Accessibility trust and opens its settings pane.
void promptForInputPermission(platform::Accessibility& accessibility,
                              platform::Workspace& workspace);

// The "--check" run: "TRUSTED" or "UNTRUSTED" to `output`; the exit status, 0 or 1.
int runPermissionCheck(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy,
                       LineOutput& output);

}  // namespace deskplay::keyhark
