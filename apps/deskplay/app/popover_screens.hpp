#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <functional>

#include "app/app_services.hpp"
#include "ui/hosting/quick_popover_host.hpp"

namespace deskplay::app {

// What the screens ask of the application: close the popover (a game took the desktop) and
// quit.
struct PopoverRequests {
  std::function<void()> dismiss;
  std::function<void()> quit;
};

// The screens as the window host needs them: the factory of their root item, and what they do
// as the popover opens and closes.
struct MadeScreens {
  ui::RootItemFactory makeRoot;
  std::function<void(bool shown)> popoverShown;
};

// Makes what the popover shows, once the stores exist: it wires the screens' requests. What
// it makes lives as long as `owner`.
using PopoverScreens = std::function<MadeScreens(AppServices& services,
                                                 const PopoverRequests& requests, QObject& owner)>;

// PopoverScreens for a screens class: a QObject with `QQuickItem* createRoot(QQmlEngine&)`,
// `void setPopoverShown(bool)` and the signals `dismissRequested()` and `quitRequested()`,
// made by `make` with its parent.
template <class Screens>
PopoverScreens popoverScreens(
    std::function<Screens*(AppServices& services, QObject* parent)> make) {
  return [make = std::move(make)](AppServices& services, const PopoverRequests& requests,
                                  QObject& owner) -> MadeScreens {
    Screens* screens = make(services, &owner);
    QObject::connect(screens, &Screens::dismissRequested, &owner, requests.dismiss);
    QObject::connect(screens, &Screens::quitRequested, &owner, requests.quit);
    return {[screens](QQmlEngine& engine) { return screens->createRoot(engine); },
            [screens](bool shown) { screens->setPopoverShown(shown); }};
  };
}

}  // namespace deskplay::app
