#include "listener/keyboard_listener.hpp"

#include <gtest/gtest.h>

#include "listener/recording_line_output.hpp"
#include "platform/testing/fake_event_taps.hpp"

namespace deskplay::keyhark {
namespace {

using platform::Event;
using platform::EventType;
using platform::TapVerdict;
namespace flags = platform::event_flags;

Event keyDown(std::int64_t keyCode, std::string ignoringModifiers, std::uint64_t modifiers) {
  Event event;
  event.type = EventType::keyDown;
  event.keyCode = keyCode;
  event.characters = "typed";
  event.charactersIgnoringModifiers = std::move(ignoringModifiers);
  event.flags = modifiers;
  return event;
}

class KeyboardListenerTest : public ::testing::Test {
 protected:
  GlobalEventTap tap_;
  testing::RecordingLineOutput events_;
  KeyboardListener listener_{tap_, events_};
};

TEST_F(KeyboardListenerTest, ReportsEveryKeyAndLetsOnlyShortcutsThrough) {
  struct Case {
    const char* what;
    std::uint64_t modifiers;
    TapVerdict verdict;
  };
  const Case cases[] = {
      {"plain", 0, TapVerdict::swallow},
      {"shift", flags::shift, TapVerdict::swallow},
      {"caps lock", flags::capsLock, TapVerdict::swallow},
      {"fn", flags::function, TapVerdict::swallow},
      {"numeric pad", flags::numericPad, TapVerdict::swallow},
      {"control", flags::control, TapVerdict::pass},
      {"option", flags::option, TapVerdict::pass},
      {"command", flags::command, TapVerdict::pass},
      {"shift command", flags::shift | flags::command, TapVerdict::pass},
  };
  for (const Case& c : cases) {
    events_.clear();
    EXPECT_EQ(listener_.eventTapCallback(keyDown(0, "a", c.modifiers)), c.verdict) << c.what;
    EXPECT_EQ(events_.lines(),
              std::vector<std::string>{R"({"type":"keydown","keyCode":0,"char":"a"})"})
        << c.what;
  }
}

TEST_F(KeyboardListenerTest, ReportsCharactersIgnoringModifiersAndRepeats) {
  listener_.eventTapCallback(keyDown(0, "a", flags::shift));
  listener_.eventTapCallback(keyDown(0, "a", flags::shift));
  listener_.eventTapCallback(keyDown(123, "", 0));
  EXPECT_EQ(events_.lines(),
            (std::vector<std::string>{R"({"type":"keydown","keyCode":0,"char":"a"})",
                                      R"({"type":"keydown","keyCode":0,"char":"a"})",
                                      R"({"type":"keydown","keyCode":123,"char":""})"}));
}

TEST_F(KeyboardListenerTest, OtherEventsPassSilently) {
  for (EventType type : {EventType::keyUp, EventType::flagsChanged, EventType::leftMouseDown}) {
    Event event = keyDown(0, "a", 0);
    event.type = type;
    EXPECT_EQ(listener_.eventTapCallback(event), TapVerdict::pass);
  }
  EXPECT_TRUE(events_.lines().empty());
}

TEST_F(KeyboardListenerTest, TurnsTheTapBackOnWhenTheSystemSwitchesItOff) {
  platform::testing::FakeEventTaps taps;
  tap_.install(taps.createSessionTap(
      platform::eventMaskOf(EventType::keyDown),
      [this](const Event& event) { return listener_.eventTapCallback(event); }));
  tap_.enable();

  taps.disableTapsByTimeout();
  EXPECT_EQ(taps.enabledTapCount(), 1);
  EXPECT_EQ(taps.inject(keyDown(0, "a", 0)), TapVerdict::swallow);
  taps.disableTapsByUserInput();
  EXPECT_EQ(taps.enabledTapCount(), 1);
  EXPECT_EQ(events_.lines().size(), 1u);
}

}  // namespace
}  // namespace deskplay::keyhark
