#include "sim/simdesk/render/desktop_renderer.hpp"

#include <QBuffer>
#include <QDateTime>
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
      QColor(0, 0, 0, 0),  QColor(255, 149, 0),  QColor(255, 59, 48), QColor(255, 204, 0),
      QColor(0, 122, 255), QColor(175, 82, 222), QColor(52, 199, 89), QColor(142, 142, 147)};
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
  for (const auto& screen : screens)
    visible.addRect(toQt(desktop_.screens().toTopLeft(screen.frame)));
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
  const QImage scaled =
      picture_.scaled(screen, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
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
    cached.image = decoded.isNull()
                       ? QImage()
                       : decoded.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
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
      painter.drawText(nameLine.translated(0, lineHeight).adjusted(4, 0, -4, 0), align,
                       qString(itemInfo(item)));
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
    case WindowRole::content:
      paintContentWindow(painter, window, frame);
      return;
    case WindowRole::openPanel:
      paintOpenPanel(painter, window, frame);
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
      painter.setPen(
          QPen(QColor(60, 60, 60, alpha), std::max(1.5, outer / 5), Qt::SolidLine, Qt::RoundCap));
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

void DesktopRenderer::paintContentWindow(QPainter& painter, const SimWindow& window,
                                         const QRectF& frame) {
  if (!window.surface || window.surface->width() == 0 || window.alpha <= 0) return;
  const WindowSurface& surface = *window.surface;
  // The application's pixels as they are, without a copy.
  const QImage pixels(reinterpret_cast<const uchar*>(surface.pixels()), surface.width(),
                      surface.height(), surface.width() * 4, QImage::Format_ARGB32_Premultiplied);
  painter.save();
  painter.setClipRect(frame, Qt::IntersectClip);
  painter.setOpacity(window.alpha);
  painter.drawImage(frame.topLeft(), pixels);
  painter.restore();
}

void DesktopRenderer::paintOpenPanel(QPainter& painter, const SimWindow& window,
                                     const QRectF& frame) {
  const OpenPanel* panel = desktop_.openPanels().shown();
  if (panel == nullptr || panel->window != window.number) return;
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 50));
  painter.drawRoundedRect(frame.translated(0, 3), 10, 10);
  painter.setPen(QColor(180, 180, 180));
  painter.setBrush(kWindowBackground);
  painter.drawRoundedRect(frame, 10, 10);
  painter.setFont(desktopFont(13, FontWeight::semibold));
  painter.setPen(QColor(40, 40, 40));
  const std::string folderName = panel->choice.startingFolder.filename().string();
  painter.drawText(
      QRectF(frame.x(), frame.y() + 8, frame.width(), 28), Qt::AlignCenter,
      qString(folderName.empty() ? panel->choice.startingFolder.string() : folderName));
  const QRectF list(frame.x() + 16, frame.y() + OpenPanels::kListTop, frame.width() - 32,
                    OpenPanels::kChooseButton.minY() - OpenPanels::kListTop - 12);
  painter.setBrush(Qt::white);
  painter.drawRect(list);
  painter.setClipRect(list, Qt::IntersectClip);
  painter.setFont(desktopFont(13, FontWeight::regular));
  for (std::size_t row = 0; row < panel->folders.size(); ++row) {
    const QRectF line(list.x(), list.y() + static_cast<double>(row) * OpenPanels::kRowHeight,
                      list.width(), OpenPanels::kRowHeight);
    if (line.top() > list.bottom()) break;
    const bool selected = panel->selected == row;
    if (selected) painter.fillRect(line, QColor(0, 99, 225));
    painter.drawImage(QPointF(line.x() + 4, line.y() + 3), genericIcon(ItemKind::folder, 16));
    painter.setPen(selected ? Qt::white : QColor(30, 30, 30));
    painter.drawText(line.adjusted(26, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     qString(panel->folders[row]));
  }
  painter.setClipping(false);
  auto button = [&](const Rect& place, const std::string& title, bool prominent) {
    const QRectF rect(frame.x() + place.minX(), frame.y() + place.minY(), place.size.width,
                      place.size.height);
    painter.setPen(prominent ? Qt::NoPen : QPen(QColor(190, 190, 190)));
    painter.setBrush(prominent ? QColor(0, 122, 255) : QColor(255, 255, 255));
    painter.drawRoundedRect(rect, 6, 6);
    painter.setPen(prominent ? Qt::white : QColor(30, 30, 30));
    painter.drawText(rect, Qt::AlignCenter, qString(title));
  };
  button(OpenPanels::kCancelButton, "Cancel", false);
  button(OpenPanels::kChooseButton, panel->choice.prompt.empty() ? "Open" : panel->choice.prompt,
         true);
  painter.restore();
}

const QImage& DesktopRenderer::statusItemImage(const StatusItem& item, const QColor& color) {
  const platform::Image& image = *item.look.image;
  const std::size_t hash = std::hash<std::string_view>{}(
      std::string_view(reinterpret_cast<const char*>(image.png.data()), image.png.size()));
  CachedIcon& cached = statusImages_[item.id];
  if (cached.pngHash == hash && !cached.image.isNull()) return cached.image;
  cached.pngHash = hash;
  QImage decoded = QImage::fromData(image.png.data(), static_cast<int>(image.png.size()), "PNG");
  if (decoded.isNull()) {
    cached.image = QImage();
    return cached.image;
  }
  // A template image: only its shape counts, drawn in the menu bar's text colour.
  decoded = decoded
                .scaled(static_cast<int>(StatusBar::kImageWidth),
                        static_cast<int>(StatusBar::kImageWidth), Qt::KeepAspectRatio,
                        Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QImage tinted(decoded.size(), QImage::Format_ARGB32_Premultiplied);
  tinted.fill(color);
  QPainter tint(&tinted);
  tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  tint.drawImage(0, 0, decoded);
  tint.end();
  cached.image = tinted;
  return cached.image;
}

void DesktopRenderer::paintStatusArea(QPainter& painter, const QColor& textColor) {
  StatusBar& bar = desktop_.statusBar();
  if (const auto clock = bar.clockFrame()) {
    painter.setFont(desktopFont(13, FontWeight::regular));
    painter.setPen(textColor);
    painter.drawText(toQt(*clock), Qt::AlignRight | Qt::AlignVCenter,
                     QDateTime::currentDateTime().toString("ddd d MMM  HH:mm"));
  }
  for (const StatusItem* item : bar.items()) {
    const QRectF frame = toQt(item->frame);
    if (item->highlighted) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(0, 0, 0, 45));
      painter.drawRoundedRect(frame.adjusted(1, 2, -1, -2), 4, 4);
    }
    if (item->look.image) {
      const QImage& image = statusItemImage(*item, textColor);
      if (!image.isNull()) {
        painter.drawImage(QPointF(frame.center().x() - image.width() / 2.0,
                                  frame.center().y() - image.height() / 2.0),
                          image);
      }
      continue;
    }
    painter.setFont(desktopFont(StatusBar::kTitleSize, FontWeight::regular));
    painter.setPen(textColor);
    painter.drawText(frame, Qt::AlignCenter, qString(item->look.title));
  }
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
  paintStatusArea(painter, QColor(20, 20, 20));
  painter.restore();
}

}  // namespace deskplay::simdesk
