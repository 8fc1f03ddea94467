#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/windows.hpp"
#include "ui/menubar/popover_content.hpp"

namespace deskplay::ui {

// The panel under the status item: a borderless floating window at the status level that
// keeps its place (not movable, stationary on the active space), shows the content over a
// see-through background and stays when the application deactivates. The content draws into
// it from creation to destruction. Every live panel is listed for `dismissMenuBarPopover`.
// Main thread.
class MenuBarPopoverWindow {
 public:
  static const platform::WindowTraits kTraits;

  MenuBarPopoverWindow(platform::Windows& windows, const std::string& title,
                       PopoverContent& content);
  MenuBarPopoverWindow(const MenuBarPopoverWindow&) = delete;
  MenuBarPopoverWindow& operator=(const MenuBarPopoverWindow&) = delete;
  ~MenuBarPopoverWindow();

  platform::ContentWindow& window() { return *window_; }
  const platform::ContentWindow& window() const { return *window_; }
  PopoverContent& content() { return content_; }

  // The panels alive now, oldest first.
  static const std::vector<MenuBarPopoverWindow*>& live();

 private:
  std::unique_ptr<platform::ContentWindow> window_;
  PopoverContent& content_;
};

}  // namespace deskplay::ui
