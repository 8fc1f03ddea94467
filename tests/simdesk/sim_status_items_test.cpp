#include "platform/sim/sim_status_items.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/sim/sim_windows.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using platform::ClickVerdict;
using platform::Presence;
using platform::Rect;
using platform::StatusItemClick;

platform::StatusItemAppearance titled(const std::string& title) {
  return {title, std::nullopt, std::nullopt, title};
}

std::vector<nlohmann::json> listed(const SimdeskSession& session) {
  std::vector<nlohmann::json> items;
  const Completed done = session.ctl({"status-items"});
  EXPECT_EQ(done.status, 0) << done.errors;
  std::size_t start = 0;
  while (start < done.output.size()) {
    const std::size_t end = done.output.find('\n', start);
    items.push_back(nlohmann::json::parse(done.output.substr(start, end - start)));
    start = end + 1;
  }
  return items;
}

class SimStatusItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.start());
    connection_ = session_.connect("Deskplay");
    items_ = std::make_unique<platform::SimStatusItems>(*connection_);
  }

  void dispatchUntil(const std::function<bool()>& condition) {
    EXPECT_TRUE(eventuallyDispatched(*connection_, condition));
  }

  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  std::unique_ptr<platform::SimStatusItems> items_;
};

TEST_F(SimStatusItemsTest, ItemsStandRightToLeftWithTheirFramesAndGoWithTheirObjects) {
  auto first = items_->createItem(titled("Deskplay"));
  auto second = items_->createItem(titled("Other"));
  auto items = listed(session_);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]["title"], "Deskplay");
  EXPECT_EQ(items[0]["owner"], "Deskplay");
  EXPECT_EQ(items[0]["inserted"], true);
  const auto firstFrame = first->buttonWindowFrame();
  const auto secondFrame = second->buttonWindowFrame();
  ASSERT_TRUE(firstFrame && secondFrame);
  EXPECT_EQ(firstFrame->maxY(), 900) << "the button's window is the menu bar's height, at the top";
  EXPECT_EQ(firstFrame->size.height, 24);
  EXPECT_EQ(secondFrame->maxX(), firstFrame->minX());
  EXPECT_EQ(items[0]["frame"]["x"], firstFrame->minX()) << "listed with the top-left origin";
  EXPECT_EQ(items[0]["frame"]["y"], 0);

  first->setAppearance(titled("Deskplay, longer"));
  EXPECT_LT(second->buttonWindowFrame()->maxX(), secondFrame->maxX());
  first->setHighlight(platform::Highlight::on);
  EXPECT_EQ(listed(session_)[0]["highlighted"], true);
  std::filesystem::create_directories(SIMDESK_SCREENSHOTS);
  const Completed shot = session_.ctl(
      {"screenshot", (std::filesystem::path(SIMDESK_SCREENSHOTS) / "status-items.png").string()});
  EXPECT_EQ(shot.status, 0) << shot.errors;

  first->setPresence(Presence::removed);
  EXPECT_FALSE(first->buttonWindowFrame());
  EXPECT_EQ(listed(session_).size(), 1u);
  first->setPresence(Presence::inserted);
  EXPECT_EQ(listed(session_).size(), 2u);
  second.reset();
  first.reset();
  EXPECT_TRUE(listed(session_).empty());
}

TEST_F(SimStatusItemsTest, AMouseDownGoesToTheOwnerWithItsButtonAndFlags) {
  auto item = items_->createItem(titled("Deskplay"));
  std::vector<StatusItemClick> clicks;
  item->setMouseDownHandler([&](const StatusItemClick& click) {
    clicks.push_back(click);
    return ClickVerdict::take;
  });
  const Rect frame = *item->buttonWindowFrame();
  const double x = frame.minX() + frame.size.width / 2;
  const std::string xText = std::to_string(static_cast<int>(x));
  ASSERT_EQ(session_.ctl({"click", xText, "12", "--right"}).status, 0);
  dispatchUntil([&] { return clicks.size() == 1; });
  EXPECT_EQ(clicks[0].button, platform::PointerButton::right);
  EXPECT_EQ(clicks[0].location, (platform::Point{static_cast<double>(static_cast<int>(x)), 12}));
  EXPECT_EQ(listed(session_).size(), 1u);

  // The item is in its owner's accessibility tree by its accessibility title, and pressed by it.
  item->setAppearance({"", std::nullopt, std::nullopt, "Deskplay menu"});
  const std::string pid = std::to_string(::getpid());
  EXPECT_NE(session_.ctl({"ax-tree", pid}).output.find("Deskplay menu"), std::string::npos);
  const Completed pressed = session_.ctl({"press", "Deskplay menu", "--pid", pid});
  ASSERT_EQ(pressed.status, 0) << pressed.errors;
  dispatchUntil([&] { return clicks.size() == 2; });
  EXPECT_EQ(clicks[1].button, platform::PointerButton::left);
  const Rect now = *item->buttonWindowFrame();
  EXPECT_EQ(clicks[1].location, (platform::Point{now.minX() + now.size.width / 2, 12}));
}

TEST_F(SimStatusItemsTest, CommandDraggingAPassedPressOutOfTheBarRemovesTheItem) {
  auto item = items_->createItem(titled("Deskplay"));
  std::vector<Presence> told;
  item->setPresenceHandler([&](Presence presence) { told.push_back(presence); });
  item->setMouseDownHandler([](const StatusItemClick& click) {
    return (click.flags & platform::event_flags::command) != 0 ? ClickVerdict::pass
                                                               : ClickVerdict::take;
  });
  const Rect frame = *item->buttonWindowFrame();
  SimdeskInput person(session_);
  const auto event = [&](platform::EventType type, platform::Point at) {
    platform::Event mouse;
    mouse.type = type;
    mouse.location = at;
    mouse.flags = platform::event_flags::command;
    return mouse;
  };
  ASSERT_TRUE(person.inject(event(platform::EventType::leftMouseDown, {frame.minX() + 3, 10})));
  ASSERT_TRUE(person.inject(event(platform::EventType::leftMouseDragged, {frame.minX(), 200})));
  ASSERT_TRUE(person.inject(event(platform::EventType::leftMouseUp, {frame.minX(), 300})));
  ASSERT_TRUE(person.waitUntilDelivered([&] { connection_->dispatchEvents(); }));
  dispatchUntil([&] { return !told.empty(); });
  EXPECT_EQ(told, std::vector<Presence>{Presence::removed});
  EXPECT_EQ(item->presence(), Presence::removed);
  EXPECT_TRUE(listed(session_).empty());
  EXPECT_FALSE(item->buttonWindowFrame());
}

TEST(SimStatusItemsWithoutSimdeskTest, AnItemWaitsForSimdeskAndThenShows) {
  SimdeskSession session;
  auto connection = session.connect("Deskplay");
  platform::SimStatusItems items(*connection);
  auto item = items.createItem(titled("Deskplay"));
  EXPECT_FALSE(item->buttonWindowFrame());
  item->setHighlight(platform::Highlight::on);
  item->setAppearance(titled("Deskplay"));
  EXPECT_EQ(item->presence(), Presence::inserted);
  ASSERT_TRUE(session.start());
  EXPECT_TRUE(item->buttonWindowFrame());
  EXPECT_EQ(listed(session).at(0)["highlighted"], true);
}

}  // namespace
}  // namespace deskplay::testing
