#pragma once

#include <QWindow>
#include <vector>

#include "platform/window_content.hpp"

namespace deskplay::ui {

// What a Qt window shows, as the window server's accessibility tree: each visible element with
// its role ("AXButton", …), name, value, enabled state and frame in the window's own
// coordinates (whole points). Elements without a role of their own give their children to
// their parent.
std::vector<platform::AccessibleNode> accessibleTreeOf(QWindow& window);

// Turns the platform's accessibility on, so that Qt Quick items made afterwards are accessible
// and report their changes even without a screen reader attached. Needs the application object.
void activateAccessibility();

}  // namespace deskplay::ui
