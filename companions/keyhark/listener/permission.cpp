#include "listener/permission.hpp"

#include "platform/input_permission.hpp"

namespace deskplay::keyhark {

int runPermissionCheck(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy,
                       LineOutput& output) {
  const bool trusted = platform::hasInputPermission(accessibility, privacy);
  output.writeLine(trusted ? "TRUSTED" : "UNTRUSTED");
  return trusted ? 0 : 1;
}

}  // namespace deskplay::keyhark
