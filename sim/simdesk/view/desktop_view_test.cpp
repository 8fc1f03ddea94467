#include "sim/simdesk/view/desktop_view.hpp"

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/render/text_metrics.hpp"

namespace deskplay::simdesk {
namespace {

using platform::Color;
using platform::Event;
using platform::EventType;
using platform::Point;
namespace flags = platform::event_flags;

struct Expected {
  EventType type;
  std::int64_t keyCode = 0;
  std::uint64_t flags = 0;
  std::string characters;
  std::string charactersIgnoringModifiers;
};

class DesktopViewTest : public testing::DesktopFixture {
 protected:
  DesktopViewTest() {
    measure_ = fontTextMeasure();
    desktop().systemEvents().setDesktopColor(Color{0.2, 0.3, 0.4, 1});
    renderer_ = std::make_unique<DesktopRenderer>(desktop());
    view_ = std::make_unique<DesktopView>(desktop(), *renderer_, [this](const Event& event) {
      sent_.push_back(event);
      if (toWindowServer_) desktop().events().inject(event);
    });
    view_->resize(1440, 900);
    view_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
  }

  void expectKeys(const std::vector<Expected>& expected) {
    ASSERT_EQ(sent_.size(), expected.size());
    for (std::size_t at = 0; at < expected.size(); ++at) {
      SCOPED_TRACE("event " + std::to_string(at));
      EXPECT_EQ(sent_[at].type, expected[at].type);
      EXPECT_EQ(sent_[at].keyCode, expected[at].keyCode);
      EXPECT_EQ(sent_[at].flags, expected[at].flags);
      EXPECT_EQ(sent_[at].characters, expected[at].characters);
      EXPECT_EQ(sent_[at].charactersIgnoringModifiers, expected[at].charactersIgnoringModifiers);
      EXPECT_EQ(sent_[at].sourceUserData, 0);
    }
  }

  // Waits for the frame to show about `colour` at `point`.
  bool frameShows(Point point, QColor colour) {
    return QTest::qWaitFor([&] {
      if (view_->frame().isNull()) return false;
      const QColor shown =
          view_->frame().pixelColor(static_cast<int>(point.x), static_cast<int>(point.y));
      return std::abs(shown.red() - colour.red()) <= 2 &&
             std::abs(shown.green() - colour.green()) <= 2 &&
             std::abs(shown.blue() - colour.blue()) <= 2;
    });
  }

  std::unique_ptr<DesktopRenderer> renderer_;
  std::unique_ptr<DesktopView> view_;
  std::vector<Event> sent_;
  bool toWindowServer_ = false;
};

TEST_F(DesktopViewTest, KeysBecomeMacKeyEvents) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<Expected> events;
  } cases[] = {
      {Qt::Key_A,
       Qt::NoModifier,
       {{EventType::keyDown, 0, 0, "a", "a"}, {EventType::keyUp, 0, 0, "a", "a"}}},
      {Qt::Key_A,
       Qt::ShiftModifier,
       {{EventType::flagsChanged, 56, flags::shift, "", ""},
        {EventType::keyDown, 0, flags::shift, "A", "A"},
        {EventType::keyUp, 0, flags::shift, "A", "A"},
        {EventType::flagsChanged, 56, 0, "", ""}}},
      {Qt::Key_Q,
       Qt::ControlModifier | Qt::AltModifier,
       {{EventType::flagsChanged, 59, flags::control, "", ""},
        {EventType::flagsChanged, 58, flags::control | flags::option, "", ""},
        {EventType::keyDown, 12, flags::control | flags::option, "\x11", "q"},
        {EventType::keyUp, 12, flags::control | flags::option, "\x11", "q"},
        {EventType::flagsChanged, 58, flags::control, "", ""},
        {EventType::flagsChanged, 59, 0, "", ""}}},
      {Qt::Key_Tab,
       Qt::NoModifier,
       {{EventType::keyDown, 48, 0, "\t", "\t"}, {EventType::keyUp, 48, 0, "\t", "\t"}}},
      {Qt::Key_Up,
       Qt::NoModifier,
       {{EventType::keyDown, 126, flags::numericPad | flags::function, "\uF700", "\uF700"},
        {EventType::keyUp, 126, flags::numericPad | flags::function, "\uF700", "\uF700"}}},
      {Qt::Key_Escape,
       Qt::NoModifier,
       {{EventType::keyDown, 53, 0, "\x1b", "\x1b"}, {EventType::keyUp, 53, 0, "\x1b", "\x1b"}}},
      {Qt::Key_VolumeUp, Qt::NoModifier, {}},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<char[]> name(QTest::toString(c.key));
    SCOPED_TRACE(name.get());
    sent_.clear();
    QTest::keyClick(view_.get(), c.key, c.modifiers);
    expectKeys(c.events);
  }
}

TEST_F(DesktopViewTest, HeldKeysRepeatTheirKeyDownOnly) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QKeyEvent repeatedRelease(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a", true);
  QKeyEvent repeatedPress(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a", true);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
  for (QKeyEvent* event : {&press, &repeatedRelease, &repeatedPress, &release}) {
    QApplication::sendEvent(view_.get(), event);
  }
  expectKeys({{EventType::keyDown, 0, 0, "a", "a"},
              {EventType::keyDown, 0, 0, "a", "a"},
              {EventType::keyUp, 0, 0, "a", "a"}});
}

// The window at half size: every window point is two screen points.
TEST_F(DesktopViewTest, MouseEventsArriveInScreenPoints) {
  view_->resize(720, 450);
  const struct {
    std::string name;
    std::function<void()> gesture;
    std::vector<std::tuple<EventType, Point, std::uint64_t>> events;
  } cases[] = {
      {"move",
       [&] {
         QTest::mouseMove(view_.get(), {300, 400});
       },
       {{EventType::mouseMoved, {600, 800}, 0}}},
      {"left click",
       [&] {
         QTest::mouseClick(view_.get(), Qt::LeftButton, {}, {100, 50});
       },
       {{EventType::leftMouseDown, {200, 100}, 0}, {EventType::leftMouseUp, {200, 100}, 0}}},
      {"right click",
       [&] {
         QTest::mouseClick(view_.get(), Qt::RightButton, {}, {360, 225});
       },
       {{EventType::rightMouseDown, {720, 450}, 0}, {EventType::rightMouseUp, {720, 450}, 0}}},
      {"control click",
       [&] {
         QTest::mouseClick(view_.get(), Qt::LeftButton, Qt::ControlModifier, {10, 20});
       },
       {{EventType::leftMouseDown, {20, 40}, flags::control},
        {EventType::leftMouseUp, {20, 40}, flags::control}}},
      {"drag",
       [&] {
         QTest::mousePress(view_.get(), Qt::LeftButton, {}, {100, 100});
         QTest::mouseMove(view_.get(), {150, 120});
         QTest::mouseRelease(view_.get(), Qt::LeftButton, {}, {150, 120});
       },
       {{EventType::leftMouseDown, {200, 200}, 0},
        {EventType::leftMouseDragged, {300, 240}, 0},
        {EventType::leftMouseUp, {300, 240}, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sent_.clear();
    c.gesture();
    ASSERT_EQ(sent_.size(), c.events.size());
    for (std::size_t at = 0; at < sent_.size(); ++at) {
      const auto& [type, location, eventFlags] = c.events[at];
      EXPECT_EQ(sent_[at].type, type) << at;
      EXPECT_EQ(sent_[at].location, location) << at;
      EXPECT_EQ(sent_[at].flags, eventFlags) << at;
    }
  }
}

// Wired to the window server as simdesk does, a drag in a half-size window moves an icon.
TEST_F(DesktopViewTest, TheMouseDragsFinderIcons) {
  toWindowServer_ = true;
  addFile("notes.txt");
  finder().refresh();
  const Point start = item("notes.txt").position;
  const Point target{start.x - 300, start.y + 200};
  view_->resize(720, 450);
  const auto inWindow = [](Point point) {
    return QPoint(static_cast<int>(point.x / 2), static_cast<int>(point.y / 2));
  };

  QTest::mousePress(view_.get(), Qt::LeftButton, {}, inWindow(start));
  for (int step = 1; step <= 4; ++step) {
    QTest::mouseMove(view_.get(), inWindow({start.x + (target.x - start.x) * step / 4,
                                            start.y + (target.y - start.y) * step / 4}));
  }
  QTest::mouseRelease(view_.get(), Qt::LeftButton, {}, inWindow(target));

  EXPECT_EQ(desktop().events().desktopSelection(),
            std::vector<std::filesystem::path>{onDesktop("notes.txt")});
  const Point dropped = item("notes.txt").position;
  EXPECT_NEAR(dropped.x, target.x, 60);
  EXPECT_NEAR(dropped.y, target.y, 60);
}

TEST_F(DesktopViewTest, ShowsTheRenderedScreenAndSavesIt) {
  addFile("notes.txt");
  finder().refresh();
  const Point icon = item("notes.txt").position;
  ASSERT_TRUE(QTest::qWaitFor([&] { return view_->frame() == renderer_->renderAll(); }));

  const QImage grabbed = view_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(grabbed.size(), QSize(1440, 900));
  EXPECT_TRUE(grabbed.save(QString(SIMDESK_VIEW_OUTPUT_DIR) + "/view-window.png"));
  const QImage rendered = renderer_->renderAll();
  for (const Point point : {Point{720, 450}, Point{5, 5}, Point{700, 895}, icon}) {
    const QPoint at(static_cast<int>(point.x), static_cast<int>(point.y));
    EXPECT_EQ(grabbed.pixelColor(at), rendered.pixelColor(at)) << point.x << "," << point.y;
  }
}

TEST_F(DesktopViewTest, FollowsChangesReportedOrNot) {
  const Point middle{720, 450};
  ASSERT_TRUE(frameShows(middle, QColor::fromRgbF(0.2f, 0.3f, 0.4f)));

  // A new desktop colour is not reported; the poll finds it.
  desktop().systemEvents().setDesktopColor(Color{1, 0, 0, 1});
  EXPECT_TRUE(frameShows(middle, QColor(255, 0, 0)));

  // A new window is.
  desktop().clientConnected(900, "Glyphon");
  auto& server = desktop().windowServer();
  const auto number = server.createWindow(
      900, platform::WindowSpec{desktop().screens().toBottomLeft({{700, 430}, {40, 40}})},
      WindowRole::window);
  platform::WindowTraits traits;
  traits.level = 100;
  traits.background = Color{0, 1, 0, 1};
  ASSERT_TRUE(server.configure(number, traits).ok());
  ASSERT_TRUE(server.orderFront(number).ok());
  EXPECT_TRUE(frameShows(middle, QColor(0, 255, 0)));
}

TEST_F(DesktopViewTest, RepaintsNothingWhileNothingChanges) {
  ASSERT_TRUE(QTest::qWaitFor([&] { return view_->frame() == renderer_->renderAll(); }));
  const std::uint64_t shown = view_->framesShown();
  // Three more polls have each rendered the picture, and found it unchanged.
  const std::uint64_t rendered = view_->framesRendered();
  ASSERT_TRUE(QTest::qWaitFor([&] { return view_->framesRendered() >= rendered + 3; }));
  EXPECT_EQ(view_->framesShown(), shown);
}

TEST_F(DesktopViewTest, WithoutScreensOnlyKeysGetThrough) {
  desktop().screens().setSizes({});
  ASSERT_TRUE(QTest::qWaitFor([&] { return view_->frame().isNull(); }));
  QTest::mouseClick(view_.get(), Qt::LeftButton, {}, {100, 50});
  EXPECT_TRUE(sent_.empty());
  QTest::keyClick(view_.get(), Qt::Key_B);
  expectKeys({{EventType::keyDown, 11, 0, "b", "b"}, {EventType::keyUp, 11, 0, "b", "b"}});
}

}  // namespace
}  // namespace deskplay::simdesk
