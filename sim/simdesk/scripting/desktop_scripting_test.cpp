#include "sim/simdesk/scripting/desktop_scripting.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "applescript/quoted_scripts.hpp"
#include "platform/testing/fake_clock.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::simdesk {
namespace {

namespace fs = std::filesystem;
using namespace applescript::testing;
using platform::ScriptRun;

const std::string apostrophe = "\xE2\x80\x99";

// A simulated desktop over a temporary home whose Desktop holds a plain file, a file whose
// name needs escaping in scripts, and a folder; one more file lies outside the Desktop.
class DesktopScriptingTest : public ::testing::Test {
 protected:
  DesktopScriptingTest() {
    fs::create_directories(home_.path() / "Desktop" / "Projects");
    fs::create_directories(home_.path() / "Documents");
    deskplay::testing::writeFile(plain(), "a");
    deskplay::testing::writeFile(odd(), "b");
    deskplay::testing::writeFile(outside(), "c");
    desktop_ = std::make_unique<SimulatedDesktop>(
        SimulatedDesktop::Options{home_.path(), &clock_, {}, Finder::Watching::manual});
  }

  std::string plain() const { return (home_.path() / "Desktop" / "a.txt").string(); }
  std::string odd() const {
    return (home_.path() / "Desktop" / "say \"hi\" \\ r\xC3\xA9sum\xC3\xA9.txt").string();
  }
  std::string outside() const { return (home_.path() / "Documents" / "out.txt").string(); }

  ScriptRun run(const std::string& source) { return runScript(source, *desktop_); }
  ScriptRun succeed(const std::string& source) {
    ScriptRun result = run(source);
    EXPECT_EQ(result.outcome, ScriptRun::Outcome::succeeded) << source << "\n"
                                                             << result.error.description;
    return result;
  }
  Finder& finder() { return desktop_->finder(); }
  SystemEvents& systemEvents() { return desktop_->systemEvents(); }
  platform::Point positionOf(const std::string& path) {
    const DesktopItem* item = finder().itemAtPath(path);
    EXPECT_NE(item, nullptr) << path;
    return item != nullptr ? item->position : platform::Point{};
  }

  deskplay::testing::TempDir home_;
  platform::testing::FakeClock clock_;
  std::unique_ptr<SimulatedDesktop> desktop_;
};

TEST_F(DesktopScriptingTest, IconSizeReadsAndSetsThroughBothWindowForms) {
  EXPECT_EQ(succeed(iconSizeGet()).result->int32Value, finder().iconViewOptions().iconSize);
  succeed(iconSizeSet(72));
  EXPECT_EQ(finder().iconViewOptions().iconSize, 72);
  EXPECT_EQ(succeed(iconSizeGet()).result->int32Value, 72);
  succeed(iconSizeSetOfWindow(48));
  EXPECT_EQ(succeed(iconSizeGetOfWindow()).result->int32Value, 48);
  EXPECT_EQ(succeed(iconSizeGet()).result->stringValue, "48");
}

TEST_F(DesktopScriptingTest, PositionScriptsMoveIconsWhateverTheirNames) {
  const auto result = succeed(positions({plain(), odd()}, 300, 200));
  EXPECT_EQ(positionOf(plain()), (platform::Point{300, 200}));
  EXPECT_EQ(positionOf(odd()), (platform::Point{301, 200}));
  EXPECT_FALSE(result.result->stringValue.has_value());
  const auto read =
      succeed("tell application \"Finder\" to get desktop position of item \"a.txt\" of desktop");
  EXPECT_EQ(read.result->description, "[ 'long'(300), 'long'(200) ]");
  succeed(positions({plain()}, -40, 12));
  EXPECT_EQ(positionOf(plain()), (platform::Point{-40, 12}));
}

TEST_F(DesktopScriptingTest, FileMetadataScriptsReachTheFiles) {
  succeed(labelIndexSet(odd(), "2"));
  succeed(commentSet(odd(), "two\nlines \"quoted\" \\"));
  ASSERT_TRUE(finder().labelIndexOf(odd()).ok());
  EXPECT_EQ(finder().labelIndexOf(odd()).value(), 2);
  EXPECT_EQ(finder().commentOf(odd()).value(), "two\nlines \"quoted\" \\");
  succeed(extensionHiddenSet(plain(), "TRUE"));
  EXPECT_TRUE(finder().extensionHiddenOf(plain()).value());
  succeed(extensionHiddenSet(plain(), "false"));
  EXPECT_FALSE(finder().extensionHiddenOf(plain()).value());
  // Label and comment are Finder metadata of any file, on the Desktop or not.
  succeed(labelIndexSet(outside(), "5"));
  EXPECT_EQ(finder().labelIndexOf(outside()).value(), 5);
}

TEST_F(DesktopScriptingTest, ViewOptionsScriptsChangeTheDesktop) {
  succeed(textSizeSet(14));
  EXPECT_EQ(finder().iconViewOptions().textSize, 14);
  succeed(labelPositionSet("right"));
  EXPECT_EQ(finder().iconViewOptions().labelPosition, LabelPosition::right);
  succeed(labelPositionSet("bottom"));
  EXPECT_EQ(finder().iconViewOptions().labelPosition, LabelPosition::bottom);

  succeed(arrangementSet("snap to grid"));
  EXPECT_EQ(finder().iconViewOptions().arrangement, Arrangement::snapToGrid);
  const auto arrangement = succeed(arrangementGet());
  EXPECT_FALSE(arrangement.result->stringValue.has_value());
  EXPECT_EQ(arrangement.result->description, "'enum'('grda')");
  succeed(arrangementSet("arranged by name"));
  EXPECT_EQ(finder().iconViewOptions().arrangement, Arrangement::byName);
  succeed(arrangementSet("not arranged"));
  EXPECT_EQ(finder().iconViewOptions().arrangement, Arrangement::notArranged);

  succeed(showsItemInfoSet("true"));
  EXPECT_TRUE(finder().iconViewOptions().showsItemInfo);
  const auto shows = succeed(showsItemInfoGet());
  EXPECT_EQ(shows.result->stringValue, "true");
  EXPECT_EQ(shows.result->int32Value, 1);
}

TEST_F(DesktopScriptingTest, ArrangementWordsThatAreNoConstantsFailAsOnMacOS) {
  // `name` is Finder's own name and `kind` no property of the application; `date modified`
  // reads `modified` as an undefined variable.
  struct Case {
    std::string word;
    int number;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"name", -1700,
       "Finder got an error: Can" + apostrophe + "t make \"Finder\" into type constant."},
      {"kind", -1728, "Finder got an error: Can" + apostrophe + "t get kind."},
      {"date modified", -2753, "The variable modified is not defined."},
  };
  for (const auto& [word, number, message] : cases) {
    const auto result = run(arrangementSet(word));
    ASSERT_EQ(result.outcome, ScriptRun::Outcome::runFailed) << word;
    EXPECT_EQ(result.error.number, number) << word;
    EXPECT_EQ(result.error.message, message) << word;
  }
  EXPECT_EQ(finder().iconViewOptions().arrangement, Arrangement::notArranged);
}

TEST_F(DesktopScriptingTest, CloseEveryWindowClosesFinderWindows) {
  finder().reveal({plain()});
  finder().openFolder(home_.path() / "Documents");
  ASSERT_EQ(finder().windows().size(), 2U);
  const auto closed = succeed(closeEveryWindow());
  EXPECT_FALSE(closed.result.has_value());
  EXPECT_TRUE(finder().windows().empty());
}

TEST_F(DesktopScriptingTest, StartupDiskAndItemLists) {
  EXPECT_EQ(succeed(startupDiskNameGet()).result->stringValue, "Macintosh HD");
  const auto names = succeed("tell application \"Finder\" to get name of every item of desktop");
  EXPECT_EQ(names.result->description,
            "[ 'utxt'(\"a.txt\"), 'utxt'(\"Projects\"), 'utxt'(\"say \\\"hi\\\" \\\\ "
            "r\xC3\xA9sum\xC3\xA9.txt\") ]");
  EXPECT_EQ(
      succeed("tell application \"Finder\" to count every item of desktop").result->int32Value, 3);
  EXPECT_EQ(succeed("tell application \"Finder\" to count folders of desktop").result->int32Value,
            1);
  EXPECT_EQ(
      succeed("tell application \"Finder\" to exists item \"a.txt\" of desktop").result->int32Value,
      1);
  EXPECT_EQ(
      succeed("tell application \"Finder\" to exists item \"b\" of desktop").result->int32Value, 0);
  EXPECT_EQ(
      succeed("tell application \"Finder\" to get name of item 2 of desktop").result->stringValue,
      "Projects");
  const auto texts = succeed(
      "tell application \"Finder\" to get name of (every item of desktop whose name contains "
      "\".TXT\" and label index is 0)");
  EXPECT_EQ(texts.result->description,
            "[ 'utxt'(\"a.txt\"), 'utxt'(\"say \\\"hi\\\" \\\\ r\xC3\xA9sum\xC3\xA9.txt\") ]");
  EXPECT_EQ(succeed("tell application \"Finder\" to get name of file \"a.txt\" of desktop")
                .result->stringValue,
            "a.txt");
  EXPECT_EQ(
      run("tell application \"Finder\" to get name of folder \"a.txt\" of desktop").error.number,
      -1728);
}

TEST_F(DesktopScriptingTest, WhatIsNotOnTheDesktopCannotBeGot) {
  struct Case {
    std::string source;
    int number;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"tell application \"Finder\" to get desktop position of item \"nope\" of desktop", -1728,
       "Finder got an error: Can" + apostrophe + "t get item \"nope\" of desktop."},
      {positions({outside()}, 1, 2), -1728,
       "Finder got an error: Can" + apostrophe + "t get desktop position of alias \"" +
           applescript::hfsPath(outside()) + "\"."},
      {positions({plain() + ".gone"}, 1, 2), -1700,
       "Can" + apostrophe + "t make file \"" + applescript::hfsPath(plain() + ".gone") +
           "\" into type alias."},
      {labelIndexSet(plain(), "9"), -10006,
       "Finder got an error: Can" + apostrophe + "t set label index of alias \"" +
           applescript::hfsPath(plain()) + "\" to 9."},
      {"tell application \"Finder\" to set desktop position of item \"a.txt\" of desktop to "
       "{1, \"x\"}",
       -1700, "Finder got an error: Can" + apostrophe + "t make {1, \"x\"} into type point."},
  };
  for (const auto& [source, number, message] : cases) {
    const auto result = run(source);
    ASSERT_EQ(result.outcome, ScriptRun::Outcome::runFailed) << source;
    EXPECT_EQ(result.error.number, number) << source;
    EXPECT_EQ(result.error.message, message) << source;
  }
}

TEST_F(DesktopScriptingTest, AQuitFinderAnswersNothingUntilItRunsAgain) {
  ASSERT_TRUE(finder().quit(AfterQuit::stayQuit).ok());
  for (const std::string& source :
       {iconSizeGet(), positions({plain()}, 5, 5), startupDiskNameGet(), closeEveryWindow()}) {
    const auto result = run(source);
    ASSERT_EQ(result.outcome, ScriptRun::Outcome::runFailed) << source;
    EXPECT_EQ(result.error.number, -600);
    EXPECT_EQ(result.error.message,
              "Finder got an error: Application isn" + apostrophe + "t running.");
  }
  succeed("tell application \"Finder\" to activate");
  EXPECT_EQ(run(startupDiskNameGet()).error.number, -600);  // still launching
  clock_.advance(Finder::kLaunchTime);
  EXPECT_EQ(succeed(startupDiskNameGet()).result->stringValue, "Macintosh HD");
  succeed("tell application \"Finder\" to quit");
  EXPECT_FALSE(finder().isRunning());
}

TEST_F(DesktopScriptingTest, SystemEventsScripts) {
  succeed(dockAutohide("true"));
  EXPECT_TRUE(systemEvents().dockAutohide());
  succeed(menuBarAutohide("true"));
  EXPECT_TRUE(systemEvents().menuBarAutohide());
  succeed(menuBarAutohide("false"));
  EXPECT_FALSE(systemEvents().menuBarAutohide());
  succeed(dockAutohide("false"));
  EXPECT_FALSE(systemEvents().dockAutohide());

  EXPECT_EQ(succeed(pictureGet()).result->stringValue,
            std::string(SystemEvents::kDefaultDesktopPicture));
  const std::string picture = (home_.path() / "Pictures" / "my \"best\" \\ shot.png").string();
  succeed(pictureSet(picture));
  EXPECT_EQ(systemEvents().desktopPicture(), picture);
  EXPECT_EQ(succeed(pictureGet()).result->stringValue, picture);
}

TEST_F(DesktopScriptingTest, HidingOtherProcessesLeavesFinderVisible) {
  desktop_->clientConnected(1234, "Glyphon");
  desktop_->clientConnected(1235, "Deskplay");
  succeed(hideOtherProcesses());
  EXPECT_EQ(systemEvents().processVisible("Finder"), true);
  EXPECT_EQ(systemEvents().processVisible("Glyphon"), false);
  EXPECT_EQ(systemEvents().processVisible("Deskplay"), false);
  const auto visible = succeed(
      "tell application \"System Events\" to get name of every process whose visible is true");
  EXPECT_EQ(visible.result->description, "[ 'utxt'(\"Finder\") ]");
}

TEST_F(DesktopScriptingTest, ALongPositionScriptRunsWhole) {
  std::vector<std::string> paths;
  for (int i = 0; i < 500; ++i) paths.push_back(i % 2 == 0 ? plain() : odd());
  succeed(positions(paths, 100, 100));
  EXPECT_EQ(positionOf(plain()), (platform::Point{598, 100}));
  EXPECT_EQ(positionOf(odd()), (platform::Point{599, 100}));
}

TEST_F(DesktopScriptingTest, CompileErrorsNeedNoFinder) {
  ASSERT_TRUE(finder().quit(AfterQuit::stayQuit).ok());
  const auto result = run("tell application \"Finder\" to get icon size of");
  ASSERT_EQ(result.outcome, ScriptRun::Outcome::compileFailed);
  EXPECT_EQ(result.error.number, -2741);
}

}  // namespace
}  // namespace deskplay::simdesk
