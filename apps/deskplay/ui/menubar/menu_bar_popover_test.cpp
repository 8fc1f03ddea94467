#include "ui/menubar/menu_bar_popover.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_distributed_notifications.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_main_loop_timers.hpp"
#include "platform/testing/fake_status_items.hpp"
#include "platform/testing/fake_windows.hpp"

namespace deskplay::ui {
namespace {

using platform::ClickVerdict;
using platform::Clock;
using platform::EventType;
using platform::Highlight;
using platform::PointerButton;
using platform::Rect;
using platform::Size;
namespace flags = platform::event_flags;

// Content that only knows its size, which the test changes.
class SizedContent final : public PopoverContent {
 public:
  void attach(platform::ContentWindow& window) override { attached = &window; }
  void detach() override { attached = nullptr; }
  void setShown(bool now) override { shown.push_back(now); }
  Size size() const override { return current; }
  void setSizeHandler(SizeHandler handler) override { sizeHandler = std::move(handler); }

  void resize(Size size) {
    current = size;
    if (sizeHandler) sizeHandler(size);
  }

  Size current{480, 300};
  platform::ContentWindow* attached = nullptr;
  SizeHandler sizeHandler;
  std::vector<bool> shown;
};

struct PopoverFixture : ::testing::Test {
  platform::testing::FakeStatusItems statusItems;
  platform::testing::FakeWindows windows;
  platform::testing::FakeEventTaps eventTaps;
  platform::testing::FakeDistributedNotifications notifications;
  platform::testing::FakeClock clock;
  platform::testing::FakeMainLoopTimers timers{clock};
  SizedContent content;
  std::vector<Rect> menuPopUps;

  MenuBarPopoverScene scene() {
    MenuBarPopoverScene scene;
    scene.title = "Deskplay";
    scene.image = platform::Image{{1, 2, 3}, 18, 18};
    return scene;
  }

  std::unique_ptr<MenuBarPopover> make(MenuBarPopoverScene scene) {
    return std::make_unique<MenuBarPopover>(
        MenuBarPopoverPorts{statusItems, windows, eventTaps, notifications, timers, clock},
        std::move(scene), content);
  }

  platform::testing::FakeStatusItem& button() { return *statusItems.items().front(); }
  platform::testing::FakeContentWindow& panel() { return *windows.contentWindows().front(); }
  ClickVerdict click(PointerButton pressed = PointerButton::left, std::uint64_t with = 0) {
    platform::StatusItemClick pressing;
    pressing.button = pressed;
    pressing.flags = with;
    return button().click(pressing);
  }
  void finishFade() { timers.advance(Clock::Seconds(0.35)); }
};

TEST_F(PopoverFixture, MakesItsStatusItemAndPanelOnce) {
  const auto popover = make(scene());
  ASSERT_EQ(statusItems.items().size(), 1u);
  EXPECT_EQ(button().appearance().accessibilityTitle, "Deskplay");
  EXPECT_TRUE(button().appearance().title.empty()) << "the image stands for the title";
  ASSERT_EQ(windows.contentWindows().size(), 1u);
  EXPECT_EQ(panel().title(), "Deskplay");
  EXPECT_EQ(panel().traits(), MenuBarPopoverWindow::kTraits);
  EXPECT_EQ(panel().traits().level, 25);
  EXPECT_FALSE(panel().traits().opaque);
  EXPECT_FALSE(panel().traits().movableByWindowBackground);
  EXPECT_TRUE(panel().traits().floatingPanel);
  EXPECT_FALSE(panel().isVisible());
  EXPECT_EQ(content.attached, &panel());
}

TEST_F(PopoverFixture, ASceneWithoutImageShowsItsTitle) {
  MenuBarPopoverScene plain = scene();
  plain.image.reset();
  const auto popover = make(plain);
  EXPECT_EQ(button().appearance().title, "Deskplay");
}

TEST_F(PopoverFixture, AClickOpensThePanelUnderTheButtonKeyAndHighlighted) {
  const auto popover = make(scene());
  button().setButtonWindowFrame({{600, 876}, {30, 24}});
  EXPECT_EQ(click(), ClickVerdict::take);
  EXPECT_TRUE(panel().isVisible());
  EXPECT_TRUE(panel().isKey());
  EXPECT_EQ(button().highlight(), Highlight::on);
  EXPECT_EQ(panel().alpha(), 1);
  const Rect item = *button().buttonWindowFrame();
  EXPECT_EQ(panel().frame(), (Rect{{item.minX() - 2, item.minY() - 300}, {480, 300}}));
  EXPECT_EQ(notifications.posted(),
            std::vector<std::string>{MenuBarPopoverStatusItem::kBeginMenuTracking});
  EXPECT_EQ(eventTaps.monitorCount(), 1);
}

TEST_F(PopoverFixture, ASecondClickFadesThePanelOutThenOrdersItOut) {
  const auto popover = make(scene());
  click();
  EXPECT_EQ(click(), ClickVerdict::take);
  EXPECT_EQ(notifications.posted().back(), MenuBarPopoverStatusItem::kEndMenuTracking);
  EXPECT_TRUE(panel().isVisible()) << "still fading";
  timers.advance(Clock::Seconds(0.2));
  EXPECT_GT(panel().alpha(), 0);
  EXPECT_LT(panel().alpha(), 1);
  EXPECT_EQ(button().highlight(), Highlight::on);
  finishFade();
  EXPECT_FALSE(panel().isVisible());
  EXPECT_EQ(panel().alpha(), 1) << "alpha is back for the next opening";
  EXPECT_EQ(button().highlight(), Highlight::off);
  EXPECT_EQ(eventTaps.monitorCount(), 0);
  EXPECT_EQ(content.shown, (std::vector<bool>{true, false})) << "drawn only while shown";
}

TEST_F(PopoverFixture, AClickThatResignsKeyBeforeItLandsClosesOnlyOnce) {
  // The window server makes the key panel resign before the click on the item lands.
  const auto popover = make(scene());
  click();
  panel().sendKeyState(platform::KeyState::resigned);
  click();
  finishFade();
  EXPECT_FALSE(panel().isVisible());
  EXPECT_EQ(notifications.posted(),
            (std::vector<std::string>{MenuBarPopoverStatusItem::kBeginMenuTracking,
                                      MenuBarPopoverStatusItem::kEndMenuTracking}));
}

TEST_F(PopoverFixture, AMouseDownInAnotherApplicationClosesThePanel) {
  const auto popover = make(scene());
  click();
  platform::Event elsewhere;
  elsewhere.type = EventType::rightMouseDown;
  eventTaps.deliverToMonitors(elsewhere);
  EXPECT_FALSE(panel().isKey());
  finishFade();
  EXPECT_FALSE(panel().isVisible());
}

TEST_F(PopoverFixture, ModifiedAndRightClicksFollowTheMenu) {
  MenuBarPopoverScene withMenu = scene();
  withMenu.menu = [this](const Rect& at) { menuPopUps.push_back(at); };
  const auto popover = make(withMenu);
  EXPECT_EQ(click(PointerButton::left, flags::command), ClickVerdict::pass);
  EXPECT_EQ(click(PointerButton::right, flags::command), ClickVerdict::pass);
  EXPECT_EQ(click(PointerButton::right), ClickVerdict::take);
  EXPECT_EQ(click(PointerButton::left, flags::control), ClickVerdict::take);
  EXPECT_EQ(menuPopUps.size(), 2u);
  EXPECT_EQ(menuPopUps.front(), *button().buttonWindowFrame());
  EXPECT_FALSE(panel().isVisible());
}

TEST_F(PopoverFixture, WithoutAMenuRightAndControlClicksPass) {
  const auto popover = make(scene());
  EXPECT_EQ(click(PointerButton::right), ClickVerdict::pass);
  EXPECT_EQ(click(PointerButton::left, flags::control), ClickVerdict::pass);
  EXPECT_FALSE(panel().isVisible());
}

TEST_F(PopoverFixture, AnItemNearTheRightEdgeOpensThePanelRightAligned) {
  const auto popover = make(scene());
  button().setButtonWindowFrame({{1300, 876}, {30, 24}});
  click();
  EXPECT_EQ(panel().frame().minX(), 1300 + 30 - 480 + 2);
}

TEST_F(PopoverFixture, GrowingContentResizesOnTheNextTurnKeepingTheTopEdge) {
  const auto popover = make(scene());
  click();
  const double top = panel().frame().maxY();
  const int displays = panel().displayCount();
  content.resize({480, 420});
  content.resize({480, 440});
  EXPECT_EQ(panel().frame().size, (Size{480, 300})) << "not before the next turn";
  timers.runDue();
  EXPECT_EQ(panel().frame().size, (Size{480, 440}));
  EXPECT_EQ(panel().frame().maxY(), top);
  EXPECT_EQ(panel().displayCount(), displays + 1) << "a shown panel redraws with its new frame";
  EXPECT_EQ(timers.pendingCount(), 0);
}

TEST_F(PopoverFixture, AReportOfTheSameSizeChangesNothing) {
  const auto popover = make(scene());
  click();
  content.resize({480, 300});
  EXPECT_EQ(timers.pendingCount(), 0);
}

TEST_F(PopoverFixture, AResizeQueuedBeforeThePopoverGoesIsDropped) {
  auto popover = make(scene());
  content.resize({480, 500});
  popover.reset();
  timers.runDue();
  EXPECT_TRUE(windows.contentWindows().empty());
}

TEST_F(PopoverFixture, WithoutItsButtonThePanelKeepsItsTopEdge) {
  const auto popover = make(scene());
  click();
  const Rect before = panel().frame();
  button().setPresence(platform::Presence::removed);
  popover->statusItem().setWindowFrame({480, 100}, FrameAnimation::none);
  EXPECT_EQ(panel().frame(), (Rect{{before.minX(), before.maxY() - 100}, {480, 100}}));
}

TEST_F(PopoverFixture, RemovingTheItemClosesThePanelAndIsReported) {
  const auto popover = make(scene());
  std::vector<bool> reported;
  popover->statusItem().setInsertedHandler([&](bool inserted) { reported.push_back(inserted); });
  click();
  button().dragOut();
  finishFade();
  EXPECT_FALSE(panel().isVisible());
  EXPECT_FALSE(popover->statusItem().isInserted());
  EXPECT_EQ(reported, std::vector<bool>{false});
  popover->statusItem().setInserted(true);
  EXPECT_EQ(button().presence(), platform::Presence::inserted);
}

TEST_F(PopoverFixture, OpenComesForwardOnlyWhenClosed) {
  const auto popover = make(scene());
  popover->open();
  EXPECT_TRUE(panel().isKey());
  popover->open();
  EXPECT_FALSE(popover->statusItem().isClosing());
}

TEST_F(PopoverFixture, DismissClosesTheKeyPanelByFadingAndAnotherAtOnce) {
  const auto popover = make(scene());
  click();
  dismissMenuBarPopover();
  EXPECT_TRUE(popover->statusItem().isClosing());
  finishFade();
  EXPECT_FALSE(panel().isVisible());

  click();
  panel().sendKeyState(platform::KeyState::resigned);
  finishFade();
  panel().orderFrontRegardless();  // shown without being key
  dismissMenuBarPopover();
  EXPECT_FALSE(panel().isVisible());
}

TEST_F(PopoverFixture, DismissLeavesPanelsWithOtherTitlesAlone) {
  MenuBarPopoverScene other = scene();
  other.title = "Other";
  const auto popover = make(other);
  click();
  dismissMenuBarPopover();
  EXPECT_TRUE(panel().isKey());
}

}  // namespace
}  // namespace deskplay::ui
