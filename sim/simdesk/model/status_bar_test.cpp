#include "sim/simdesk/model/status_bar.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

using platform::Rect;
using platform::StatusItemAppearance;

constexpr platform::ProcessId kDeskplay = 500;
constexpr platform::ProcessId kOther = 600;

// Ten points a character, so that widths are easy to tell.
double tenPerCharacter(std::string_view text, double, platform::FontWeight) {
  return 10.0 * static_cast<double>(text.size());
}

class StatusBarTest : public ::testing::Test {
 protected:
  Screens screens_;
  StatusBar bar_{screens_, tenPerCharacter};
  const double clockLeft_ = 1440 - StatusBar::kEdgeMargin - StatusBar::kClockWidth;
};

TEST_F(StatusBarTest, ItemsStandRightToLeftInCreationOrderLeftOfTheClock) {
  EXPECT_EQ(bar_.clockFrame(), (Rect{{clockLeft_, 0}, {StatusBar::kClockWidth, 24}}));
  const auto first = bar_.create(kDeskplay, {"Deskplay", std::nullopt, std::nullopt, "Deskplay"});
  StatusItemAppearance image;
  image.image = platform::Image{{0x89}, 16, 16};
  const auto second = bar_.create(kOther, image);
  StatusItemAppearance fixed{"x", std::nullopt, 50.0, ""};
  const auto third = bar_.create(kOther, fixed);

  const double firstWidth = 80 + 2 * StatusBar::kItemPadding;
  const double secondWidth = StatusBar::kImageWidth + 2 * StatusBar::kItemPadding;
  EXPECT_EQ(bar_.item(first)->frame, (Rect{{clockLeft_ - firstWidth, 0}, {firstWidth, 24}}));
  EXPECT_EQ(bar_.item(second)->frame,
            (Rect{{clockLeft_ - firstWidth - secondWidth, 0}, {secondWidth, 24}}));
  EXPECT_EQ(bar_.item(third)->frame.size.width, 50);
  EXPECT_EQ(bar_.itemAt({clockLeft_ - 1, 10})->id, first);
  EXPECT_EQ(bar_.itemAt({clockLeft_ + 1, 10}), nullptr) << "the clock is no item";

  // A longer title pushes the later items left; a removal closes the gap.
  ASSERT_TRUE(bar_.update(first, {"Deskplay!!", std::nullopt, std::nullopt, ""}).ok());
  EXPECT_EQ(bar_.item(second)->frame.maxX(), clockLeft_ - 100 - 2 * StatusBar::kItemPadding);
  ASSERT_TRUE(bar_.remove(first).ok());
  EXPECT_EQ(bar_.item(second)->frame.maxX(), clockLeft_);
  EXPECT_FALSE(bar_.remove(first).ok());
  EXPECT_FALSE(bar_.setHighlighted(first, true).ok());
}

TEST_F(StatusBarTest, DraggingOutRemovesAndTellsAndOwnersTakeTheirItemsAlong) {
  std::vector<std::uint64_t> draggedOut;
  bar_.addDraggedOutListener([&](const StatusItem& item) { draggedOut.push_back(item.id); });
  const auto ours = bar_.create(kDeskplay, {"A", std::nullopt, std::nullopt, ""});
  const auto theirs = bar_.create(kOther, {"B", std::nullopt, std::nullopt, ""});
  ASSERT_TRUE(bar_.dragOut(ours).ok());
  EXPECT_EQ(draggedOut, std::vector<std::uint64_t>{ours});
  EXPECT_EQ(bar_.item(ours), nullptr);
  bar_.removeAllOf(kOther);
  EXPECT_EQ(bar_.item(theirs), nullptr);
  EXPECT_EQ(draggedOut.size(), 1u) << "an application's own removal is no drag";
}

TEST_F(StatusBarTest, WithoutAMenuBarItemsHaveNoFrame) {
  const auto item = bar_.create(kDeskplay, {"A", std::nullopt, std::nullopt, ""});
  screens_.setMenuBarAutohide(Autohide::on);
  EXPECT_EQ(bar_.item(item)->frame, Rect{});
  EXPECT_FALSE(bar_.clockFrame());
  screens_.setMenuBarAutohide(Autohide::off);
  EXPECT_GT(bar_.item(item)->frame.size.width, 0);
}

}  // namespace
}  // namespace deskplay::simdesk
