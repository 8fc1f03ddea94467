#include "ui/menubar/menu_bar_popover.hpp"
#include "ui/menubar/menu_bar_popover_window.hpp"

namespace deskplay::ui {

void dismissMenuBarPopover() {
  for (MenuBarPopoverWindow* panel : MenuBarPopoverWindow::live()) {
    platform::ContentWindow& window = panel->window();
    if (window.title() != "Deskplay" || !window.isVisible()) continue;
    if (window.isKey()) {
      window.resignKey();
    } else {
      window.orderOut();
    }
  }
}

}  // namespace deskplay::ui
