#pragma once

#include <functional>

#include "platform/geometry.hpp"
#include "platform/windows.hpp"

namespace deskplay::ui {

// What the panel shows: something that draws into the panel's content window, takes its input
// and knows its own size. The panel follows the size it reports.
class PopoverContent {
 public:
  using SizeHandler = std::function<void(platform::Size size)>;

  virtual ~PopoverContent() = default;

  // Draws into `window` and takes its input from now on; the window outlives the content's use
  // of it until `detach`.
  virtual void attach(platform::ContentWindow& window) = 0;
  virtual void detach() = 0;
  // The panel is about to be shown (its pixels must be current by the time this returns), or
  // it has been hidden (nothing needs drawing until it is shown again).
  virtual void setShown(bool shown) = 0;
  // The size the content asks for, in points.
  virtual platform::Size size() const = 0;
  // Called whenever that size changes, from the main thread.
  virtual void setSizeHandler(SizeHandler handler) = 0;
};

}  // namespace deskplay::ui
