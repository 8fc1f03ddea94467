#include "listener/permission.hpp"

namespace deskplay::keyhark {

bool hasInputPermission(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy) {
  return accessibility.isProcessTrusted(platform::Accessibility::Prompt::no) ||
         privacy.listenEventAccess() == platform::PrivacyChecks::Access::granted;
}

void promptForInputPermission(platform::Accessibility& accessibility,
                              platform::Workspace& workspace) {
  (void)accessibility.isProcessTrusted(platform::Accessibility::Prompt::yes);
  (void)workspace.openUrl(kAccessibilitySettingsUrl);
}

int runPermissionCheck(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy,
                       LineOutput& output) {
  const bool trusted = hasInputPermission(accessibility, privacy);
  output.writeLine(trusted ? "TRUSTED" : "UNTRUSTED");
  return trusted ? 0 : 1;
}

}  // namespace deskplay::keyhark
