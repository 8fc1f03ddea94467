#include "sim/simdesk/render/desktop_renderer.hpp"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "platform/linux/file_icons.hpp"
#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/window_levels.hpp"
#include "sim/simdesk/render/text_metrics.hpp"

namespace deskplay::simdesk {
namespace {

using platform::Color;
using platform::Point;
using platform::Rect;

std::string solidPng(QColor color, int size = 64) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

bool near(QColor actual, QColor expected, int tolerance = 8) {
  return std::abs(actual.red() - expected.red()) <= tolerance &&
         std::abs(actual.green() - expected.green()) <= tolerance &&
         std::abs(actual.blue() - expected.blue()) <= tolerance;
}

class DesktopRendererTest : public testing::DesktopFixture {
 protected:
  DesktopRendererTest() {
    measure_ = fontTextMeasure();
    desktop().systemEvents().setDesktopColor(Color{0.2, 0.3, 0.4, 1});
    renderer_ = std::make_unique<DesktopRenderer>(desktop());
  }

  std::uint32_t window(const Rect& topLeft, int level, std::optional<Color> background,
                       WindowRole role = WindowRole::window) {
    desktop().clientConnected(900, "Glyphon");
    auto& server = desktop().windowServer();
    const auto number = server.createWindow(
        900, platform::WindowSpec{desktop().screens().toBottomLeft(topLeft)}, role);
    platform::WindowTraits traits;
    traits.level = level;
    traits.background = background;
    EXPECT_TRUE(server.configure(number, traits).ok());
    EXPECT_TRUE(server.orderFront(number).ok());
    return number;
  }

  QColor pixel(const QImage& image, Point point) {
    return image.pixelColor(static_cast<int>(point.x), static_cast<int>(point.y));
  }

  std::unique_ptr<DesktopRenderer> renderer_;
};

TEST_F(DesktopRendererTest, CoversAreDrawnInTheirColourAboveIcons) {
  addFile("hidden.txt");
  finder().refresh();
  const Point centre = item("hidden.txt").position;
  window({{centre.x - 40, centre.y - 40}, {80, 80}}, levels::desktopIcon + 1, Color{1, 0, 0, 1});
  const QImage image = renderer_->renderScreen(0);
  ASSERT_EQ(image.size(), QSize(1440, 900));
  EXPECT_TRUE(near(pixel(image, centre), QColor(255, 0, 0)));
  EXPECT_TRUE(near(pixel(image, {centre.x - 39, centre.y - 39}), QColor(255, 0, 0)));
  EXPECT_FALSE(near(pixel(image, {centre.x - 45, centre.y - 45}), QColor(255, 0, 0)));
}

TEST_F(DesktopRendererTest, IconsShowTheirCustomImageAtTheirPosition) {
  addFile("sprite");
  addFile("plain.txt");
  ASSERT_TRUE(platform::writeCustomIcon(onDesktop("sprite"), solidPng(QColor(0, 200, 0))).ok());
  finder().refresh();
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("sprite"), {300, 300}).ok());
  QImage image = renderer_->renderScreen(0);
  EXPECT_TRUE(near(pixel(image, {300, 300}), QColor(0, 200, 0)));
  EXPECT_TRUE(near(pixel(image, {300 - 30, 300 + 30}), QColor(0, 200, 0)));
  // Outside the icon frame only the desktop shows.
  EXPECT_TRUE(near(pixel(image, {300 - 40, 300}), QColor(51, 77, 102)));
  // Without a custom icon a generic glyph is drawn, not the custom image.
  EXPECT_FALSE(near(pixel(image, item("plain.txt").position), QColor(51, 77, 102)));
  EXPECT_FALSE(near(pixel(image, item("plain.txt").position), QColor(0, 200, 0)));

  // A larger icon size draws larger.
  finder().setIconSize(128);
  image = renderer_->renderScreen(0);
  EXPECT_TRUE(near(pixel(image, {300 - 60, 300 - 60}), QColor(0, 200, 0)));
}

TEST_F(DesktopRendererTest, DesktopPictureFillsTheScreen) {
  const auto picture = home() / "picture.png";
  QImage blue(160, 100, QImage::Format_ARGB32);
  blue.fill(QColor(0, 0, 255));
  ASSERT_TRUE(blue.save(QString::fromStdString(picture.string()), "PNG"));
  desktop().systemEvents().setDesktopPicture(picture.string());
  desktop().systemEvents().setDockAutohide(true);
  desktop().systemEvents().setMenuBarAutohide(true);
  const QImage image = renderer_->renderScreen(0);
  EXPECT_TRUE(near(pixel(image, {1, 1}), QColor(0, 0, 255)));
  EXPECT_TRUE(near(pixel(image, {1438, 898}), QColor(0, 0, 255)));
  // The same path set again after the file changed shows the new picture.
  QImage red(160, 100, QImage::Format_ARGB32);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(red.save(QString::fromStdString(picture.string()), "PNG"));
  desktop().systemEvents().setDesktopPicture(picture.string());
  EXPECT_TRUE(near(pixel(renderer_->renderScreen(0), {700, 400}), QColor(255, 0, 0)));
  // A picture that cannot be read leaves the colour.
  desktop().systemEvents().setDesktopPicture((home() / "missing.png").string());
  EXPECT_TRUE(near(pixel(renderer_->renderScreen(0), {700, 400}), QColor(51, 77, 102)));
}

TEST_F(DesktopRendererTest, MenuBarAndDockShowUnlessTheyAutohide) {
  const QImage shown = renderer_->renderScreen(0);
  EXPECT_FALSE(near(pixel(shown, {700, 3}), QColor(51, 77, 102)));
  EXPECT_FALSE(near(pixel(shown, {720, 880}), QColor(51, 77, 102)));
  desktop().systemEvents().setMenuBarAutohide(true);
  desktop().systemEvents().setDockAutohide(true);
  const QImage hidden = renderer_->renderScreen(0);
  EXPECT_TRUE(near(pixel(hidden, {700, 3}), QColor(51, 77, 102)));
  EXPECT_TRUE(near(pixel(hidden, {720, 880}), QColor(51, 77, 102)));
}

TEST_F(DesktopRendererTest, SeveralScreensOrNone) {
  desktop().screens().setSizes({platform::Size{800, 600}, platform::Size{640, 480}});
  EXPECT_EQ(renderer_->renderScreen(1).size(), QSize(640, 480));
  EXPECT_EQ(renderer_->renderAll().size(), QSize(1440, 600));
  EXPECT_TRUE(renderer_->renderScreen(2).isNull());
  desktop().screens().setSizes({});
  EXPECT_TRUE(renderer_->renderAll().isNull());
  EXPECT_TRUE(renderer_->screenshotPng().isEmpty());
}

TEST_F(DesktopRendererTest, SavesASampleDesktop) {
  desktop().systemEvents().setDesktopColor(Color{0.16, 0.32, 0.52, 1});
  addFolder("Projects");
  addFile("notes.txt");
  addFile("Orange label.txt");
  addFile("sprite.png");
  ASSERT_TRUE(
      platform::writeCustomIcon(onDesktop("sprite.png"), solidPng(QColor(240, 200, 40))).ok());
  finder().refresh();
  ASSERT_TRUE(finder().setLabelIndex(onDesktop("Orange label.txt"), 1).ok());
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("sprite.png"), {600, 420}).ok());
  window({{80, 500}, {300, 140}}, levels::desktopIcon + 1, Color{0.1, 0.1, 0.1, 1});

  const auto panel =
      window({{580, 402}, {280, 96}}, levels::floating, std::nullopt, WindowRole::statusPanel);
  platform::StatusPanel::Content content;
  content.text = "Loading";
  content.accessibilityLabel = "Loading";
  const double t = std::ceil(textWidth("Loading", 22, platform::FontWeight::semibold)) + 4;
  const double left = (280 - (32 + t)) / 2;
  content.spinnerFrame = Rect{{left, 38}, {20, 20}};
  content.labelFrame = Rect{{left + 32, 34}, {t, 28}};
  content.spinnerVisible = true;
  ASSERT_TRUE(desktop().windowServer().setStatusContent(panel, content).ok());

  const QByteArray png = renderer_->screenshotPng();
  ASSERT_FALSE(png.isEmpty());
  const QImage image = QImage::fromData(png, "PNG");
  // The panel's box is light, its label dark text inside it.
  EXPECT_TRUE(near(pixel(image, {585, 420}), QColor(236, 236, 236)));
  const std::string out = std::string(SIMDESK_RENDER_OUTPUT_DIR) + "/sample-desktop.png";
  EXPECT_TRUE(image.save(QString::fromStdString(out), "PNG"));
}

// A content window's own pixels, blended by its alpha at its level: a higher cover hides it,
// a lower one shows through.
TEST_F(DesktopRendererTest, ContentWindowsBlendTheirPixelsByTheirAlphaAtTheirLevel) {
  const Rect area{{100, 100}, {60, 40}};
  const auto content = window(area, levels::status, std::nullopt, WindowRole::content);
  auto& server = desktop().windowServer();
  auto surface = server.resizeSurface(content, 60, 40);
  ASSERT_TRUE(surface.ok());
  // Opaque white on the left half, nothing on the right half.
  std::vector<std::uint32_t> pixels(60 * 40, 0);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 30; ++x) pixels[static_cast<std::size_t>(y * 60 + x)] = 0xFFFFFFFF;
  }
  surface.value()->commit(reinterpret_cast<const unsigned char*>(pixels.data()), 60 * 4,
                          {{0, 0, 60, 40}});
  ASSERT_TRUE(server.setAlpha(content, 0.5).ok());
  const QColor desktopColour = QColor::fromRgbF(0.2f, 0.3f, 0.4f);
  QImage image = renderer_->renderScreen(0);
  EXPECT_TRUE(near(pixel(image, {110, 110}),
                   QColor((255 + desktopColour.red()) / 2, (255 + desktopColour.green()) / 2,
                          (255 + desktopColour.blue()) / 2),
                   3));
  EXPECT_TRUE(near(pixel(image, {150, 110}), desktopColour, 3)) << "transparent pixels show behind";

  window(area, levels::popUpMenu, Color{1, 0, 0, 1});
  image = renderer_->renderScreen(0);
  EXPECT_TRUE(near(pixel(image, {110, 110}), QColor(255, 0, 0), 3)) << "a higher window covers it";
}

TEST_F(DesktopRendererTest, StatusItemsHighlightsAndTheOpenPanelAreDrawn) {
  desktop().clientConnected(900, "Deskplay");
  const auto item = desktop().statusBar().create(900, {"Deskplay", {}, {}, ""});
  const Rect frame = desktop().statusBar().item(item)->frame;
  const QImage plain = renderer_->renderScreen(0);
  ASSERT_TRUE(desktop().statusBar().setHighlighted(item, true).ok());
  const QImage highlighted = renderer_->renderScreen(0);
  EXPECT_NE(
      plain.copy(static_cast<int>(frame.minX()), 0, static_cast<int>(frame.size.width), 24),
      highlighted.copy(static_cast<int>(frame.minX()), 0, static_cast<int>(frame.size.width), 24));

  std::filesystem::create_directory(home() / "Games");
  desktop().openPanels().run(900, {home(), "Choose", platform::FolderChoice::Creation::refused});
  const QImage panel = renderer_->renderScreen(0);
  const OpenPanel* open = desktop().openPanels().shown();
  ASSERT_NE(open, nullptr);
  const SimWindow* shown = desktop().windowServer().window(open->window);
  ASSERT_NE(shown, nullptr);
  const Rect bounds = desktop().screens().toTopLeft(shown->frame);
  // The prompt's button in the system's accent colour.
  EXPECT_TRUE(near(pixel(panel, {bounds.minX() + OpenPanels::kChooseButton.minX() + 4,
                                 bounds.minY() + OpenPanels::kChooseButton.minY() + 14}),
                   QColor(0, 122, 255), 3));
}

}  // namespace
}  // namespace deskplay::simdesk
