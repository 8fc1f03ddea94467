#include "platform/sim/sim_accessibility.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_windows.hpp"
#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using platform::AccessibilityElement;
using platform::AttributeValue;

struct Icon {
  AccessibilityElement element;
  platform::Point position;
  platform::Size size;
};

// The desktop walk the icon controller makes: breadth first from Finder's application
// element, the menu bar skipped, file-name elements as leaves.
std::map<std::string, Icon> walkDesktop(platform::Accessibility& accessibility, platform::ProcessId finder) {
  std::map<std::string, Icon> icons;
  const auto application = accessibility.applicationElement(finder);
  if (!application) return icons;
  std::deque<AccessibilityElement> queue;
  const auto children = [&](AccessibilityElement element) {
    auto value = accessibility.attribute(element, platform::kAXChildren);
    auto* list = std::get_if<std::vector<AccessibilityElement>>(&value);
    return list ? *list : std::vector<AccessibilityElement>{};
  };
  for (const auto child : children(*application)) {
    auto role = accessibility.attribute(child, platform::kAXRole);
    if (std::get_if<std::string>(&role) && std::get<std::string>(role) == platform::kAXMenuBarRole) continue;
    queue.push_back(child);
  }
  for (int examined = 0; !queue.empty() && examined < 5000; ++examined) {
    const AccessibilityElement element = queue.front();
    queue.pop_front();
    auto name = accessibility.attribute(element, platform::kAXFilename);
    if (auto* text = std::get_if<std::string>(&name)) {
      auto position = accessibility.attribute(element, platform::kAXPosition);
      auto size = accessibility.attribute(element, platform::kAXSize);
      if (std::holds_alternative<platform::Point>(position) && std::holds_alternative<platform::Size>(size)) {
        icons.emplace(*text, Icon{element, std::get<platform::Point>(position), std::get<platform::Size>(size)});
      }
      continue;
    }
    for (const auto child : children(element)) queue.push_back(child);
  }
  return icons;
}

std::optional<platform::ProcessId> finderPid(platform::Windows& windows) {
  for (const auto& application : windows.runningApplications()) {
    if (application.bundleIdentifier == "com.apple.finder") return application.process;
  }
  return std::nullopt;
}

class SimAccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"one.txt", "two.txt", "three.txt"}) writeFile(session_.desktop() / name, "x");
    ASSERT_TRUE(session_.start());
    connection_ = session_.connect("Glyphon");
    accessibility_ = std::make_unique<platform::SimAccessibility>(*connection_);
    windows_ = std::make_unique<platform::SimWindows>(*connection_);
    const auto pid = finderPid(*windows_);
    ASSERT_TRUE(pid);
    finder_ = *pid;
  }

  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  std::unique_ptr<platform::SimAccessibility> accessibility_;
  std::unique_ptr<platform::SimWindows> windows_;
  platform::ProcessId finder_ = 0;
};

TEST_F(SimAccessibilityTest, AWalkFindsEveryDesktopIconInAFewRequests) {
  const std::uint64_t before = accessibility_->requestCount();
  const auto icons = walkDesktop(*accessibility_, finder_);
  ASSERT_EQ(icons.size(), 3u);
  for (const auto& [name, icon] : icons) {
    EXPECT_GT(icon.size.width, 0) << name;
    EXPECT_GT(icon.size.height, 0) << name;
    EXPECT_EQ(accessibility_->processOf(icon.element), finder_);
    auto url = accessibility_->attribute(icon.element, platform::kAXURL);
    ASSERT_TRUE(std::holds_alternative<platform::AccessibilityUrl>(url)) << name;
    EXPECT_TRUE(std::get<platform::AccessibilityUrl>(url).text.ends_with("/Desktop/" + name));
  }
  EXPECT_NE(icons.at("one.txt").position, icons.at("two.txt").position);
  // One request for the application and one per container, however many icons there are.
  EXPECT_LE(accessibility_->requestCount() - before, 6u);
}

TEST_F(SimAccessibilityTest, APositionReadAfterTheCallersOwnMoveIsTheNewOne) {
  auto icons = walkDesktop(*accessibility_, finder_);
  ASSERT_TRUE(icons.contains("two.txt"));
  const Icon before = icons.at("two.txt");
  platform::SimScriptHost scripts(*connection_);
  const std::string path = (session_.desktop() / "two.txt").string();
  const auto moved = scripts.run("tell application \"Finder\" to set desktop position of item \"two.txt\" of desktop to {300, 400}");
  ASSERT_EQ(moved.outcome, platform::ScriptRun::Outcome::succeeded) << moved.error.description;
  // The same element, read again without a new walk.
  const auto position = accessibility_->attribute(before.element, platform::kAXPosition);
  ASSERT_TRUE(std::holds_alternative<platform::Point>(position));
  EXPECT_NE(std::get<platform::Point>(position), before.position);
  const auto now = walkDesktop(*accessibility_, finder_);
  EXPECT_EQ(std::get<platform::Point>(position), now.at("two.txt").position);
}

TEST_F(SimAccessibilityTest, HitTestingFindsTheIconAndItsAncestorsWithoutFurtherRequests) {
  const auto icons = walkDesktop(*accessibility_, finder_);
  const Icon& icon = icons.at("three.txt");
  const auto hit = accessibility_->elementAtPoint(static_cast<float>(icon.position.x + icon.size.width / 2),
                                                  static_cast<float>(icon.position.y + icon.size.height / 2));
  ASSERT_TRUE(hit);
  EXPECT_EQ(accessibility_->processOf(*hit), finder_);
  auto name = accessibility_->attribute(*hit, platform::kAXFilename);
  ASSERT_TRUE(std::holds_alternative<std::string>(name));
  EXPECT_EQ(std::get<std::string>(name), "three.txt");

  const std::uint64_t before = accessibility_->requestCount();
  AccessibilityElement current = *hit;
  for (int depth = 0; depth < 6; ++depth) {
    auto parent = accessibility_->attribute(current, platform::kAXParent);
    if (!std::holds_alternative<AccessibilityElement>(parent)) break;
    current = std::get<AccessibilityElement>(parent);
    (void)accessibility_->attribute(current, platform::kAXRole);
  }
  EXPECT_EQ(accessibility_->requestCount(), before);
  auto role = accessibility_->attribute(current, platform::kAXRole);
  EXPECT_EQ(std::get<std::string>(role), "AXApplication");

  EXPECT_FALSE(accessibility_->elementAtPoint(-5000.0f, -5000.0f));
}

TEST_F(SimAccessibilityTest, WithoutThePermissionNothingIsReadableAndAPromptIsRecorded) {
  EXPECT_TRUE(accessibility_->isProcessTrusted(platform::Accessibility::Prompt::no));
  ASSERT_EQ(session_.ctl({"privacy", "revoke", "accessibility", "Glyphon"}).status, 0);
  EXPECT_FALSE(accessibility_->isProcessTrusted(platform::Accessibility::Prompt::no));
  EXPECT_EQ(session_.ctl({"prompts"}).output, "");
  EXPECT_FALSE(accessibility_->isProcessTrusted(platform::Accessibility::Prompt::yes));
  EXPECT_EQ(session_.ctl({"prompts"}).output, "prompt accessibility Glyphon\n");
  EXPECT_FALSE(accessibility_->applicationElement(finder_));
  EXPECT_TRUE(walkDesktop(*accessibility_, finder_).empty());
}

TEST_F(SimAccessibilityTest, ElementsOfAQuitFinderReadAsMissing) {
  const auto icons = walkDesktop(*accessibility_, finder_);
  ASSERT_EQ(session_.ctl({"finder", "quit"}).status, 0);
  // A change made by another program shows once the snapshot has expired.
  EXPECT_TRUE(eventually([&] {
    return std::holds_alternative<std::monostate>(
        accessibility_->attribute(icons.at("one.txt").element, platform::kAXPosition));
  }));
  EXPECT_FALSE(accessibility_->processOf(icons.at("one.txt").element));
  EXPECT_FALSE(accessibility_->applicationElement(finder_));
}

TEST(SimAccessibilityWithoutSimdeskTest, AnswersAsIfNothingWereThere) {
  SimdeskSession session;
  auto connection = session.connect("Glyphon");
  platform::SimAccessibility accessibility(*connection);
  EXPECT_FALSE(accessibility.isProcessTrusted(platform::Accessibility::Prompt::yes));
  EXPECT_FALSE(accessibility.applicationElement(4200100));
  EXPECT_FALSE(accessibility.elementAtPoint(10.0f, 10.0f));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(accessibility.attribute({42}, platform::kAXRole)));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(accessibility.attribute({42}, platform::kAXChildren)));
  EXPECT_FALSE(accessibility.processOf({42}));
}

}  // namespace
}  // namespace deskplay::testing
