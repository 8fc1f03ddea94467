#include "ui/symbols/symbol_font.hpp"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <string>

#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {

Status loadSymbolFont() {
  static const bool loaded =
      QFontDatabase::families().contains(QString::fromUtf8(
          symbolFontFamily.data(), static_cast<qsizetype>(symbolFontFamily.size()))) ||
      QFontDatabase::addApplicationFont(QString::fromUtf8(
          symbolFontPath.data(), static_cast<qsizetype>(symbolFontPath.size()))) >= 0;
  if (!loaded) return Error("The symbol font cannot be loaded: " + std::string(symbolFontPath));
  return Status::success();
}

}  // namespace deskplay::ui
