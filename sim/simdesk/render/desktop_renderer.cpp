#include "sim/simdesk/render/desktop_renderer.hpp"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

#include "sim/simdesk/model/window_levels.hpp"
#include "sim/simdesk/render/text_metrics.hpp"

namespace deskplay::simdesk {

using platform::FontWeight;
using platform::Rect;

namespace {

QRectF toQt(const Rect& rect) {
  return QRectF(rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

QColor toQt(const platform::Color& color) {
  return QColor::fromRgbF(static_cast<float>(std::clamp(color.red, 0.0, 1.0)),
                          static_cast<float>(std::clamp(color.green, 0.0, 1.0)),
                          static_cast<float>(std::clamp(color.blue, 0.0, 1.0)),
                          static_cast<float>(std::clamp(color.alpha, 0.0, 1.0)));
}

QString qString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Finder's tag colours, by label index 1–7.
QColor labelColor(int labelIndex) {
  static const std::array<QColor, 8> colors{
      QColor(0, 0, 0, 0),       QColor(255, 149, 0),  QColor(255, 59, 48),
      QColor(255, 204, 0),      QColor(0, 122, 255),  QColor(175, 82, 222),
      QColor(52, 199, 89),      QColor(142, 142, 147)};
  return colors[static_cast<std::size_t>(std::clamp(labelIndex, 0, 7))];
}

const QColor kWindowBackground(236, 236, 236);
// Qt maps PNG quality 80 to zlib level 1.
constexpr int kPngQuality = 80;
const QColor kLabelText(255, 255, 255);
const QColor kItemInfoText(120, 180, 255);

std::string itemInfo(const DesktopItem& item) {
  if (item.isFolder()) {
    return std::to_string(item.folderEntries) + (item.folderEntries == 1 ? " item" : " items");
  }
  if (item.size < 1000) return std::to_string(item.size) + " bytes";
  if (item.size < 1000 * 1000) return std::to_string(item.size / 1000) + " KB";
  return std::to_string(item.size / (1000 * 1000)) + " MB";
}

void drawFileGlyph(QPainter& painter, double size) {
  const double w = size * 0.72;
  const double h = size * 0.92;
  const double x = (size - w) / 2;
  const double y = (size - h) / 2;
  const double fold = w * 0.3;
  QPainterPath page;
  page.moveTo(x, y);
  page.lineTo(x + w - fold, y);
  page.lineTo(x + w, y + fold);
  page.lineTo(x + w, y + h);
  page.lineTo(x, y + h);
  page.closeSubpath();
  painter.setPen(QPen(QColor(170, 170, 175), std::max(1.0, size / 64)));
  painter.setBrush(QColor(250, 250, 250));
  painter.drawPath(page);
  QPainterPath corner;
  corner.moveTo(x + w - fold, y);
  corner.lineTo(x + w - fold, y + fold);
  corner.lineTo(x + w, y + fold);
  painter.setBrush(QColor(220, 220, 225));
  painter.drawPath(corner);
}

void drawFolderGlyph(QPainter& painter, double size) {
  const double w = size * 0.9;
  const double h = size * 0.7;
  const double x = (size - w) / 2;
  const double y = (size - h) / 2 + size * 0.04;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(90, 170, 235));
  painter.drawRoundedRect(QRectF(x, y - size * 0.08, w * 0.42, size * 0.16), size * 0.04,
                          size * 0.04);
  painter.setBrush(QColor(120, 190, 245));
  painter.drawRoundedRect(QRectF(x, y, w, h), size * 0.06, size * 0.06);
}

}  // namespace

DesktopRenderer::DesktopRenderer(SimulatedDesktop& desktop) : desktop_(desktop) {}

std::size_t DesktopRenderer::screenCount() const {
  return desktop_.screens().sizes().size();
}

QImage DesktopRenderer::renderScreen(std::size_t screen) {
  const auto screens = desktop_.screens().screens();
  if (screen >= screens.size()) return {};
  const Rect area = desktop_.screens().toTopLeft(screens[screen].frame);
  QImage image(static_cast<int>(std::ceil(area.size.width)),
               static_cast<int>(std::ceil(area.size.height)), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(-area.origin.x, -area.origin.y);
  painter.setClipRect(toQt(area));
  paint(painter);
  return image;
}

QImage DesktopRenderer::renderAll() {
  const auto screens = desktop_.screens().screens();
  if (screens.empty()) return {};
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  for (const auto& screen : screens) {
    const Rect frame = desktop_.screens().toTopLeft(screen.frame);
    left = std::min(left, frame.minX());
    top = std::min(top, frame.minY());
    right = std::max(right, frame.maxX());
    bottom = std::max(bottom, frame.maxY());
  }
  QImage image(static_cast<int>(std::ceil(right - left)), static_cast<int>(std::ceil(bottom - top)),
               QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(-left, -top);
  // Only the screens show; the gaps between differently sized screens stay black.
  QPainterPath visible;
  for (const auto& screen : screens) visible.addRect(toQt(desktop_.screens().toTopLeft(screen.frame)));
  painter.setClipPath(visible);
  paint(painter);
  return image;
}

QByteArray DesktopRenderer::screenshotPng() {
  const QImage image = renderAll();
  if (image.isNull()) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // The fastest zlib level: a screenshot is taken often and thrown away soon.
  image.save(&buffer, "PNG", kPngQuality);
  return bytes;
}

void DesktopRenderer::paint(QPainter& painter) {
  paintBackground(painter);
  const auto windows = desktop_.windowServer().onScreenOrder();
  // Back to front, with the icons, the Dock and the menu bar at their levels.
  bool iconsDrawn = false;
  bool dockDrawn = false;
  bool menuBarDrawn = false;
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    const int level = (*it)->traits.level;
    if (!iconsDrawn && level >= levels::desktopIcon) {
      paintIcons(painter);
      iconsDrawn = true;
    }
    if (!dockDrawn && level > levels::dock) {
      paintDock(painter);
      dockDrawn = true;
    }
    if (!menuBarDrawn && level > levels::mainMenu) {
      paintMenuBar(painter);
      menuBarDrawn = true;
    }
    paintWindow(painter, **it);
  }
  if (!iconsDrawn) paintIcons(painter);
  if (!dockDrawn) paintDock(painter);
  if (!menuBarDrawn) paintMenuBar(painter);
}

const QImage& DesktopRenderer::desktopPicture() {
  const SystemEvents& events = desktop_.systemEvents();
  if (pictureGeneration_ != events.pictureGeneration()) {
    pictureGeneration_ = events.pictureGeneration();
    picture_ = QImage(qString(events.desktopPicture()));
    filledPictures_.clear();
  }
  return picture_;
}

const QImage& DesktopRenderer::pictureFilling(const QSize& screen) {
  const auto key = std::make_pair(screen.width(), screen.height());
  auto it = filledPictures_.find(key);
  if (it != filledPictures_.end()) return it->second;
  // Fill the screen, cropping what overflows, as the default "Fill Screen" does.
  const QImage scaled = picture_.scaled(screen, Qt::KeepAspectRatioByExpanding,
                                        Qt::SmoothTransformation);
  const QRect crop((scaled.width() - screen.width()) / 2, (scaled.height() - screen.height()) / 2,
                   screen.width(), screen.height());
  return filledPictures_.emplace(key, scaled.copy(crop)).first->second;
}

void DesktopRenderer::paintBackground(QPainter& painter) {
  const SystemEvents& events = desktop_.systemEvents();
  const QImage* picture = nullptr;
  if (events.usesPicture()) {
    const QImage& loaded = desktopPicture();
    if (!loaded.isNull()) picture = &loaded;
  }
  for (const auto& screen : desktop_.screens().screens()) {
    const QRectF frame = toQt(desktop_.screens().toTopLeft(screen.frame));
    painter.fillRect(frame, toQt(events.desktopColor()));
    if (picture == nullptr) continue;
    const QSize size(static_cast<int>(std::ceil(frame.width())),
                     static_cast<int>(std::ceil(frame.height())));
    painter.drawImage(frame.topLeft(), pictureFilling(size));
  }
}

const QImage* DesktopRenderer::customIcon(const DesktopItem& item, int size) {
  if (!item.customIconPng) return nullptr;
  const std::size_t hash = std::hash<std::string>{}(*item.customIconPng);
  CachedIcon& cached = icons_[item.id];
  if (cached.pngHash != hash || cached.size != size || cached.image.isNull()) {
    cached.pngHash = hash;
    cached.size = size;
    QImage decoded;
    decoded.loadFromData(reinterpret_cast<const uchar*>(item.customIconPng->data()),
                         static_cast<int>(item.customIconPng->size()), "PNG");
    cached.image = decoded.isNull() ? QImage()
                                    : decoded.scaled(size, size, Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation);
  }
  return cached.image.isNull() ? nullptr : &cached.image;
}

const QImage& DesktopRenderer::genericIcon(ItemKind kind, int size) {
  auto& cache = kind == ItemKind::folder ? folderGlyphs_ : fileGlyphs_;
  auto it = cache.find(size);
  if (it != cache.end()) return it->second;
  QImage glyph(size, size, QImage::Format_ARGB32_Premultiplied);
  glyph.fill(Qt::transparent);
  QPainter painter(&glyph);
  painter.setRenderHint(QPainter::Antialiasing);
  if (kind == ItemKind::folder) {
    drawFolderGlyph(painter, size);
  } else {
    drawFileGlyph(painter, size);
  }
  painter.end();
  return cache.emplace(size, std::move(glyph)).first->second;
}

void DesktopRenderer::paintIcons(QPainter& painter) {
  Finder& finder = desktop_.finder();
  const auto& items = finder.items();
  if (items.empty()) return;
  const IconViewOptions& options = finder.iconViewOptions();
  const int size = options.iconSize;
  const QFont font = desktopFont(options.textSize, FontWeight::regular);
  painter.setFont(font);
  const QRectF clip = painter.clipBoundingRect();
  for (const auto& [id, item] : items) {
    const QRectF icon = toQt(finder.iconFrame(item));
    const Rect labelRect = finder.labelFrame(item);
    const QRectF label = toQt(labelRect);
    if (!clip.isEmpty() && !clip.intersects(icon.united(label))) continue;
    const QImage* image = customIcon(item, size);
    if (image == nullptr) image = &genericIcon(item.kind, size);
    const QPointF origin(icon.x() + (size - image->width()) / 2.0,
                         icon.y() + (size - image->height()) / 2.0);
    painter.drawImage(origin, *image);

    const double lineHeight = label.height() / (options.showsItemInfo ? 2 : 1);
    const QRectF nameLine(label.x(), label.y(), label.width(), lineHeight);
    const QString name = painter.fontMetrics().elidedText(
        qString(item.displayName()), Qt::ElideMiddle, static_cast<int>(label.width() - 4));
    const int align = static_cast<int>(
        ((options.labelPosition == LabelPosition::bottom ? Qt::AlignHCenter : Qt::AlignLeft) |
         Qt::AlignVCenter)
            .toInt());
    if (item.labelIndex > 0) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(labelColor(item.labelIndex));
      painter.drawRoundedRect(nameLine, lineHeight / 2, lineHeight / 2);
    }
    painter.setPen(QColor(0, 0, 0, 150));
    painter.drawText(nameLine.translated(0, 1).adjusted(4, 0, -4, 0), align, name);
    painter.setPen(kLabelText);
    painter.drawText(nameLine.adjusted(4, 0, -4, 0), align, name);
    if (options.showsItemInfo) {
      painter.setPen(kItemInfoText);
      painter.drawText(nameLine.translated(0, lineHeight).adjusted(4, 0, -4, 0),
                       align, qString(itemInfo(item)));
    }
  }
  // Forget the images of icons that are gone.
  if (icons_.size() > items.size() * 2 + 64) {
    for (auto it = icons_.begin(); it != icons_.end();) {
      it = items.contains(it->first) ? std::next(it) : icons_.erase(it);
    }
  }
}

void DesktopRenderer::paintWindow(QPainter& painter, const SimWindow& window) {
  const QRectF frame = toQt(desktop_.screens().toTopLeft(window.frame));
  switch (window.role) {
    case WindowRole::statusPanel:
      paintStatusPanel(painter, window, frame);
      return;
    case WindowRole::finderWindow:
      paintFinderWindow(painter, window, frame);
      return;
    case WindowRole::window:
      break;
  }
  if (window.traits.background) {
    QColor color = toQt(*window.traits.background);
    if (window.traits.opaque) color.setAlphaF(1.0f);
    painter.fillRect(frame, color);
  }
}

void DesktopRenderer::paintStatusPanel(QPainter& painter, const SimWindow& window,
                                       const QRectF& frame) {
  const auto& content = window.statusContent;
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 40));
  painter.drawRoundedRect(frame.translated(0, 2), 12, 12);
  painter.setBrush(kWindowBackground);
  painter.drawRoundedRect(frame, 12, 12);
  // Content frames have the bottom-left origin of the panel.
  auto place = [&](const Rect& rect) {
    return QRectF(frame.x() + rect.origin.x,
                  frame.y() + frame.height() - rect.origin.y - rect.size.height, rect.size.width,
                  rect.size.height);
  };
  if (!content.text.empty()) {
    painter.setFont(desktopFont(22, FontWeight::semibold));
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(place(content.labelFrame), Qt::AlignCenter, qString(content.text));
  }
  if (content.spinnerVisible) {
    const QRectF spinner = place(content.spinnerFrame);
    const double phase =
        content.spinnerAnimating ? std::fmod(desktop_.clock().uptime().count() * 12, 12.0) : 0;
    const QPointF centre = spinner.center();
    const double outer = std::min(spinner.width(), spinner.height()) / 2;
    for (int spoke = 0; spoke < 12; ++spoke) {
      const double angle = (spoke + std::floor(phase)) * std::numbers::pi / 6;
      const int alpha = 60 + spoke * 16;
      painter.setPen(QPen(QColor(60, 60, 60, alpha), std::max(1.5, outer / 5), Qt::SolidLine,
                          Qt::RoundCap));
      painter.drawLine(centre + QPointF(std::cos(angle), std::sin(angle)) * outer * 0.45,
                       centre + QPointF(std::cos(angle), std::sin(angle)) * outer);
    }
  }
  painter.restore();
}

void DesktopRenderer::paintFinderWindow(QPainter& painter, const SimWindow& window,
                                        const QRectF& frame) {
  painter.save();
  painter.setPen(QColor(180, 180, 180));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(frame, 10, 10);
  const QRectF titleBar(frame.x(), frame.y(), frame.width(), 28);
  painter.setBrush(kWindowBackground);
  painter.drawRect(titleBar);
  painter.setFont(desktopFont(13, FontWeight::semibold));
  painter.setPen(QColor(40, 40, 40));
  painter.drawText(titleBar, Qt::AlignCenter, qString(window.title));
  if (const FinderWindow* finderWindow = desktop_.finder().windowByNumber(window.number)) {
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.setFont(desktopFont(11, FontWeight::regular));
    const int columns = std::max(1, static_cast<int>(frame.width() / 96));
    int index = 0;
    for (const auto& entry : finderWindow->entries) {
      const double x = frame.x() + (index % columns) * 96.0 + 16;
      const double y = frame.y() + 28 + (index / columns) * 96.0 + 8;
      if (y > frame.bottom()) break;
      painter.drawImage(QPointF(x, y),
                        genericIcon(entry.folder ? ItemKind::folder : ItemKind::file, 64));
      painter.setPen(QColor(30, 30, 30));
      painter.drawText(QRectF(x - 14, y + 66, 92, 16), Qt::AlignHCenter | Qt::AlignTop,
                       painter.fontMetrics().elidedText(qString(entry.name), Qt::ElideMiddle, 88));
      ++index;
    }
  }
  painter.restore();
}

void DesktopRenderer::paintDock(QPainter& painter) {
  const auto dock = desktop_.screens().dockFrame();
  if (!dock) return;
  const QRectF shelf = toQt(*dock).adjusted(0, 4, 0, -4);
  painter.save();
  painter.setPen(QColor(255, 255, 255, 90));
  painter.setBrush(QColor(245, 245, 245, 110));
  painter.drawRoundedRect(shelf, 16, 16);
  const double tile = shelf.height() - 12;
  const std::array<QColor, 6> tiles{QColor(60, 140, 230), QColor(240, 240, 240),
                                    QColor(80, 200, 120), QColor(250, 180, 60),
                                    QColor(200, 90, 200), QColor(150, 150, 160)};
  const double step = tile + 10;
  double x = shelf.center().x() - step * static_cast<double>(tiles.size()) / 2 + 5;
  painter.setPen(Qt::NoPen);
  for (const QColor& color : tiles) {
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(x, shelf.y() + 6, tile, tile), tile * 0.22, tile * 0.22);
    x += step;
  }
  painter.restore();
}

void DesktopRenderer::paintMenuBar(QPainter& painter) {
  const auto bar = desktop_.screens().menuBarFrame();
  if (!bar) return;
  const QRectF frame = toQt(*bar);
  painter.save();
  painter.fillRect(frame, QColor(246, 246, 246, 215));
  painter.setFont(desktopFont(13, FontWeight::regular));
  painter.setPen(QColor(20, 20, 20));
  std::vector<std::string> titles;
  if (auto front = desktop_.applications().frontmost()) {
    if (const Application* application = desktop_.applications().byPid(*front)) {
      titles = menuBarTitles(*application);
    }
  }
  double x = frame.x() + 10;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    // The Apple menu shows its logo; a filled circle stands in for it.
    if (i == 0) {
      painter.setBrush(QColor(20, 20, 20));
      painter.drawEllipse(QRectF(x + 10, frame.center().y() - 6, 12, 12));
    } else {
      painter.setFont(desktopFont(13, i == 1 ? FontWeight::semibold : FontWeight::regular));
      painter.drawText(QRectF(x, frame.y(), 400, frame.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, qString(titles[i]));
    }
    x += textWidth(titles[i], 13, FontWeight::regular) + 20;
  }
  painter.restore();
}

}  // namespace deskplay::simdesk
