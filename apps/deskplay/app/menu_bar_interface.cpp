#include "app/menu_bar_interface.hpp"

#include <iostream>

#include "ui/hosting/symbol_image.hpp"

namespace deskplay::app {

namespace {

// The status item's image, in pixels: the menu bar's symbol size.
constexpr int kStatusImageSide = 18;

ui::MenuBarPopoverScene deskplayScene() {
  ui::MenuBarPopoverScene scene;
  scene.title = "Deskplay";
  auto image = ui::symbolTemplateImage("gamecontroller.fill", kStatusImageSide);
  if (image.ok()) {
    scene.image = std::move(image).value();
  } else {
    std::cerr << "Deskplay: " << image.message() << "\n";
  }
  scene.alignment = ui::PopUpAlignment::left;
  scene.screenClippingBehaviour = ui::ScreenClippingBehaviour::reverseAlignment;
  return scene;
}

}  // namespace

MenuBarInterface::MenuBarInterface(AppServices& services, const PopoverScreens& screens,
                                   std::function<void()> quit) {
  // The scene's image loads the symbol font, which the screens' items find by its family.
  ui::MenuBarPopoverScene scene = deskplayScene();
  const PopoverRequests requests{[] { ui::dismissMenuBarPopover(); }, std::move(quit)};
  const MadeScreens made = screens ? screens(services, requests, screensOwner_) : MadeScreens();
  host_ = std::make_unique<ui::QuickPopoverHost>(made.makeRoot);
  popover_ = std::make_unique<ui::MenuBarPopover>(
      ui::MenuBarPopoverPorts{services.statusItems(), services.windows(), services.eventTaps(),
                              services.notifications(), services.timers(), services.clock()},
      std::move(scene), *host_);
  // Each opening checks keyboard access again, so the permission banner goes once the person
  // granted it, and the tap is installed then.
  QObject::connect(host_.get(), &ui::QuickPopoverHost::shownChanged, &screensOwner_,
                   [&keyTap = services.keyTap(), popoverShown = made.popoverShown](bool shown) {
                     if (shown) keyTap.start();
                     if (popoverShown) popoverShown(shown);
                   });
  if (made.popoverShown) made.popoverShown(false);
}

}  // namespace deskplay::app
