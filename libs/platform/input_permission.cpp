#include "platform/input_permission.hpp"

#include <string>

namespace deskplay::platform {

bool hasInputPermission(Accessibility& accessibility, PrivacyChecks& privacy) {
  return accessibility.isProcessTrusted(Accessibility::Prompt::no) ||
         privacy.listenEventAccess() == PrivacyChecks::Access::granted;
}

void promptForInputPermission(Accessibility& accessibility, Workspace& workspace) {
  (void)accessibility.isProcessTrusted(Accessibility::Prompt::yes);
  (void)workspace.openUrl(std::string(kAccessibilitySettingsUrl));
}

}  // namespace deskplay::platform
