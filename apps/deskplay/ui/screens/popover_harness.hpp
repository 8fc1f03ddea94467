#pragma once

#include <QAccessibleInterface>
#include <QImage>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <QStringList>
#include <memory>

#include "ui/screens/menu_screens.hpp"

namespace deskplay::ui::testing {

// The screens' root in an offscreen window sized as the host sizes its panel, with the ways a
// test looks at it and acts on it: through the accessibility tree, as assistive tools and
// simdeskctl do, and through the pointer and keyboard.
class PopoverHarness {
 public:
  explicit PopoverHarness(MenuScreens& screens);
  ~PopoverHarness();

  QQuickWindow& window() { return window_; }
  QQuickItem& root() { return *root_; }

  // The shown accessible element with that name, or null.
  QAccessibleInterface* find(const QString& name);
  // Presses the shown element with that name through its accessible press action; false when
  // there is none.
  bool press(const QString& name);
  // The item behind the shown accessible element with that name, or null.
  QQuickItem* item(const QString& name);
  // Every non-empty text of the shown items, in item order.
  QStringList texts();
  // The shown text item whose text is `text`, or null.
  QQuickItem* textItem(const QString& text);
  // Types into the item with that accessible name, which gets the focus first.
  void type(const QString& name, const QString& text);
  // Moves the pointer over the centre of `item`, or away from the window.
  void hover(QQuickItem& item);
  void leave();
  // Renders the window and saves it as <name>.png in the screenshot folder.
  QImage screenshot(const QString& name);

 private:
  void fitToContent();

  QQmlEngine engine_;
  QQuickWindow window_;
  std::unique_ptr<QQuickItem> root_;
};

}  // namespace deskplay::ui::testing
