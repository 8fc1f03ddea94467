#include "ui/hosting/symbol_image.hpp"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <string>

#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {

namespace {

Status loadSymbolFont() {
  static const bool loaded =
      QFontDatabase::families().contains(
          QString::fromUtf8(symbolFontFamily.data(), static_cast<int>(symbolFontFamily.size()))) ||
      QFontDatabase::addApplicationFont(
          QString::fromUtf8(symbolFontPath.data(), static_cast<int>(symbolFontPath.size()))) >= 0;
  if (!loaded) return Error("The symbol font cannot be loaded: " + std::string(symbolFontPath));
  return Status::success();
}

}  // namespace

Result<platform::Image> symbolTemplateImage(std::string_view systemName, int side) {
  const auto symbol = systemSymbol(systemName);
  if (!symbol.ok()) return symbol.error();
  if (Status font = loadSymbolFont(); !font.ok()) return std::move(font).error();

  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QFont font(QString::fromUtf8(symbolFontFamily.data(), static_cast<int>(symbolFontFamily.size())));
  font.setPixelSize(side);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(image.rect(), Qt::AlignCenter,
                   QString::fromStdString(symbolText(symbol.value())));
  painter.end();

  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return platform::Image{std::vector<unsigned char>(png.begin(), png.end()), side, side};
}

}  // namespace deskplay::ui
