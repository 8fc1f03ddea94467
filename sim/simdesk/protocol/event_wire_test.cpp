#include "sim/simdesk/protocol/event_wire.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk::protocol {
namespace {

using nlohmann::json;
using platform::EventType;

TEST(EventWireTest, AnEventTravelsWhole) {
  platform::Event event;
  event.type = EventType::keyDown;
  event.flags = platform::event_flags::control | platform::event_flags::option;
  event.keyCode = 12;
  event.characters = "\u0011";
  event.charactersIgnoringModifiers = "q";
  event.location = {10.5, -3};
  event.sourceUserData = platform::kSyntheticPointerMarker;
  const auto back = decodeEvent(json::parse(encodeEvent(event).dump()));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->type, event.type);
  EXPECT_EQ(back->flags, event.flags);
  EXPECT_EQ(back->keyCode, 12);
  EXPECT_EQ(back->characters, event.characters);
  EXPECT_EQ(back->charactersIgnoringModifiers, "q");
  EXPECT_EQ(back->location, event.location);
  EXPECT_EQ(back->sourceUserData, platform::kSyntheticPointerMarker);
}

TEST(EventWireTest, EveryTypeHasANameThatReadsBack) {
  for (const auto type :
       {EventType::leftMouseDown, EventType::leftMouseUp, EventType::rightMouseDown,
        EventType::rightMouseUp, EventType::mouseMoved, EventType::leftMouseDragged,
        EventType::rightMouseDragged, EventType::keyDown, EventType::keyUp, EventType::flagsChanged,
        EventType::tapDisabledByTimeout, EventType::tapDisabledByUserInput}) {
    EXPECT_EQ(eventTypeNamed(eventTypeName(type)), type) << eventTypeName(type);
  }
}

TEST(EventWireTest, OnlyTheTypeIsRequiredAndWrongTypesAreRefused) {
  const auto click = decodeEvent({{"type", "leftMouseDown"}, {"x", 4}, {"y", 5}});
  ASSERT_TRUE(click);
  EXPECT_EQ(click->location, (platform::Point{4, 5}));
  EXPECT_EQ(click->keyCode, 0);
  EXPECT_EQ(click->sourceUserData, 0);

  for (const json& bad :
       {json::array(), json{{"x", 1}}, json{{"type", "keyPressed"}},
        json{{"type", "keyDown"}, {"keyCode", "12"}}, json{{"type", "keyDown"}, {"flags", -1}},
        json{{"type", "keyDown"}, {"characters", 5}},
        json{{"type", "leftMouseDown"}, {"x", nullptr}},
        json{{"type", "keyDown"}, {"sourceUserData", 1.5}}}) {
    EXPECT_FALSE(decodeEvent(bad)) << bad.dump();
  }
}

TEST(EventWireTest, VerdictsByName) {
  EXPECT_EQ(verdictNamed(verdictName(platform::TapVerdict::pass)), platform::TapVerdict::pass);
  EXPECT_EQ(verdictNamed(verdictName(platform::TapVerdict::swallow)),
            platform::TapVerdict::swallow);
  EXPECT_FALSE(verdictNamed("drop"));
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
