#pragma once

#include "listener/line_output.hpp"
#include "platform/accessibility.hpp"
#include "platform/privacy_checks.hpp"

namespace deskplay::keyhark {

// The "--check" run: "TRUSTED" or "UNTRUSTED" to `output`; the exit status, 0 or 1.
int runPermissionCheck(platform::Accessibility& accessibility, platform::PrivacyChecks& privacy,
                       LineOutput& output);

}  // namespace deskplay::keyhark
