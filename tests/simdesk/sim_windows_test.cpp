#include "platform/sim/sim_windows.hpp"

#include <gtest/gtest.h>

#include <QImage>

#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using platform::Rect;

platform::WindowTraits coverTraits(platform::Color colour) {
  platform::WindowTraits traits;
  traits.level = -2147483603 + 1;
  traits.background = colour;
  traits.hasShadow = false;
  traits.collectionBehavior = 0x51;
  return traits;
}

std::optional<platform::WindowInfo> listed(platform::Windows& windows, const std::string& owner) {
  for (const auto& info : windows.onScreenWindows()) {
    if (info.ownerName == owner) return info;
  }
  return std::nullopt;
}

class SimWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.start());
    connection_ = session_.connect("Glyphon");
    windows_ = std::make_unique<platform::SimWindows>(*connection_);
  }

  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  std::unique_ptr<platform::SimWindows> windows_;
};

TEST_F(SimWindowsTest, ScreensApplicationsAndLevels) {
  const auto screens = windows_->screens();
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(screens[0].frame, (Rect{{0, 0}, {1440, 900}}));
  EXPECT_LT(screens[0].visibleFrame.size.height, 900);
  EXPECT_EQ(windows_->mainScreen(), screens[0]);
  EXPECT_EQ(windows_->windowLevelForKey(platform::WindowLevelKey::desktopIcon), -2147483603);

  bool finder = false;
  bool us = false;
  for (const auto& application : windows_->runningApplications()) {
    finder = finder || application.bundleIdentifier == "com.apple.finder";
    us = us || application.localizedName == "Glyphon";
  }
  EXPECT_TRUE(finder);
  EXPECT_TRUE(us);
  const auto frontmost = windows_->frontmostApplication();
  ASSERT_TRUE(frontmost);
  EXPECT_EQ(frontmost->bundleIdentifier, "com.apple.finder");

  ASSERT_EQ(session_.ctl({"screens", "none"}).status, 0);
  EXPECT_TRUE(windows_->screens().empty());
  EXPECT_FALSE(windows_->mainScreen());
}

TEST_F(SimWindowsTest, AWindowShowsInTheWindowListAsItsOwnerMovesIt) {
  auto cover = windows_->createWindow({{{0, 850}, {100, 50}}});
  cover->configure(coverTraits({0, 1, 0, 1}));
  EXPECT_FALSE(listed(*windows_, "Glyphon")) << "hidden until ordered front";
  cover->orderFrontRegardless();
  auto info = listed(*windows_, "Glyphon");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->bounds, (Rect{{0, 0}, {100, 50}})) << "listed with the top-left origin";

  cover->setFrame({{200, 500}, {300, 40}}, platform::Redraw::now);
  EXPECT_EQ(cover->frame(), (Rect{{200, 500}, {300, 40}}));
  info = listed(*windows_, "Glyphon");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->bounds, (Rect{{200, 360}, {300, 40}}));

  cover->orderOut();
  EXPECT_FALSE(cover->isVisible());
  EXPECT_FALSE(listed(*windows_, "Glyphon"));
  cover->orderFrontRegardless();
  cover.reset();
  EXPECT_FALSE(listed(*windows_, "Glyphon")) << "destroying the window closes it";
}

TEST_F(SimWindowsTest, TheStatusPanelsContentReachesSimdesk) {
  auto panel = windows_->createStatusPanel({{{0, 0}, {280, 96}}, 0x80, platform::WindowSpec::Kind::panel});
  platform::StatusPanel::Content content;
  content.text = "Loading";
  content.accessibilityLabel = "Loading";
  content.labelFrame = {{100, 34}, {90, 28}};
  content.spinnerFrame = {{68, 38}, {20, 20}};
  content.spinnerVisible = true;
  content.spinnerAnimating = true;
  panel->setContent(content);
  panel->orderFrontRegardless();
  EXPECT_EQ(panel->content(), content);
  const Completed state = session_.ctl({"state"});
  EXPECT_NE(state.output.find("\"Loading\""), std::string::npos);
}

TEST_F(SimWindowsTest, TextWidthsComeFromSimdesksFont) {
  const double regular = windows_->textWidth("Loading", {22, platform::FontWeight::regular});
  const double semibold = windows_->textWidth("Loading", {22, platform::FontWeight::semibold});
  EXPECT_GT(regular, 0);
  EXPECT_GE(semibold, regular);
  EXPECT_LT(windows_->textWidth("Lo", {22, platform::FontWeight::regular}), regular);
  EXPECT_EQ(windows_->textWidth("Loading", {22, platform::FontWeight::regular}), regular);
}

TEST_F(SimWindowsTest, ReduceMotionChangesReachTheObserversUntilTheyGo) {
  EXPECT_FALSE(windows_->reduceMotion());
  int changes = 0;
  auto observation = windows_->observeDisplayOptions([&] { ++changes; });
  ASSERT_EQ(session_.ctl({"reduce-motion", "on"}).status, 0);
  // Delivered at the next call into the adapter once it has arrived.
  ASSERT_TRUE(eventually([&] {
    if (windows_->reduceMotion()) connection_->dispatchEvents();
    return changes > 0;
  }));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(windows_->reduceMotion());

  observation.reset();
  ASSERT_EQ(session_.ctl({"reduce-motion", "off"}).status, 0);
  ASSERT_TRUE(eventually([&] { return !windows_->reduceMotion(); }));
  connection_->dispatchEvents();
  EXPECT_EQ(changes, 1);
}

TEST_F(SimWindowsTest, AWindowComesBackAfterSimdeskRestarted) {
  auto cover = windows_->createWindow({{{10, 10}, {60, 60}}});
  cover->configure(coverTraits({1, 0, 0, 1}));
  cover->orderFrontRegardless();
  ASSERT_TRUE(listed(*windows_, "Glyphon"));
  ASSERT_EQ(session_.stop(), 0);
  ASSERT_TRUE(session_.start());
  EXPECT_FALSE(listed(*windows_, "Glyphon"));
  cover->setFrameOrigin({20, 30});
  const auto info = listed(*windows_, "Glyphon");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->bounds, (Rect{{20, 900 - 30 - 60}, {60, 60}}));
}

TEST(SimWindowsWithoutSimdeskTest, NothingIsThereAndWindowsWaitForSimdesk) {
  SimdeskSession session;
  auto connection = session.connect("Glyphon");
  platform::SimWindows windows(*connection);
  EXPECT_TRUE(windows.screens().empty());
  EXPECT_FALSE(windows.mainScreen());
  EXPECT_TRUE(windows.onScreenWindows().empty());
  EXPECT_TRUE(windows.runningApplications().empty());
  EXPECT_FALSE(windows.frontmostApplication());
  EXPECT_FALSE(windows.reduceMotion());
  EXPECT_GT(windows.textWidth("Goodbye", {22, platform::FontWeight::semibold}), 0);
  auto observation = windows.observeDisplayOptions([] {});

  auto cover = windows.createWindow({{{0, 0}, {10, 10}}});
  cover->configure(coverTraits({0, 0, 1, 1}));
  cover->orderFrontRegardless();
  cover->setFrame({{5, 5}, {20, 20}}, platform::Redraw::later);
  EXPECT_TRUE(cover->isVisible());
  EXPECT_EQ(cover->frame(), (Rect{{5, 5}, {20, 20}}));
  EXPECT_EQ(cover->traits(), coverTraits({0, 0, 1, 1}));

  ASSERT_TRUE(session.start());
  cover->display();
  const auto info = listed(windows, "Glyphon");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->bounds, (Rect{{5, 900 - 5 - 20}, {20, 20}}));
}

// A cover drawn by simdesk: its colour fills its frame in the screenshot, and only there.
TEST_F(SimWindowsTest, ACoverIsDrawnInItsColourInsideItsFrame) {
  writeFile(session_.desktop() / "under.txt", "x");
  auto cover = windows_->createWindow({{{100, 100}, {200, 120}}});
  cover->configure(coverTraits({1, 0, 0, 1}));
  cover->orderFrontRegardless();
  const std::filesystem::path shot = session_.home() / "shot.png";
  const Completed done = session_.ctl({"screenshot", shot.string()});
  ASSERT_EQ(done.status, 0) << done.errors;
  QImage image(QString::fromStdString(shot.string()));
  ASSERT_EQ(image.size(), QSize(1440, 900));
  // The frame's bottom-left origin (100, 100) is (100, 900 - 100 - 120) from the top.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{100, 680}, {299, 680}, {100, 799}, {299, 799}, {200, 740}}) {
    EXPECT_EQ(image.pixelColor(x, y), QColor(255, 0, 0)) << x << "," << y;
  }
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{99, 740}, {300, 740}, {200, 679}, {200, 800}}) {
    EXPECT_NE(image.pixelColor(x, y), QColor(255, 0, 0)) << x << "," << y;
  }
}

}  // namespace
}  // namespace deskplay::testing
