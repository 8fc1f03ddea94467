#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>

#include "popover_in_simdesk.hpp"

namespace deskplay::testing {
namespace {

using platform::Point;
using platform::Rect;

constexpr double kPanelWidth = 480;
constexpr double kMenuBarHeight = 24;

Point centreOf(const Rect& rect) {
  return {rect.minX() + rect.size.width / 2, rect.minY() + rect.size.height / 2};
}

// The pixel the window server shows for the panel's background over `desktop`.
QRgb blended(QRgb desktop) {
  const QColor background = ui::QuickPopoverHost::kBackground;
  const double alpha = background.alphaF();
  const auto mix = [&](int over, int under) {
    return static_cast<int>(std::lround(over * alpha + under * (1 - alpha)));
  };
  return qRgb(mix(background.red(), qRed(desktop)), mix(background.green(), qGreen(desktop)),
              mix(background.blue(), qBlue(desktop)));
}

bool near(QRgb shown, QRgb expected) {
  return std::abs(qRed(shown) - qRed(expected)) <= 3 &&
         std::abs(qGreen(shown) - qGreen(expected)) <= 3 &&
         std::abs(qBlue(shown) - qBlue(expected)) <= 3;
}

class PopoverHostInSimdesk : public ::testing::Test {
 protected:
  void open(PopoverInSimdesk& desk) {
    ASSERT_TRUE(desk.started());
    ASSERT_TRUE(desk.click(centreOf(desk.itemFrame())));
    ASSERT_TRUE(PopoverInSimdesk::waitFor([&] {
      const auto panel = desk.panel();
      return panel && panel->key && panel->bounds.size.height > 0;
    }));
  }

  static void closed(PopoverInSimdesk& desk) {
    EXPECT_TRUE(PopoverInSimdesk::waitFor([&] { return !desk.panel().has_value(); }))
        << "the panel is still on screen";
    EXPECT_EQ(desk.popover().statusItem().statusItem().highlight(), platform::Highlight::off);
  }
};

TEST_F(PopoverHostInSimdesk, OpensLeftAlignedUnderTheItemOverTheDesktopThenASecondClickCloses) {
  PopoverInSimdesk desk(3);
  ASSERT_TRUE(desk.started());
  const QImage before = desk.screenshot("before-opening");
  open(desk);
  const Rect item = desk.itemFrame();
  const ListedWindow panel = *desk.panel();
  // simdeskctl prints coordinates rounded.
  EXPECT_NEAR(panel.bounds.minX(), item.minX() - 2, 0.01);
  EXPECT_EQ(panel.bounds.minY(), kMenuBarHeight) << "the top edge at the menu bar's bottom";
  EXPECT_EQ(panel.bounds.size.width, kPanelWidth);
  EXPECT_EQ(desk.popover().statusItem().statusItem().highlight(), platform::Highlight::on);

  ASSERT_TRUE(PopoverInSimdesk::waitFor([&] { return desk.host().renderCount() > 0; }));
  const QImage shown = desk.screenshot("open-left-aligned");
  ASSERT_FALSE(shown.isNull());
  // A point of bare background inside the panel's top margin: the desktop shows through it.
  const int x = static_cast<int>(panel.bounds.minX()) + 4;
  const int y = static_cast<int>(panel.bounds.minY()) + 4;
  const double scale = shown.width() / 1440.0;
  const QRgb desktop = before.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale));
  const QRgb over = shown.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale));
  EXPECT_TRUE(near(over, blended(desktop))) << std::hex << "shown " << over << ", desktop "
                                            << desktop << ", expected " << blended(desktop);
  const int outside = static_cast<int>((panel.bounds.minX() - 6) * scale);
  EXPECT_EQ(shown.pixel(outside, y), before.pixel(outside, y)) << "left of the panel: desktop";

  ASSERT_TRUE(desk.click(centreOf(item)));
  closed(desk);
  // Other menu-bar extras were told that menu tracking began and ended.
  const std::string posted = desk.session().ctl({"notifications"}).output;
  const auto began = posted.find(ui::MenuBarPopoverStatusItem::kBeginMenuTracking);
  const auto ended = posted.find(ui::MenuBarPopoverStatusItem::kEndMenuTracking);
  ASSERT_NE(began, std::string::npos) << posted;
  ASSERT_NE(ended, std::string::npos) << posted;
  EXPECT_LT(began, ended);
}

TEST_F(PopoverHostInSimdesk, AnItemNearTheRightEdgeOpensTheRightAlignedPanel) {
  PopoverInSimdesk desk(0);
  open(desk);
  const Rect item = desk.itemFrame();
  EXPECT_GT(item.maxX() - 2 + kPanelWidth, 1440) << "left alignment would leave the screen";
  EXPECT_NEAR(desk.panel()->bounds.minX(), item.maxX() - kPanelWidth + 2, 0.01);
  desk.screenshot("open-right-aligned");
}

TEST_F(PopoverHostInSimdesk, AClickOutsideClosesThePanel) {
  PopoverInSimdesk desk(3);
  open(desk);
  ASSERT_TRUE(desk.click({200, 700}));
  closed(desk);
}

TEST_F(PopoverHostInSimdesk, DismissingClosesTheOpenPanel) {
  PopoverInSimdesk desk(3);
  open(desk);
  ui::dismissMenuBarPopover();
  closed(desk);
}

TEST_F(PopoverHostInSimdesk, HoverDrawsANewFrameThatSimdeskShows) {
  PopoverInSimdesk desk(3);
  open(desk);
  QQuickItem* area = desk.host().root()->findChild<QQuickItem*>("hoverArea");
  ASSERT_NE(area, nullptr);
  const QPointF local = area->mapToScene({area->width() / 2, area->height() / 2});
  const Rect panel = desk.panel()->bounds;
  const Point at{panel.minX() + local.x(), panel.minY() + local.y()};
  const int renders = desk.host().renderCount();
  ASSERT_TRUE(desk.move(at));
  ASSERT_TRUE(
      PopoverInSimdesk::waitFor([&] { return desk.host().root()->property("hovered").toBool(); }));
  ASSERT_TRUE(PopoverInSimdesk::waitFor([&] { return desk.host().renderCount() > renders; }));
  const QImage shown = desk.screenshot("hovered");
  const double scale = shown.width() / 1440.0;
  const QRgb hovered = shown.pixel(static_cast<int>(at.x * scale), static_cast<int>(at.y * scale));
  EXPECT_TRUE(near(hovered, qRgb(0x20, 0x60, 0xc0))) << std::hex << hovered;

  ASSERT_TRUE(desk.move({200, 700}));
  EXPECT_TRUE(
      PopoverInSimdesk::waitFor([&] { return !desk.host().root()->property("hovered").toBool(); }));
}

TEST_F(PopoverHostInSimdesk, TheKeyPanelTakesTheKeyboard) {
  PopoverInSimdesk desk(3);
  open(desk);
  QQuickItem* field = desk.host().root()->findChild<QQuickItem*>("field");
  ASSERT_NE(field, nullptr);
  const QPointF local = field->mapToScene({field->width() / 2, field->height() / 2});
  const Rect panel = desk.panel()->bounds;
  ASSERT_TRUE(desk.click({panel.minX() + local.x(), panel.minY() + local.y()}));
  ASSERT_TRUE(PopoverInSimdesk::waitFor([&] { return field->hasActiveFocus(); }));
  ASSERT_TRUE(desk.person().key(0x0B, "b"));
  ASSERT_TRUE(desk.person().key(0x00, "a"));
  EXPECT_TRUE(PopoverInSimdesk::waitFor([&] {
    return desk.host().root()->property("typed").toString() == "ba";
  })) << desk.host().root()->property("typed").toString().toStdString();
}

TEST_F(PopoverHostInSimdesk, ButtonsArePressedByTheirAccessibleTitles) {
  PopoverInSimdesk desk(3);
  open(desk);
  const std::string pid = std::to_string(::getpid());
  ASSERT_TRUE(PopoverInSimdesk::waitFor([&] {
    return desk.session().ctl({"ax-tree", pid}).output.find("Stop & restore") != std::string::npos;
  }));
  const Completed pressed = desk.session().ctl({"press", "Snake", "--pid", pid});
  ASSERT_EQ(pressed.status, 0) << pressed.errors;
  EXPECT_TRUE(PopoverInSimdesk::waitFor(
      [&] { return desk.host().root()->property("snakePresses").toInt() == 1; }));
  const Completed stopped = desk.session().ctl({"press", "Stop & restore", "--pid", pid});
  ASSERT_EQ(stopped.status, 0) << stopped.errors;
  EXPECT_TRUE(PopoverInSimdesk::waitFor(
      [&] { return desk.host().root()->property("stopPresses").toInt() == 1; }));
}

}  // namespace
}  // namespace deskplay::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The popover draws offscreen; simdesk shows its pixels.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
