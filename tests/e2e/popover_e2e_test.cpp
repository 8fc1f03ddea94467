// Games played through the popover alone, as a person plays them: a click on Deskplay's icon
// in simdesk's menu bar, a click on a game's card (or on a mode), and a click on "Stop &
// restore", with the real application, engine and companions.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "listed_windows.hpp"
#include "platform/sim/sim_status_items.hpp"
#include "played_desktop.hpp"

namespace deskplay::testing {
namespace {

constexpr double kPanelWidth = 480;
constexpr double kMenuBarHeight = 24;

// An element of what Deskplay published for its windows, as `simdeskctl ax-tree` prints it
// (global, top-left origin).
struct PublishedElement {
  std::string role;
  std::string title;
  platform::Rect frame;
};

class PopoverGames : public ::testing::Test {
 protected:
  void start(const std::function<void()>& beforeDeskplay = {}) {
    ASSERT_TRUE(desk_.start({"TILESTACK_SEED=7"}, beforeDeskplay)) << desk_.failure;
    entriesBefore_ = desk_.userEntries();
    iconsBefore_ = desk_.userIcons();
    ASSERT_TRUE(eventually([&] { return statusItem().size.width > 0; }))
        << "Deskplay's icon never appeared in the menu bar";
  }

  // Deskplay's status item as `simdeskctl status-items` lists it; null while there is none.
  nlohmann::json listedStatusItem() const {
    std::istringstream lines(desk_.simdesk().ctl({"status-items"}).output);
    for (std::string line; std::getline(lines, line);) {
      const auto item = nlohmann::json::parse(line, nullptr, false);
      if (!item.is_discarded() && item.value("owner", "") == "Deskplay") return item;
    }
    return nullptr;
  }

  // The frame of Deskplay's icon in the menu bar (top-left origin).
  platform::Rect statusItem() const {
    const nlohmann::json item = listedStatusItem();
    if (item.is_null()) return {};
    const auto& frame = item["frame"];
    return {{frame["x"].get<double>(), frame["y"].get<double>()},
            {frame["width"].get<double>(), frame["height"].get<double>()}};
  }

  std::optional<ListedWindow> panel() const {
    return listedContentWindow(desk_.simdesk(), "Deskplay");
  }

  void clickStatusItem() const {
    const platform::Rect item = statusItem();
    desk_.click(item.midX(), item.midY());
  }

  // Opens the popover with a click on the icon and waits until it is the key window.
  void openPopover() const {
    clickStatusItem();
    ASSERT_TRUE(eventually([&] {
      const auto shown = panel();
      return shown && shown->key && shown->alpha == 1;
    })) << "the popover did not open";
  }

  void expectPopoverClosed() const {
    EXPECT_TRUE(eventually([&] { return !panel().has_value(); })) << "the popover stayed open";
  }

  std::vector<PublishedElement> published() const {
    const pid_t pid = deskplayPid();
    std::vector<PublishedElement> elements;
    static const std::regex element(
        R"re((AX\w+) "(.*)" at \((-?[\d.]+), (-?[\d.]+)\) size ([\d.]+)x([\d.]+))re");
    std::istringstream lines(desk_.simdesk().ctl({"ax-tree", std::to_string(pid)}).output);
    for (std::string line; std::getline(lines, line);) {
      std::smatch found;
      if (!std::regex_search(line, found, element)) continue;
      elements.push_back({found[1],
                          found[2],
                          {{std::stod(found[3]), std::stod(found[4])},
                           {std::stod(found[5]), std::stod(found[6])}}});
    }
    return elements;
  }

  std::optional<PublishedElement> publishedElement(const std::string& role,
                                                   const std::string& title) const {
    for (const PublishedElement& element : published()) {
      if (element.role == role && element.title == title) return element;
    }
    return std::nullopt;
  }

  bool shows(const std::string& role, const std::string& title) const {
    return publishedElement(role, title).has_value();
  }

  // A click at the centre of the popover's element with that title, as the person clicks it.
  void clickElement(const std::string& title) const {
    std::optional<PublishedElement> element;
    ASSERT_TRUE(eventually([&] {
      element = publishedElement("AXButton", title);
      return element.has_value();
    })) << "the popover never showed \""
        << title << "\"";
    desk_.click(element->frame.midX(), element->frame.midY());
  }

  pid_t deskplayPid() const { return listedStatusItem().value("pid", 0); }

  void waitUntilPlaying(const std::string& game) const {
    ASSERT_TRUE(eventually([&] {
      const auto status = desk_.status();
      return status["currentGame"] == game && !desk_.tiles().empty();
    })) << game
        << " never started; game log:\n"
        << desk_.gameLogText();
    EXPECT_TRUE(desk_.userIcons().empty()) << "the Desktop was not stashed";
  }

  // After "Stop & restore": the session is over and the Desktop holds what it held before.
  void expectDesktopBack() const {
    ASSERT_TRUE(eventually([&] {
      const auto status = desk_.status();
      return status.value("session", "") == "idle" && status["currentGame"].is_null() &&
             desk_.tiles().empty();
    })) << "the game did not end; game log:\n"
        << desk_.gameLogText();
    EXPECT_TRUE(desk_.status()["lastError"].is_null());
    EXPECT_EQ(desk_.userEntries(), entriesBefore_);
    EXPECT_TRUE(eventually([&] { return desk_.userIcons().size() == iconsBefore_.size(); }));
  }

  PlayedDesktop desk_{builtBundle() / "Contents" / "MacOS" / "Deskplay",
                      PlayedDesktop::Interface::menuBar};
  std::map<std::string, std::string> entriesBefore_;
  std::vector<DesktopIcon> iconsBefore_;
};

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
