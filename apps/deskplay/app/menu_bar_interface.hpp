#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/app_services.hpp"
#include "app/popover_screens.hpp"
#include "ui/hosting/quick_popover_host.hpp"
#include "ui/menubar/menu_bar_popover.hpp"

namespace deskplay::app {

// The application's whole interface: the "Deskplay" status item with the game controller
// symbol, and the popover under it showing the screens. Main thread, while the services live.
class MenuBarInterface {
 public:
  MenuBarInterface(AppServices& services, const PopoverScreens& screens,
                   std::function<void()> quit);
  MenuBarInterface(const MenuBarInterface&) = delete;
  MenuBarInterface& operator=(const MenuBarInterface&) = delete;

  // Opens the popover unless it is open (the application is asked to come forward).
  void open() { popover_->open(); }

 private:
  // Owns what the screens make; destroyed after the host that shows it.
  QObject screensOwner_;
  std::unique_ptr<ui::QuickPopoverHost> host_;
  std::unique_ptr<ui::MenuBarPopover> popover_;
};

}  // namespace deskplay::app
