#pragma once

#include <memory>

#include "ui/menubar/menu_bar_popover_status_item.hpp"
#include "ui/menubar/popover_content.hpp"

namespace deskplay::ui {

// The application's menu-bar extra: a status item whose button drops down a panel holding the
// content. It makes its status item once and keeps it for its whole life. Main thread.
class MenuBarPopover {
 public:
  MenuBarPopover(const MenuBarPopoverPorts& ports, MenuBarPopoverScene scene,
                 PopoverContent& content)
      : statusItem_(std::make_unique<MenuBarPopoverStatusItem>(ports, std::move(scene), content)) {}

  // Opens the panel when it is hidden (another instance asked this one to come forward).
  void open() {
    if (!statusItem_->isShown()) statusItem_->didPressStatusButton();
  }
  MenuBarPopoverStatusItem& statusItem() { return *statusItem_; }

 private:
  std::unique_ptr<MenuBarPopoverStatusItem> statusItem_;
};

// Closes every shown panel of this application titled "Deskplay": the key one resigns (and so
// fades out), any other is ordered out at once. Main thread.
void dismissMenuBarPopover();

}  // namespace deskplay::ui
