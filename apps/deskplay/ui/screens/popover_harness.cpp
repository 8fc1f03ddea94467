#include "ui/screens/popover_harness.hpp"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QMouseEvent>
#include <QTest>
#include <functional>

#include "ui/hosting/quick_popover_host.hpp"

namespace deskplay::ui::testing {
namespace {

bool shown(QAccessibleInterface* element) {
  return element != nullptr && element->isValid() && !element->state().invisible;
}

QAccessibleInterface* findIn(QAccessibleInterface* parent, const QString& name) {
  for (int i = 0; i < parent->childCount(); ++i) {
    QAccessibleInterface* child = parent->child(i);
    if (!shown(child)) continue;
    if (child->text(QAccessible::Name) == name) return child;
    if (QAccessibleInterface* found = findIn(child, name)) return found;
  }
  return nullptr;
}

void visitShown(QQuickItem* item, const std::function<void(QQuickItem*)>& visit) {
  if (!item->isVisible()) return;
  visit(item);
  for (QQuickItem* child : item->childItems()) visitShown(child, visit);
}

}  // namespace

PopoverHarness::PopoverHarness(MenuScreens& screens) : root_(screens.createRoot(engine_)) {
  if (!root_) {
    ADD_FAILURE() << "the screens' root could not be made";
    return;
  }
  // The panel's own translucent material, as the popover host shows the screens.
  window_.setColor(QuickPopoverHost::kBackground);
  root_->setParentItem(window_.contentItem());
  QObject::connect(root_.get(), &QQuickItem::implicitHeightChanged, &window_,
                   [this] { fitToContent(); });
  fitToContent();
  window_.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
}

PopoverHarness::~PopoverHarness() {
  // The root goes before the window whose content item holds it.
  root_.reset();
}

void PopoverHarness::fitToContent() {
  root_->setSize(QSizeF(root_->implicitWidth(), root_->implicitHeight()));
  window_.resize(static_cast<int>(root_->implicitWidth()),
                 static_cast<int>(std::ceil(root_->implicitHeight())));
}

QAccessibleInterface* PopoverHarness::find(const QString& name) {
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&window_);
  return window == nullptr ? nullptr : findIn(window, name);
}

bool PopoverHarness::press(const QString& name) {
  QAccessibleInterface* element = find(name);
  QAccessibleActionInterface* actions = element == nullptr ? nullptr : element->actionInterface();
  if (actions == nullptr) return false;
  actions->doAction(QAccessibleActionInterface::pressAction());
  return true;
}

QQuickItem* PopoverHarness::item(const QString& name) {
  QAccessibleInterface* element = find(name);
  return element == nullptr ? nullptr : qobject_cast<QQuickItem*>(element->object());
}

QStringList PopoverHarness::texts() {
  QStringList texts;
  visitShown(root_.get(), [&](QQuickItem* item) {
    const QVariant text = item->property("text");
    if (text.typeId() == QMetaType::QString && !text.toString().isEmpty()) {
      texts << text.toString();
    }
  });
  return texts;
}

QQuickItem* PopoverHarness::textItem(const QString& text) {
  QQuickItem* found = nullptr;
  visitShown(root_.get(), [&](QQuickItem* item) {
    if (found == nullptr && item->property("text").toString() == text) found = item;
  });
  return found;
}

void PopoverHarness::type(const QString& name, const QString& text) {
  QQuickItem* field = item(name);
  ASSERT_NE(field, nullptr) << name.toStdString();
  window_.requestActivate();
  field->forceActiveFocus();
  for (const QChar character : text) QTest::keyClick(&window_, character.toLatin1());
}

void PopoverHarness::hover(QQuickItem& item) {
  const QPointF centre = item.mapToScene(QPointF(item.width() / 2, item.height() / 2));
  QMouseEvent move(QEvent::MouseMove, centre, centre, window_.mapToGlobal(centre), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window_, &move);
}

void PopoverHarness::leave() {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&window_, &leave);
}

QImage PopoverHarness::screenshot(const QString& name) {
  // Grabbing lays the items out, which may resize the window to the new content: grab again
  // until the size holds.
  QImage image = window_.grabWindow();
  for (int settle = 0; settle < 3 && image.size() != window_.size(); ++settle) {
    image = window_.grabWindow();
  }
  QDir().mkpath(DESKPLAY_POPOVER_SCREENSHOTS);
  EXPECT_TRUE(image.save(QString(DESKPLAY_POPOVER_SCREENSHOTS) + "/" + name + ".png"));
  return image;
}

}  // namespace deskplay::ui::testing
