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

// Makes what the popover shows, once the stores exist: it wires the screens' requests and
// gives the factory of their root item. What it makes lives as long as `owner`.
using PopoverScreens = std::function<ui::RootItemFactory(
    AppServices& services, const PopoverRequests& requests, QObject& owner)>;

// PopoverScreens for a screens class: a QObject with `QQuickItem* createRoot(QQmlEngine&)` and
// the signals `dismissRequested()` and `quitRequested()`, made by `make` with its parent.
template <class Screens>
PopoverScreens popoverScreens(
    std::function<Screens*(AppServices& services, QObject* parent)> make) {
  return [make = std::move(make)](AppServices& services, const PopoverRequests& requests,
                                  QObject& owner) -> ui::RootItemFactory {
    Screens* screens = make(services, &owner);
    QObject::connect(screens, &Screens::dismissRequested, &owner, requests.dismiss);
    QObject::connect(screens, &Screens::quitRequested, &owner, requests.quit);
    return [screens](QQmlEngine& engine) { return screens->createRoot(engine); };
  };
}

}  // namespace deskplay::app
