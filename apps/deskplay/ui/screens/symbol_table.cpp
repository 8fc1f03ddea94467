#include "ui/screens/symbol_table.hpp"

#include <QtGlobal>

#include "ui/models/qt_text.hpp"
#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {
namespace {

Result<SystemSymbol> lookUp(const QString& name) {
  auto symbol = systemSymbol(name.toStdString());
  if (!symbol.ok()) qWarning("%s", symbol.message().c_str());
  return symbol;
}

}  // namespace

QString SymbolTable::fontFamily() const {
  return qtText(symbolFontFamily);
}

QString SymbolTable::text(const QString& name) const {
  const auto symbol = lookUp(name);
  return symbol.ok() ? QString::fromStdString(symbolText(symbol.value())) : QString();
}

QString SymbolTable::meaning(const QString& name) const {
  const auto symbol = lookUp(name);
  return symbol.ok() ? qtText(symbol.value().meaning) : QString();
}

}  // namespace deskplay::ui
