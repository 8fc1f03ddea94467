#pragma once

namespace deskplay::simdesk::ctl {

// simdeskctl's exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

}  // namespace deskplay::simdesk::ctl
