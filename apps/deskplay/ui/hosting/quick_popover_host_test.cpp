#include "ui/hosting/quick_popover_host.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QQmlComponent>
#include <QSignalSpy>
#include <QTest>

#include "platform/testing/fake_windows.hpp"

namespace deskplay::ui {
namespace {

using platform::AccessibleNode;
using platform::WindowInput;

QQuickItem* loadFixture(QQmlEngine& engine) {
  QQmlComponent component(&engine, QUrl::fromLocalFile(DESKPLAY_POPOVER_FIXTURE));
  QObject* made = component.create();
  if (made == nullptr) ADD_FAILURE() << component.errorString().toStdString();
  return qobject_cast<QQuickItem*>(made);
}

const AccessibleNode* findTitled(const std::vector<AccessibleNode>& nodes,
                                 const std::string& title) {
  for (const AccessibleNode& node : nodes) {
    if (node.title == title) return &node;
    if (const AccessibleNode* inner = findTitled(node.children, title)) return inner;
  }
  return nullptr;
}

struct HostFixture : ::testing::Test {
  platform::testing::FakeWindows windows;
  std::unique_ptr<platform::ContentWindow> made = windows.createContentWindow({});
  platform::testing::FakeContentWindow& panel = *windows.contentWindows().front();
  QuickPopoverHost host{loadFixture};
  std::vector<platform::Size> reported;

  void SetUp() override {
    ASSERT_NE(host.root(), nullptr);
    host.setSizeHandler([this](platform::Size size) { reported.push_back(size); });
    host.attach(panel);
    host.setShown(true);
    waitForPresents(1);
  }

  void waitForPresents(int count) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.presentCount() >= count; }))
        << "frames presented: " << panel.presentCount();
  }

  // Turns the event loop until nothing more is queued for it.
  static void settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
  }

  QRgb pixelAt(int x, int y) const {
    const auto offset =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(panel.frameWidth()) +
         static_cast<std::size_t>(x)) *
        4;
    QRgb pixel = 0;
    std::memcpy(&pixel, panel.pixels().data() + offset, 4);
    return pixel;
  }

  QPointF centreOf(const char* name) const {
    const auto* item = host.root()->findChild<QQuickItem*>(name);
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
  }

  void send(WindowInput::Kind kind, QPointF at, platform::PointerButton button = {}) {
    WindowInput input;
    input.kind = kind;
    input.location = {at.x(), at.y()};
    input.button = button;
    panel.sendInput(input);
  }

  void click(QPointF at) {
    send(WindowInput::Kind::mouseDown, at, platform::PointerButton::left);
    send(WindowInput::Kind::mouseUp, at, platform::PointerButton::left);
  }
};

TEST_F(HostFixture, PresentsTheWholeContentAtItsSizeOverATranslucentBackground) {
  EXPECT_EQ(panel.frameWidth(), 480);
  EXPECT_EQ(panel.frameHeight(), static_cast<int>(std::ceil(host.root()->implicitHeight())));
  EXPECT_EQ(host.size(), (platform::Size{480, static_cast<double>(panel.frameHeight())}));
  ASSERT_EQ(panel.lastDamage().size(), 1u);
  EXPECT_EQ(panel.lastDamage().front(), (platform::PixelRect{0, 0, 480, panel.frameHeight()}));
  const QRgb corner = pixelAt(2, 2);
  EXPECT_EQ(qAlpha(corner), QuickPopoverHost::kBackground.alpha());
  EXPECT_GT(qAlpha(corner), 0);
}

TEST_F(HostFixture, DrawsNothingWhileNothingChanges) {
  settle();
  const int renders = host.renderCount();
  const int presents = panel.presentCount();
  settle();
  EXPECT_EQ(host.renderCount(), renders);
  EXPECT_EQ(panel.presentCount(), presents);
}

TEST_F(HostFixture, AHiddenPanelIsNotDrawnUntilShownThenAtOnce) {
  settle();
  host.setShown(false);
  const int renders = host.renderCount();
  host.root()->setProperty("extraLines", 2);
  settle();
  EXPECT_EQ(host.renderCount(), renders);
  host.setShown(true);
  EXPECT_EQ(host.renderCount(), renders + 1) << "drawn before the panel is ordered front";
}

TEST_F(HostFixture, HidingThePanelEndsHover) {
  send(WindowInput::Kind::mouseEntered, centreOf("hoverArea"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.root()->property("hovered").toBool(); }));
  host.setShown(false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !host.root()->property("hovered").toBool(); }));
}

TEST_F(HostFixture, HoverDrawsOneFrameWithOnlyTheChangedRows) {
  settle();
  const int presents = panel.presentCount();
  const QPointF area = centreOf("hoverArea");
  send(WindowInput::Kind::mouseEntered, area);
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.root()->property("hovered").toBool(); }));
  waitForPresents(presents + 1);
  EXPECT_EQ(qBlue(pixelAt(static_cast<int>(area.x()), static_cast<int>(area.y()))), 0xc0);
  EXPECT_EQ(qRed(pixelAt(static_cast<int>(area.x()), static_cast<int>(area.y()))), 0x20);
  for (const platform::PixelRect& band : panel.lastDamage()) {
    EXPECT_LE(band.y, static_cast<int>(area.y()));
    EXPECT_GT(band.y + band.height, static_cast<int>(area.y()));
  }
  send(WindowInput::Kind::mouseExited, area);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !host.root()->property("hovered").toBool(); }));
}

TEST_F(HostFixture, ClicksWheelsAndKeysReachTheScene) {
  click(centreOf("snake"));
  EXPECT_EQ(host.root()->property("snakePresses").toInt(), 1);
  WindowInput wheel;
  wheel.kind = WindowInput::Kind::scrollWheel;
  const QPointF area = centreOf("hoverArea");
  wheel.location = {area.x(), area.y()};
  wheel.scrollDeltaY = -10;
  panel.sendInput(wheel);
  EXPECT_EQ(host.root()->property("wheels").toInt(), 1);
  click(centreOf("field"));
  WindowInput key;
  key.kind = WindowInput::Kind::keyDown;
  key.keyCode = 0x00;
  key.characters = "a";
  key.charactersIgnoringModifiers = "a";
  panel.sendInput(key);
  key.kind = WindowInput::Kind::keyUp;
  panel.sendInput(key);
  key.kind = WindowInput::Kind::keyDown;
  key.keyCode = 0x12;
  key.characters = "é";
  key.charactersIgnoringModifiers = "é";
  panel.sendInput(key);
  EXPECT_EQ(host.root()->property("typed").toString(), QString("aé"));
}

TEST_F(HostFixture, PublishesTheAccessibleElementsInWindowCoordinates) {
  settle();
  const AccessibleNode* snake = findTitled(panel.accessibilityTree(), "Snake");
  ASSERT_NE(snake, nullptr);
  EXPECT_EQ(snake->role, "AXButton");
  EXPECT_TRUE(snake->enabled);
  const QPointF centre = centreOf("snake");
  EXPECT_TRUE(snake->frame.contains({centre.x(), centre.y()}));
  const AccessibleNode* stop = findTitled(panel.accessibilityTree(), "Stop & restore");
  ASSERT_NE(stop, nullptr);
  EXPECT_GT(stop->frame.minY(), snake->frame.minY());
  EXPECT_NE(findTitled(panel.accessibilityTree(), "Room code"), nullptr);
}

TEST_F(HostFixture, GrowingContentReportsItsSizeAndIsDrawnWhole) {
  const double before = host.size().height;
  host.root()->setProperty("extraLines", 4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !reported.empty(); }));
  EXPECT_GT(reported.back().height, before);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return panel.frameHeight() == static_cast<int>(reported.back().height); }));
  const int bottom = panel.frameHeight() - 2;
  EXPECT_EQ(qAlpha(pixelAt(2, bottom)), QuickPopoverHost::kBackground.alpha())
      << "the new rows have the background, not stale or empty pixels";
  EXPECT_EQ(qAlpha(pixelAt(470, 2)), QuickPopoverHost::kBackground.alpha());
}

}  // namespace
}  // namespace deskplay::ui
