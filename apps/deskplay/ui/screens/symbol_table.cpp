#include "ui/screens/symbol_table.hpp"

#include <QtGlobal>

#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {
namespace {

QString qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Result<SystemSymbol> lookUp(const QString& name) {
  auto symbol = systemSymbol(name.toStdString());
  if (!symbol.ok()) qWarning("%s", symbol.message().c_str());
  return symbol;
}

}  // namespace

QString SymbolTable::fontFamily() const {
  return qt(symbolFontFamily);
}

QString SymbolTable::text(const QString& name) const {
  const auto symbol = lookUp(name);
  return symbol.ok() ? QString::fromStdString(symbolText(symbol.value())) : QString();
}

QString SymbolTable::meaning(const QString& name) const {
  const auto symbol = lookUp(name);
  return symbol.ok() ? qt(symbol.value().meaning) : QString();
}

}  // namespace deskplay::ui
