#include "sim/simdesk/model/applications.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk {
namespace {

TEST(ApplicationsTest, SystemApplicationsRunFromTheStart) {
  Applications applications;
  ASSERT_NE(applications.byName("Dock"), nullptr);
  ASSERT_NE(applications.byName("SystemUIServer"), nullptr);
  EXPECT_EQ(applications.byPid(Applications::kDockPid)->bundleIdentifier, "com.apple.dock");
  EXPECT_FALSE(applications.frontmost());
}

TEST(ApplicationsTest, ClientsRegisterAndActivate) {
  Applications applications;
  applications.add(Application{Applications::kFirstFinderPid, "Finder", "com.apple.finder",
                               ApplicationRole::system, true});
  applications.activate(Applications::kFirstFinderPid);
  applications.registerClient(4321, "Glyphon");
  EXPECT_EQ(applications.frontmostApplication()->localizedName, "Finder");

  EXPECT_TRUE(applications.activate(4321));
  EXPECT_EQ(applications.frontmostApplication()->localizedName, "Glyphon");
  EXPECT_FALSE(applications.activate(99));

  // A frontmost client that leaves hands the focus back to Finder.
  applications.remove(4321);
  EXPECT_EQ(applications.frontmost(), Applications::kFirstFinderPid);
  EXPECT_EQ(applications.byName("Glyphon"), nullptr);
}

TEST(ApplicationsTest, HidingAndActivating) {
  Applications applications;
  applications.registerClient(10, "Deskplay");
  std::vector<platform::ProcessId> told;
  applications.addVisibilityListener([&](platform::ProcessId pid) { told.push_back(pid); });
  EXPECT_TRUE(applications.setVisible(10, false));
  EXPECT_FALSE(applications.byPid(10)->visible);
  // Activation shows a hidden application again.
  applications.activate(10);
  EXPECT_TRUE(applications.byPid(10)->visible);
  EXPECT_EQ(told, (std::vector<platform::ProcessId>{10, 10}));
}

TEST(ApplicationsTest, MenuTitles) {
  EXPECT_EQ(menuBarTitles(Application{1, "Finder", {}, ApplicationRole::system, true}).size(), 8u);
  EXPECT_EQ(menuBarTitles(Application{2, "Keyhark", {}, ApplicationRole::client, true}),
            (std::vector<std::string>{"Apple", "Keyhark"}));
}

}  // namespace
}  // namespace deskplay::simdesk
