#include "listener/desktop_lookup.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_windows.hpp"

namespace deskplay::keyhark {
namespace {

using platform::AccessibilityElement;
using platform::AccessibilityUrl;
using platform::Rect;

constexpr platform::ProcessId kFinder = 300;
constexpr platform::ProcessId kEditor = 400;

class DesktopLookupTest : public ::testing::Test {
 protected:
  DesktopLookupTest() {
    windows_.setRunningApplications({{kFinder, "com.apple.finder", "Finder"},
                                     {kEditor, "com.example.editor", "Editor"},
                                     {500, std::nullopt, "Nameless"}});
  }

  // An element covering (0,0)-(100,100), owned by `owner`.
  AccessibilityElement placed(platform::ProcessId owner,
                              std::map<std::string, platform::AttributeValue, std::less<>> values) {
    const AccessibilityElement element = accessibility_.addElement(owner, std::move(values));
    accessibility_.placeElement(element, Rect{{0, 0}, {100, 100}});
    return element;
  }

  // A chain of `depth` nameless elements above the hit one, the topmost carrying `values`.
  void chainWithNameAtDepth(int depth,
                            std::map<std::string, platform::AttributeValue, std::less<>> values) {
    AccessibilityElement top = accessibility_.addElement(kFinder, std::move(values));
    for (int level = 0; level < depth; ++level) {
      const AccessibilityElement below = accessibility_.addElement(kFinder);
      accessibility_.setParent(below, top);
      top = below;
    }
    accessibility_.placeElement(top, Rect{{0, 0}, {100, 100}});
  }

  platform::testing::FakeAccessibility accessibility_;
  platform::testing::FakeWindows windows_;
  DesktopLookup lookup_{accessibility_, windows_};
};

TEST_F(DesktopLookupTest, NamesWhatTheFirstUsefulAttributeSays) {
  struct Case {
    const char* what;
    std::map<std::string, platform::AttributeValue, std::less<>> values;
    std::optional<std::string> target;
  };
  const std::string url(platform::kAXURL);
  const std::string filename(platform::kAXFilename);
  const std::string title(platform::kAXTitle);
  const Case cases[] = {
      {"URL value",
       {{url, AccessibilityUrl{"file:///home/me/Desktop/a%20b.txt"}}},
       "/home/me/Desktop/a b.txt"},
      {"URL before file name",
       {{url, AccessibilityUrl{"file:///home/me/Desktop/x"}}, {filename, std::string("y")}},
       "/home/me/Desktop/x"},
      {"URL as text",
       {{url, std::string("file:///home/me/Desktop/Folder/")}},
       "/home/me/Desktop/Folder"},
      {"URL text that is no URL",
       {{url, std::string("not a url")}, {filename, std::string("f")}},
       "f"},
      {"URL of another type", {{url, true}, {title, std::string("T")}}, "T"},
      {"file name", {{filename, std::string("notes.txt")}}, "notes.txt"},
      {"empty file name still counts", {{filename, std::string()}, {title, std::string("T")}}, ""},
      {"title", {{title, std::string("Trash")}}, "Trash"},
      {"empty title", {{title, std::string()}}, std::nullopt},
      {"nothing", {}, std::nullopt},
  };
  for (const Case& c : cases) {
    platform::testing::FakeAccessibility accessibility;
    const AccessibilityElement element = accessibility.addElement(kFinder, c.values);
    accessibility.placeElement(element, Rect{{0, 0}, {100, 100}});
    DesktopLookup lookup(accessibility, windows_);
    EXPECT_EQ(lookup.fileUnderPoint(50, 50), c.target) << c.what;
  }
}

TEST_F(DesktopLookupTest, ClimbsToTheSixthElementAndNoFurther) {
  chainWithNameAtDepth(5, {{std::string(platform::kAXFilename), std::string("sixth")}});
  EXPECT_EQ(lookup_.fileUnderPoint(10, 10), "sixth");

  platform::testing::FakeAccessibility deeper;
  DesktopLookup deeperLookup(deeper, windows_);
  AccessibilityElement top =
      deeper.addElement(kFinder, {{std::string(platform::kAXFilename), std::string("seventh")}});
  for (int level = 0; level < 6; ++level) {
    const AccessibilityElement below = deeper.addElement(kFinder);
    deeper.setParent(below, top);
    top = below;
  }
  deeper.placeElement(top, Rect{{0, 0}, {100, 100}});
  EXPECT_EQ(deeperLookup.fileUnderPoint(10, 10), std::nullopt);
}

TEST_F(DesktopLookupTest, StopsWhereTheParentIsNoElement) {
  const AccessibilityElement parent =
      accessibility_.addElement(kFinder, {{std::string(platform::kAXTitle), std::string("up")}});
  const AccessibilityElement child = placed(kFinder, {});
  accessibility_.setAttribute(child, std::string(platform::kAXParent), std::string("parent?"));
  EXPECT_EQ(lookup_.fileUnderPoint(1, 1), std::nullopt);
  accessibility_.setParent(child, parent);
  EXPECT_EQ(lookup_.fileUnderPoint(1, 1), "up");
}

TEST_F(DesktopLookupTest, NothingWhereNoElementIs) {
  placed(kFinder, {{std::string(platform::kAXTitle), std::string("x")}});
  EXPECT_EQ(lookup_.fileUnderPoint(150, 50), std::nullopt);
  EXPECT_FALSE(lookup_.isDesktopPoint(150, 50));
}

TEST_F(DesktopLookupTest, HitTestsThePointAsFloats) {
  (void)lookup_.fileUnderPoint(12.25, 700.5);
  ASSERT_EQ(accessibility_.hitTests().size(), 1u);
  EXPECT_EQ(accessibility_.hitTests()[0], std::make_pair(12.25f, 700.5f));
}

TEST_F(DesktopLookupTest, DesktopPointIsAnyElementOfTheRunningFinder) {
  struct Case {
    platform::ProcessId owner;
    bool desktop;
  };
  const Case cases[] = {{kFinder, true}, {kEditor, false}, {500, false}, {999, false}};
  for (const Case& c : cases) {
    platform::testing::FakeAccessibility accessibility;
    accessibility.placeElement(accessibility.addElement(c.owner), Rect{{0, 0}, {10, 10}});
    DesktopLookup lookup(accessibility, windows_);
    EXPECT_EQ(lookup.isDesktopPoint(5, 5), c.desktop) << c.owner;
  }
}

TEST_F(DesktopLookupTest, FinderThatQuitIsNoDesktop) {
  placed(kFinder, {});
  windows_.setRunningApplications({{kEditor, "com.example.editor", "Editor"}});
  EXPECT_FALSE(lookup_.isDesktopPoint(5, 5));
}

}  // namespace
}  // namespace deskplay::keyhark
