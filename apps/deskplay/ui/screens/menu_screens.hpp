#pragma once

#include <QObject>

#include "ui/models/menu_router.hpp"

class QQmlEngine;
class QQuickItem;

namespace deskplay::ui {

// The popover's content for the window host: creates the root item of the screens and says
// when the popover should close and when the user asked to quit. Main thread only; needs a
// QGuiApplication.
class MenuScreens final : public QObject {
  Q_OBJECT

 public:
  // The stores the screens show and act on; all must outlive the screens.
  using Stores = MenuRouter::Stores;

  explicit MenuScreens(Stores stores, QObject* parent = nullptr);

  // A new root item of the screens (the QML type MenuContent) in `engine`, owned by the
  // caller; 480 wide, its implicit height following its content. Loads the symbol font on
  // first use. Null, with the QML errors logged as warnings, if the screens cannot be made.
  QQuickItem* createRoot(QQmlEngine& engine);

  MenuRouter& router() { return router_; }
  // The popover opened or closed (the screens count as shown until told otherwise).
  void setPopoverShown(bool shown) { router_.setPopoverShown(shown); }

 signals:
  // A game became current: the popover should close now (sent on the main loop's turn after
  // the start, as the game takes the desktop).
  void dismissRequested();
  // The quit button was pressed.
  void quitRequested();

 private:
  MenuRouter router_;
};

}  // namespace deskplay::ui
