#include "ui/hosting/accessible_tree.hpp"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QQuickItem>
#include <map>

namespace deskplay::ui {

namespace {

using platform::AccessibleNode;

// The window server's role for a Qt role; nothing for roles that only group their children
// for layout.
std::optional<std::string> roleOf(QAccessible::Role role) {
  static const std::map<QAccessible::Role, std::string> roles = {
      {QAccessible::Button, "AXButton"},
      {QAccessible::StaticText, "AXStaticText"},
      {QAccessible::CheckBox, "AXCheckBox"},
      {QAccessible::RadioButton, "AXRadioButton"},
      {QAccessible::EditableText, "AXTextField"},
      {QAccessible::Slider, "AXSlider"},
      {QAccessible::SpinBox, "AXIncrementor"},
      {QAccessible::ComboBox, "AXPopUpButton"},
      {QAccessible::ProgressBar, "AXProgressIndicator"},
      {QAccessible::ScrollBar, "AXScrollBar"},
      {QAccessible::Link, "AXLink"},
      {QAccessible::Graphic, "AXImage"},
      {QAccessible::List, "AXList"},
      {QAccessible::ListItem, "AXCell"},
      {QAccessible::Table, "AXTable"},
      {QAccessible::MenuItem, "AXMenuItem"},
      {QAccessible::PopupMenu, "AXMenu"},
      {QAccessible::PageTabList, "AXTabGroup"},
      {QAccessible::PageTab, "AXRadioButton"},
      {QAccessible::Separator, "AXSplitter"},
      {QAccessible::Grouping, "AXGroup"},
      {QAccessible::Pane, "AXGroup"},
      {QAccessible::Heading, "AXHeading"},
  };
  const auto found = roles.find(role);
  if (found == roles.end()) return std::nullopt;
  return found->second;
}

// Shown on screen. The offscreen window is never shown as a window, which makes Qt call every
// element invisible, so an item's own visibility decides.
bool isShown(QAccessibleInterface& element) {
  if (const auto* item = qobject_cast<QQuickItem*>(element.object())) {
    return item->isVisible() && item->opacity() > 0;
  }
  return !element.state().invisible;
}

// Takes clicks. Qt Quick does not mark a disabled item's element disabled, so the item says.
bool isEnabled(QAccessibleInterface& element) {
  if (const auto* item = qobject_cast<QQuickItem*>(element.object())) return item->isEnabled();
  return !element.state().disabled;
}

void collect(QAccessibleInterface& element, const QPoint& origin,
             std::vector<AccessibleNode>& into) {
  for (int i = 0; i < element.childCount(); ++i) {
    QAccessibleInterface* child = element.child(i);
    if (child == nullptr || !child->isValid() || !isShown(*child)) continue;
    const std::optional<std::string> role = roleOf(child->role());
    if (!role) {
      collect(*child, origin, into);
      continue;
    }
    AccessibleNode node;
    node.role = *role;
    node.title = child->text(QAccessible::Name).toStdString();
    node.value = child->text(QAccessible::Value).toStdString();
    node.enabled = isEnabled(*child);
    const QRect rect = child->rect().translated(-origin);
    node.frame = {{static_cast<double>(rect.x()), static_cast<double>(rect.y())},
                  {static_cast<double>(rect.width()), static_cast<double>(rect.height())}};
    collect(*child, origin, node.children);
    into.push_back(std::move(node));
  }
}

}  // namespace

void activateAccessibility() {
  QPlatformIntegration* integration = QGuiApplicationPrivate::platformIntegration();
  if (integration == nullptr) return;
  if (QPlatformAccessibility* accessibility = integration->accessibility()) {
    accessibility->setActive(true);
  }
}

std::vector<AccessibleNode> accessibleTreeOf(QWindow& window) {
  std::vector<AccessibleNode> roots;
  QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&window);
  if (root == nullptr) return roots;
  collect(*root, window.position(), roots);
  return roots;
}

}  // namespace deskplay::ui
