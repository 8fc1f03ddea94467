#include "ui/hosting/symbol_image.hpp"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <string>

#include "ui/symbols/symbol_font.hpp"
#include "ui/symbols/system_symbols.hpp"

namespace deskplay::ui {

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
