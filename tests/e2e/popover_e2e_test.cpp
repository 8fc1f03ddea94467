// Games played through the popover alone, as a person plays them: a click on Deskplay's icon
// in simdesk's menu bar, a click on a game's card (or on a mode), and a click on "Stop &
// restore", with the real application, engine and companions.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <memory>

#include "platform/sim/sim_status_items.hpp"
#include "popover_session.hpp"

namespace deskplay::testing {
namespace {

constexpr double kPanelWidth = 480;
constexpr double kMenuBarHeight = 24;

class PopoverGames : public PopoverSession {};

TEST_F(PopoverGames, ASoloGameFromItsCardToStopAndRestore) {
  start();
  openPopover();
  // The only status item sits by the clock: a left-aligned panel would leave the screen, so
  // it opens right-aligned under the icon.
  const platform::Rect item = statusItem();
  const ListedWindow opened = *panel();
  EXPECT_DOUBLE_EQ(opened.bounds.minX(), item.maxX() - kPanelWidth + 2);
  EXPECT_DOUBLE_EQ(opened.bounds.minY(), kMenuBarHeight);
  EXPECT_DOUBLE_EQ(opened.bounds.size.width, kPanelWidth);
  EXPECT_TRUE(eventually([&] { return shows("AXStaticText", "ARCADE"); }));
  desk_.screenshot("popover-library");

  clickElement("Snake");
  waitUntilPlaying("snake");
  expectPopoverClosed();

  openPopover();
  EXPECT_TRUE(eventually([&] {
    return shows("AXStaticText", "Now playing") && shows("AXStaticText", "Snake") &&
           shows("AXStaticText", "Controls") && shows("AXButton", "Stop & restore");
  })) << "the popover does not show the game being played";
  desk_.screenshot("popover-now-playing");

  clickElement("Stop & restore");
  expectDesktopBack();
  EXPECT_TRUE(eventually([&] { return shows("AXButton", "Snake"); }))
      << "the library did not come back";
  desk_.screenshot("popover-after-the-game");

  // A second click on the icon closes the popover.
  clickStatusItem();
  expectPopoverClosed();
}

TEST_F(PopoverGames, AGameWithTwoModesGoesThroughTheModeChoice) {
  // Two items of other applications stand right of Deskplay's, so its panel has room to
  // open left-aligned.
  std::unique_ptr<simdesk::protocol::Connection> other;
  std::unique_ptr<platform::SimStatusItems> items;
  std::vector<std::unique_ptr<platform::StatusItem>> made;
  start([&] {
    other = desk_.simdesk().connect("Other");
    ASSERT_NE(other, nullptr);
    items = std::make_unique<platform::SimStatusItems>(*other);
    for (int i = 0; i < 2; ++i) {
      platform::StatusItemAppearance wide;
      wide.title = "A status item with a long title " + std::to_string(i);
      made.push_back(items->createItem(wide));
    }
  });
  openPopover();
  EXPECT_NEAR(panel()->bounds.minX(), statusItem().minX() - 2, 0.01);

  clickElement("Four in a Row");
  EXPECT_TRUE(eventually([&] {
    return shows("AXStaticText", "How do you want to play?") && shows("AXButton", "Back");
  }));
  desk_.screenshot("popover-mode-choice");
  clickElement("Against the computer");
  waitUntilPlaying("four");
  expectPopoverClosed();

  openPopover();
  clickElement("Stop & restore");
  expectDesktopBack();
}

TEST_F(PopoverGames, AClickElsewhereClosesThePopover) {
  start();
  openPopover();
  desk_.click(200, 600);
  expectPopoverClosed();
  EXPECT_EQ(desk_.status().value("session", ""), "idle");
}

// The mean distance of a rectangle's pixels from a colour: how much a card stands out.
double contrast(const QImage& image, const platform::Rect& area, QColor against) {
  double sum = 0;
  int count = 0;
  for (int y = static_cast<int>(area.minY()); y < static_cast<int>(area.maxY()); ++y) {
    for (int x = static_cast<int>(area.minX()); x < static_cast<int>(area.maxX()); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      sum += std::abs(pixel.red() - against.red()) + std::abs(pixel.green() - against.green()) +
             std::abs(pixel.blue() - against.blue());
      ++count;
    }
  }
  return count == 0 ? 0 : sum / count;
}

TEST_F(PopoverGames, WithoutKeyboardControlTheCardsAreDimmedAndStartNothing) {
  // Keyboard control is either permission; neither is granted.
  start([&] {
    for (const char* permission : {"accessibility", "input-monitoring"}) {
      const Completed revoked = desk_.simdesk().ctl({"privacy", "revoke", permission, "Deskplay"});
      ASSERT_EQ(revoked.status, 0) << revoked.errors;
    }
  });
  openPopover();
  ASSERT_TRUE(eventually([&] { return shows("AXButton", "Input access needed"); }))
      << "no permission banner";
  const PublishedElement card = *publishedElement("AXButton", "Snake");
  const platform::Rect besideCard{{card.frame.maxX() + 150, card.frame.midY()}, {1, 1}};
  const QImage dimmed(QString::fromStdString(desk_.screenshot("popover-dimmed-cards").string()));

  desk_.click(card.frame.midX(), card.frame.midY());
  EXPECT_EQ(desk_.simdesk().ctl({"press", "Snake"}).status, 1)
      << "a card without keyboard control took a press";
  EXPECT_TRUE(desk_.status()["currentGame"].is_null());

  // Granted while the popover is open: the next opening finds it.
  ASSERT_EQ(desk_.simdesk().ctl({"privacy", "grant", "accessibility", "Deskplay"}).status, 0);
  clickStatusItem();
  expectPopoverClosed();
  openPopover();
  ASSERT_TRUE(eventually([&] { return !shows("AXButton", "Input access needed"); }))
      << "the banner stayed after keyboard control was granted";
  const QImage enabled(QString::fromStdString(desk_.screenshot("popover-enabled-cards").string()));
  const QColor panelColour =
      enabled.pixelColor(static_cast<int>(besideCard.minX()), static_cast<int>(besideCard.minY()));
  EXPECT_LT(contrast(dimmed, card.frame, panelColour),
            0.7 * contrast(enabled, card.frame, panelColour))
      << "the card is not dimmed while keyboard control is missing";
}

}  // namespace
}  // namespace deskplay::testing
