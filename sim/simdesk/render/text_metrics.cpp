#include "sim/simdesk/render/text_metrics.hpp"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>
#include <cmath>

namespace deskplay::simdesk {

namespace {

constexpr const char* kRegularFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kBoldFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
// Text is measured at this pixel size and scaled, so fractional sizes measure exactly and
// the screen's resolution plays no part.
constexpr int kReferencePixelSize = 100;

struct LoadedFonts {
  QString family;
  bool loaded = false;
};

const LoadedFonts& loadedFonts() {
  static const LoadedFonts fonts = [] {
    LoadedFonts result;
    const int regular = QFontDatabase::addApplicationFont(QString::fromUtf8(kRegularFile));
    QFontDatabase::addApplicationFont(QString::fromUtf8(kBoldFile));
    if (regular >= 0) {
      const QStringList families = QFontDatabase::applicationFontFamilies(regular);
      if (!families.isEmpty()) {
        result.family = families.front();
        result.loaded = true;
      }
    }
    if (!result.loaded) result.family = QStringLiteral("Sans Serif");
    return result;
  }();
  return fonts;
}

QFont fontAtPixelSize(int pixelSize, platform::FontWeight weight) {
  QFont font(loadedFonts().family);
  font.setPixelSize(std::max(1, pixelSize));
  font.setWeight(weight == platform::FontWeight::semibold ? QFont::DemiBold : QFont::Normal);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(true);
  return font;
}

}  // namespace

QFont desktopFont(double size, platform::FontWeight weight) {
  return fontAtPixelSize(static_cast<int>(std::lround(size)), weight);
}

bool desktopFontLoaded() {
  if (QGuiApplication::instance() == nullptr) return false;
  return loadedFonts().loaded;
}

double textWidth(std::string_view text, double size, platform::FontWeight weight) {
  // Fonts need the GUI application; without one the model's estimate stands in.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    return estimatedTextWidth(text, size, weight);
  }
  const QFontMetricsF metrics(fontAtPixelSize(kReferencePixelSize, weight));
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return metrics.horizontalAdvance(string) * size / kReferencePixelSize;
}

TextMeasure fontTextMeasure() { return textWidth; }

}  // namespace deskplay::simdesk
