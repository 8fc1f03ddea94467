#include "listener/input_listener.hpp"

#include <gtest/gtest.h>

#include "listener/permission.hpp"
#include "listener/recording_line_output.hpp"
#include "platform/input_permission.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_privacy_checks.hpp"
#include "platform/testing/fake_windows.hpp"
#include "platform/testing/fake_workspace.hpp"

namespace deskplay::keyhark {
namespace {

using platform::Event;
using platform::EventType;
using platform::TapVerdict;
using Access = platform::PrivacyChecks::Access;
using Lines = std::vector<std::string>;

const Lines kPermissionDenied{
    "LISTENER_PERMISSION_DENIED",
    "Global keyboard capture needs Accessibility (or Input Monitoring) for the app that launched "
    "this program.",
    "Opening System Settings — grant access to your terminal, then restart this program."};
const Lines kTapFailed{"LISTENER_TAP_FAILED",
                       "Could not create the keyboard event tap — check Accessibility permission."};

class InputListenerTest : public ::testing::Test {
 protected:
  ListenerServices services() {
    return {taps_, accessibility_, privacy_, workspace_, windows_, clock_, events_, status_};
  }

  platform::testing::FakeEventTaps taps_;
  platform::testing::FakeAccessibility accessibility_;
  platform::testing::FakePrivacyChecks privacy_;
  platform::testing::FakeWorkspace workspace_;
  platform::testing::FakeWindows windows_;
  platform::testing::FakeClock clock_;
  testing::RecordingLineOutput events_;
  testing::RecordingLineOutput status_;
};

TEST_F(InputListenerTest, EitherPermissionIsEnough) {
  struct Case {
    bool trusted;
    Access access;
    bool permitted;
  };
  const Case cases[] = {{true, Access::denied, true},
                        {false, Access::granted, true},
                        {false, Access::denied, false},
                        {false, Access::unknown, false}};
  for (const Case& c : cases) {
    accessibility_.setTrusted(c.trusted);
    privacy_.setAccess(c.access);
    EXPECT_EQ(platform::hasInputPermission(accessibility_, privacy_), c.permitted);
    testing::RecordingLineOutput output;
    EXPECT_EQ(runPermissionCheck(accessibility_, privacy_, output), c.permitted ? 0 : 1);
    EXPECT_EQ(output.lines(), Lines{c.permitted ? "TRUSTED" : "UNTRUSTED"});
  }
  EXPECT_EQ(accessibility_.prompts(), 0);
  EXPECT_TRUE(workspace_.openedUrls().empty());
}

TEST_F(InputListenerTest, KeyboardModeInstallsAnEnabledKeyDownTap) {
  InputListener listener(ListenMode::keyboard, services());
  listener.didFinishLaunching();
  EXPECT_EQ(status_.lines(), Lines{"LISTENER_READY"});
  EXPECT_TRUE(listener.hasTap());
  EXPECT_EQ(taps_.maskOfNewestTap(), platform::eventMaskOf(EventType::keyDown));
  EXPECT_EQ(taps_.enabledTapCount(), 1);

  Event key;
  key.type = EventType::keyDown;
  key.keyCode = 0;
  key.charactersIgnoringModifiers = "a";
  EXPECT_EQ(taps_.inject(key), TapVerdict::swallow);
  EXPECT_EQ(events_.lines(), Lines{R"({"type":"keydown","keyCode":0,"char":"a"})"});
}

TEST_F(InputListenerTest, MouseModeTapsTheFiveButtonEvents) {
  InputListener listener(ListenMode::mouse, services());
  listener.didFinishLaunching();
  EXPECT_EQ(taps_.maskOfNewestTap(), platform::EventMask{0x5E});

  listener.captureSettings().setCaptureDesktopDrags(true);
  Event press;
  press.type = EventType::rightMouseDown;
  EXPECT_EQ(taps_.inject(press), TapVerdict::swallow);
  EXPECT_EQ(events_.lines(), Lines{R"({"type":"rightclick","x":0,"y":0})"});
}

TEST_F(InputListenerTest, WithoutPermissionAsksAndStillTriesTheTap) {
  accessibility_.setTrusted(false);
  privacy_.setAccess(Access::denied);
  InputListener listener(ListenMode::keyboard, services());
  listener.didFinishLaunching();
  Lines expected = kPermissionDenied;
  expected.push_back("LISTENER_READY");
  EXPECT_EQ(status_.lines(), expected);
  EXPECT_EQ(accessibility_.prompts(), 1);
  EXPECT_EQ(workspace_.openedUrls(),
            Lines{"x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"});
  EXPECT_TRUE(listener.hasTap());
}

TEST_F(InputListenerTest, RefusedTapIsReportedAndNothingElseHappens) {
  accessibility_.setTrusted(false);
  privacy_.setAccess(Access::unknown);
  workspace_.refuseUrls(true);
  taps_.refuseTaps(true);
  InputListener listener(ListenMode::mouse, services());
  listener.didFinishLaunching();
  Lines expected = kPermissionDenied;
  expected.insert(expected.end(), kTapFailed.begin(), kTapFailed.end());
  EXPECT_EQ(status_.lines(), expected);
  EXPECT_FALSE(listener.hasTap());
  EXPECT_EQ(taps_.tapCount(), 0);
}

TEST_F(InputListenerTest, PermittedRefusalSaysOnlyThatTheTapFailed) {
  taps_.refuseTaps(true);
  InputListener listener(ListenMode::keyboard, services());
  listener.didFinishLaunching();
  EXPECT_EQ(status_.lines(), kTapFailed);
  EXPECT_EQ(accessibility_.prompts(), 0);
}

}  // namespace
}  // namespace deskplay::keyhark
