#pragma once

#include <optional>
#include <string>

#include "platform/geometry.hpp"
#include "simdesk_session.hpp"

namespace deskplay::testing {

// An application's content window as `simdeskctl windows` lists it (bounds with the top-left
// origin).
struct ListedWindow {
  std::string title;
  platform::Rect bounds;
  double alpha = 1;
  bool key = false;
};

// The first on-screen content window titled `title`, when there is one.
std::optional<ListedWindow> listedContentWindow(const SimdeskSession& session,
                                                const std::string& title);

}  // namespace deskplay::testing
