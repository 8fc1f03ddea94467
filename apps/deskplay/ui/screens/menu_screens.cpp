#include "ui/screens/menu_screens.hpp"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QUrl>
#include <QtGlobal>
#include <mutex>

#include "ui/screens/symbol_table.hpp"
#include "ui/symbols/symbol_font.hpp"
#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {
namespace {

constexpr char kModule[] = "Deskplay.Popover";
const QUrl kQmlFolder(QStringLiteral("qrc:/deskplay/popover/"));

void registerTypes() {
  static std::once_flag once;
  std::call_once(once, [] {
    qmlRegisterSingletonType<SymbolTable>(
        kModule, 1, 0, "Symbols",
        [](QQmlEngine* engine, QJSEngine*) -> QObject* { return new SymbolTable(engine); });
    qmlRegisterSingletonType(kQmlFolder.resolved(QUrl("theme/Theme.qml")), kModule, 1, 0, "Theme");
  });
}

}  // namespace

MenuScreens::MenuScreens(Stores stores, QObject* parent) : QObject(parent), router_(stores) {
  connect(&router_, &MenuRouter::dismissRequested, this, &MenuScreens::dismissRequested);
  connect(&router_, &MenuRouter::quitRequested, this, &MenuScreens::quitRequested);
}

QQuickItem* MenuScreens::createRoot(QQmlEngine& engine) {
  registerTypes();
  if (const Status font = loadSymbolFont(); !font.ok()) qWarning("%s", font.message().c_str());
  QQmlComponent component(&engine, kQmlFolder.resolved(QUrl("MenuContent.qml")));
  QObject* created = component.createWithInitialProperties(
      {{"router", QVariant::fromValue(static_cast<QObject*>(&router_))}});
  if (created == nullptr) {
    for (const QQmlError& error : component.errors()) qWarning("%s", qPrintable(error.toString()));
    return nullptr;
  }
  auto* root = qobject_cast<QQuickItem*>(created);
  if (root == nullptr) delete created;
  QQmlEngine::setObjectOwnership(root, QQmlEngine::CppOwnership);
  return root;
}

}  // namespace deskplay::ui
