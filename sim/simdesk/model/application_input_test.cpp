#include "sim/simdesk/model/application_input.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {
namespace {

using platform::ClickVerdict;
using platform::Event;
using platform::EventType;
using platform::KeyState;
using platform::Point;
using platform::WindowInput;
using Kind = platform::WindowInput::Kind;

constexpr platform::ProcessId kDeskplay = 500;
constexpr platform::ProcessId kOther = 600;

Event mouse(EventType type, Point location, std::uint64_t flags = 0) {
  Event event;
  event.type = type;
  event.location = location;
  event.flags = flags;
  return event;
}

class ApplicationInputTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    desktop().clientConnected(kDeskplay, "Deskplay");
    desktop().clientConnected(kOther, "Other");
    ApplicationInput::Sinks sinks;
    sinks.statusItemPressed = [this](const StatusItem&, const StatusItemPress& press) {
      presses.push_back(press);
      if (verdict) desktop().applicationInput().answerPress(press.press, *verdict);
    };
    sinks.windowInput = [this](const SimWindow& window, const WindowInput& input) {
      inputs.emplace_back(window.number, input);
    };
    desktop().applicationInput().setSinks(sinks);
    desktop().windowServer().addKeyListener([this](const SimWindow& window, KeyState state) {
      keyChanges.emplace_back(window.number, state);
    });
  }

  // A content window of `owner` at top-left (100, 300), 200 × 100.
  std::uint32_t contentWindow(platform::ProcessId owner, int level = levels::status) {
    WindowServer& server = desktop().windowServer();
    const auto number = server.createWindow(owner, platform::WindowSpec{{{100, 500}, {200, 100}}},
                                            WindowRole::content);
    platform::WindowTraits traits;
    traits.level = level;
    EXPECT_TRUE(server.configure(number, traits).ok());
    EXPECT_TRUE(server.orderFront(number).ok());
    return number;
  }

  std::vector<Kind> inputKinds() const {
    std::vector<Kind> kinds;
    for (const auto& [number, input] : inputs) kinds.push_back(input.kind);
    return kinds;
  }

  void inject(const Event& event) { desktop().events().inject(event); }
  void click(Point location, std::uint64_t flags = 0) {
    inject(mouse(EventType::leftMouseDown, location, flags));
    inject(mouse(EventType::leftMouseUp, location, flags));
  }

  std::optional<ClickVerdict> verdict = ClickVerdict::take;
  std::vector<StatusItemPress> presses;
  std::vector<std::pair<std::uint32_t, WindowInput>> inputs;
  std::vector<std::pair<std::uint32_t, KeyState>> keyChanges;
};

TEST_F(ApplicationInputTest, APressOnAStatusItemGoesToItsOwnerAndOthersMonitorsOnly) {
  const auto item = desktop().statusBar().create(kDeskplay, {"Deskplay", {}, {}, ""});
  const platform::Rect frame = desktop().statusBar().item(item)->frame;
  std::vector<platform::ProcessId> monitored;
  for (const platform::ProcessId pid : {kDeskplay, kOther}) {
    desktop().events().addMonitor({pid, 0}, platform::eventMaskOf(EventType::rightMouseDown),
                                  [&monitored, pid](const Event&) { monitored.push_back(pid); });
  }
  const Point centre{frame.minX() + frame.size.width / 2, 12};
  inject(mouse(EventType::rightMouseDown, centre, platform::event_flags::option));
  inject(mouse(EventType::rightMouseUp, centre));

  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].item, item);
  EXPECT_EQ(presses[0].click.button, platform::PointerButton::right);
  EXPECT_EQ(presses[0].click.flags, platform::event_flags::option);
  EXPECT_EQ(presses[0].click.location, centre);
  EXPECT_EQ(monitored, std::vector<platform::ProcessId>{kOther});

  click({frame.minX() - 30, 12});
  EXPECT_EQ(presses.size(), 1u) << "the menu bar beside the item is no press on it";
}

TEST_F(ApplicationInputTest, CommandDragOutOfTheBarRemovesAnItemOnlyWhenItsOwnerLetsItPass) {
  struct Case {
    const char* name;
    std::optional<ClickVerdict> verdict;
    std::uint64_t flags;
    Point release;
    bool removed;
  };
  const Point below{1000, 300};
  const std::vector<Case> cases{
      {"passed with Command, dropped below the bar", ClickVerdict::pass,
       platform::event_flags::command, below, true},
      {"taken by the owner", ClickVerdict::take, platform::event_flags::command, below, false},
      {"no Command", ClickVerdict::pass, 0, below, false},
      {"released inside the bar",
       ClickVerdict::pass,
       platform::event_flags::command,
       {700, 10},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint64_t> draggedOut;
    const auto item = desktop().statusBar().create(kDeskplay, {"D", {}, {}, ""});
    desktop().statusBar().addDraggedOutListener(
        [&draggedOut](const StatusItem& gone) { draggedOut.push_back(gone.id); });
    verdict = c.verdict;
    const platform::Rect frame = desktop().statusBar().item(item)->frame;
    const Point start{frame.minX() + 2, 12};
    inject(mouse(EventType::leftMouseDown, start, c.flags));
    inject(mouse(EventType::leftMouseDragged, {start.x, 60}, c.flags));
    inject(mouse(EventType::leftMouseUp, c.release, c.flags));
    EXPECT_EQ(desktop().statusBar().item(item) == nullptr, c.removed);
    EXPECT_EQ(draggedOut.size(), c.removed ? 1u : 0u);
    desktop().statusBar().removeAllOf(kDeskplay);
  }
}

TEST_F(ApplicationInputTest, AVerdictThatComesAfterTheReleaseStillDecides) {
  verdict.reset();
  const auto item = desktop().statusBar().create(kDeskplay, {"D", {}, {}, ""});
  const platform::Rect frame = desktop().statusBar().item(item)->frame;
  inject(mouse(EventType::leftMouseDown, {frame.minX() + 2, 12}, platform::event_flags::command));
  inject(mouse(EventType::leftMouseUp, {frame.minX() + 2, 400}, platform::event_flags::command));
  ASSERT_NE(desktop().statusBar().item(item), nullptr);
  ASSERT_EQ(presses.size(), 1u);
  desktop().applicationInput().answerPress(presses[0].press + 1, ClickVerdict::pass);
  EXPECT_NE(desktop().statusBar().item(item), nullptr) << "a verdict on another press";
  desktop().applicationInput().answerPress(presses[0].press, ClickVerdict::pass);
  EXPECT_EQ(desktop().statusBar().item(item), nullptr);
}

TEST_F(ApplicationInputTest, MouseInputReachesAContentWindowInItsOwnCoordinates) {
  const auto window = contentWindow(kDeskplay);
  inject(mouse(EventType::mouseMoved, {50, 50}));
  inject(mouse(EventType::mouseMoved, {110, 320}));
  inject(mouse(EventType::mouseMoved, {120, 330}));
  inject(mouse(EventType::leftMouseDown, {120, 330}, platform::event_flags::shift));
  inject(mouse(EventType::leftMouseDragged, {400, 330}));
  inject(mouse(EventType::leftMouseUp, {400, 330}));
  Event scroll = mouse(EventType::scrollWheel, {150, 350});
  scroll.scrollDeltaY = -3;
  inject(scroll);
  inject(mouse(EventType::mouseMoved, {50, 50}));

  EXPECT_EQ(inputKinds(), (std::vector<Kind>{Kind::mouseEntered, Kind::mouseMoved, Kind::mouseMoved,
                                             Kind::mouseDown, Kind::mouseDragged, Kind::mouseUp,
                                             Kind::scrollWheel, Kind::mouseExited}));
  for (const auto& [number, input] : inputs) EXPECT_EQ(number, window);
  EXPECT_EQ(inputs[3].second.location, (Point{20, 30}));
  EXPECT_EQ(inputs[3].second.button, platform::PointerButton::left);
  EXPECT_EQ(inputs[3].second.flags, platform::event_flags::shift);
  EXPECT_EQ(inputs[4].second.location, (Point{300, 30})) << "a drag leaving the window is its";
  EXPECT_EQ(inputs[6].second.scrollDeltaY, -3);
}

TEST_F(ApplicationInputTest, TheKeyWindowGetsKeysAndResignsOnAClickElsewhere) {
  const auto window = contentWindow(kDeskplay);
  ASSERT_TRUE(desktop().windowServer().makeKey(window).ok());
  EXPECT_EQ(keyChanges,
            (std::vector<std::pair<std::uint32_t, KeyState>>{{window, KeyState::became}}));

  Event key;
  key.type = EventType::keyDown;
  key.keyCode = 0;
  key.characters = "a";
  inject(key);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].second.kind, Kind::keyDown);
  EXPECT_EQ(inputs[0].second.characters, "a");

  click({150, 350});
  EXPECT_EQ(keyChanges.size(), 1u) << "a click inside keeps it key";

  std::vector<Event> seenByMonitor;
  desktop().events().addMonitor({kDeskplay, 0}, platform::eventMaskOf(EventType::leftMouseDown),
                                [&](const Event& event) { seenByMonitor.push_back(event); });
  click({700, 700});
  EXPECT_EQ(keyChanges.back(), std::make_pair(window, KeyState::resigned));
  EXPECT_FALSE(desktop().windowServer().keyWindow());
  ASSERT_EQ(seenByMonitor.size(), 1u) << "the owner's global monitor sees the click elsewhere";

  inputs.clear();
  inject(key);
  EXPECT_TRUE(inputs.empty()) << "keys no longer go to the window";
}

TEST_F(ApplicationInputTest, ClicksOnTheMenuBarTheDockAndOtherWindowsResignToo) {
  const auto other = contentWindow(kOther, levels::normal);
  ASSERT_TRUE(desktop().windowServer().setFrame(other, {{800, 500}, {100, 100}}).ok());
  const auto item = desktop().statusBar().create(kOther, {"O", {}, {}, ""});
  const platform::Rect itemFrame = desktop().statusBar().item(item)->frame;
  const std::vector<std::pair<const char*, Point>> places{
      {"menu bar", {300, 10}},
      {"another application's status item", {itemFrame.minX() + 2, 10}},
      {"Dock", {720, 880}},
      {"another window", {850, 350}},
  };
  const auto window = contentWindow(kDeskplay);
  for (const auto& [name, place] : places) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(desktop().windowServer().makeKey(window).ok());
    click(place);
    EXPECT_FALSE(desktop().windowServer().keyWindow());
    EXPECT_EQ(keyChanges.back(), std::make_pair(window, KeyState::resigned));
  }
  // Another key window takes over; ordering out resigns; closing says nothing.
  ASSERT_TRUE(desktop().windowServer().makeKey(window).ok());
  ASSERT_TRUE(desktop().windowServer().makeKey(other).ok());
  EXPECT_EQ(keyChanges[keyChanges.size() - 2], std::make_pair(window, KeyState::resigned));
  ASSERT_TRUE(desktop().windowServer().orderOut(other).ok());
  EXPECT_EQ(keyChanges.back(), std::make_pair(other, KeyState::resigned));
  ASSERT_TRUE(desktop().windowServer().makeKey(window).ok());
  const std::size_t before = keyChanges.size();
  ASSERT_TRUE(desktop().windowServer().close(window).ok());
  EXPECT_EQ(keyChanges.size(), before);
  EXPECT_FALSE(desktop().windowServer().keyWindow());
}

}  // namespace
}  // namespace deskplay::simdesk
