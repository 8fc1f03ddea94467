#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/accessibility.hpp"
#include "platform/windows.hpp"

namespace deskplay::glyphon {

// A walk looks at no more elements than this, so that a Finder window showing a huge folder
// cannot stall the main thread.
inline constexpr std::size_t kWalkElementLimit = 5000;

enum class WalkStep { next, stop };

// Walks Finder's accessibility tree breadth first, from the children of its application
// element (the menu bar left out), and hands `visit` every element with a file name, in
// order. Such an element is a leaf: what lies below an icon (its label) is never looked at.
// Stops after kWalkElementLimit elements, or when `visit` says so.
void walkFinderTree(platform::Accessibility& accessibility, platform::Windows& windows,
                    const std::function<WalkStep(platform::AccessibilityElement,
                                                 const std::string& filename)>& visit);

}  // namespace deskplay::glyphon
