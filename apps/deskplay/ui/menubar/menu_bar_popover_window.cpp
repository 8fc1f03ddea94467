#include "ui/menubar/menu_bar_popover_window.hpp"

#include <algorithm>

namespace deskplay::ui {

namespace {

namespace behavior = platform::collection_behavior;

std::vector<MenuBarPopoverWindow*>& panels() {
  static std::vector<MenuBarPopoverWindow*> live;
  return live;
}

platform::WindowTraits panelTraits() {
  platform::WindowTraits traits;
  traits.level = platform::window_levels::status;
  traits.background = std::nullopt;
  traits.opaque = false;
  traits.hasShadow = true;
  traits.acceptsMouseMovedEvents = true;
  traits.movableByWindowBackground = false;
  traits.collectionBehavior =
      behavior::moveToActiveSpace | behavior::stationary | behavior::fullScreenAuxiliary;
  traits.hidesOnDeactivate = false;
  traits.floatingPanel = true;
  traits.releasedWhenClosed = false;
  traits.becomesKeyOrMain = true;
  return traits;
}

}  // namespace

const platform::WindowTraits MenuBarPopoverWindow::kTraits = panelTraits();

MenuBarPopoverWindow::MenuBarPopoverWindow(platform::Windows& windows, const std::string& title,
                                           PopoverContent& content)
    : content_(content) {
  const platform::Size size = content.size();
  window_ = windows.createContentWindow(
      platform::WindowSpec{platform::Rect{{0, 0}, size}, platform::window_style::nonactivatingPanel,
                           platform::WindowSpec::Kind::panel});
  window_->setTitle(title);
  window_->configure(kTraits);
  content_.attach(*window_);
  panels().push_back(this);
}

MenuBarPopoverWindow::~MenuBarPopoverWindow() {
  std::erase(panels(), this);
  content_.detach();
}

const std::vector<MenuBarPopoverWindow*>& MenuBarPopoverWindow::live() {
  return panels();
}

}  // namespace deskplay::ui
