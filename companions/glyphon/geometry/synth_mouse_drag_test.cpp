#include "geometry/synth_mouse_drag.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_event_taps.hpp"

namespace deskplay::glyphon {
namespace {

using platform::Event;
using platform::EventTaps;
using platform::EventType;
using platform::Point;
using platform::testing::FakeClock;
using platform::testing::FakeEventTaps;
using std::chrono::milliseconds;

// The fake's posting, with a look at the drag's flag at every post.
class PostWatchingEventTaps final : public EventTaps {
 public:
  std::unique_ptr<platform::EventTap> createSessionTap(platform::EventMask mask,
                                                       TapCallback callback) override {
    return fake.createSessionTap(mask, std::move(callback));
  }
  bool post(const Event& event, PostLocation location) override {
    if (onPost) onPost();
    return fake.post(event, location);
  }
  bool isButtonDown(MouseButton button) override { return fake.isButtonDown(button); }
  std::optional<Point> pointerLocation() override { return fake.pointerLocation(); }
  bool warpPointer(Point location) override { return fake.warpPointer(location); }
  std::unique_ptr<platform::Observation> addGlobalMonitor(platform::EventMask mask,
                                                          MonitorCallback callback) override {
    return fake.addGlobalMonitor(mask, std::move(callback));
  }

  FakeEventTaps fake;
  std::function<void()> onPost;
};

struct ExpectedEvent {
  EventType type;
  Point location;
};

TEST(SynthMouseDragTest, PostsAMarkedDragWithItsPausesWhileTheFlagIsSet) {
  PostWatchingEventTaps eventTaps;
  FakeClock clock;
  PointerSynthesis pointer(eventTaps, clock);
  std::vector<bool> flagAtPosts;
  std::vector<std::size_t> sleepsAtPosts;
  eventTaps.onPost = [&] {
    flagAtPosts.push_back(pointer.synthesizingPointer());
    sleepsAtPosts.push_back(clock.sleeps().size());
  };

  EXPECT_FALSE(pointer.synthesizingPointer());
  pointer.synthMouseDrag({100, 200.5});
  EXPECT_FALSE(pointer.synthesizingPointer());

  const ExpectedEvent expected[] = {
      {EventType::leftMouseDown, {100, 200.5}},    {EventType::leftMouseDragged, {105, 205.5}},
      {EventType::leftMouseDragged, {110, 207.5}}, {EventType::leftMouseDragged, {105, 203.5}},
      {EventType::leftMouseDragged, {100, 200.5}}, {EventType::leftMouseUp, {100, 200.5}},
  };
  const auto& posted = eventTaps.fake.posted();
  ASSERT_EQ(posted.size(), std::size(expected));
  for (std::size_t i = 0; i < posted.size(); ++i) {
    EXPECT_EQ(posted[i].event.type, expected[i].type) << i;
    EXPECT_EQ(posted[i].event.location, expected[i].location) << i;
    EXPECT_EQ(posted[i].event.sourceUserData, 0x46494C45) << i;
    EXPECT_EQ(posted[i].location, EventTaps::PostLocation::hidSystem) << i;
  }
  const std::vector<FakeClock::Seconds> pauses{milliseconds(15), milliseconds(12), milliseconds(12),
                                               milliseconds(12), milliseconds(12)};
  EXPECT_EQ(clock.sleeps(), pauses);
  // Each pause comes after its event; nothing follows the release.
  EXPECT_EQ(sleepsAtPosts, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(flagAtPosts, std::vector<bool>(6, true));
}

TEST(SynthMouseDragTest, EventsThatCannotBePostedKeepTheirPauses) {
  FakeEventTaps eventTaps;
  eventTaps.failPosting(true);
  FakeClock clock;
  PointerSynthesis pointer(eventTaps, clock);

  pointer.synthMouseDrag({10, 10});

  EXPECT_EQ(clock.sleeps().size(), 5u);
  EXPECT_FALSE(pointer.synthesizingPointer());
}

}  // namespace
}  // namespace deskplay::glyphon
