// A game that changes how the desktop looks and then dies, and a game during which Deskplay
// itself dies: either way, once Deskplay has handled the end (or started again), simdesk's
// desktop looks exactly as before the game, field by field.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "played_desktop.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// What a game may change, as simdesk shows it: Finder's icon view options, the desktop
// picture, the Dock and the menu bar, and where each of the user's icons sits.
json desktopLook(PlayedDesktop& desk) {
  const json state = desk.simdesk().state();
  json positions = json::object();
  for (const json& item : state["finder"]["items"])
    positions[item.value("name", "")] = item["position"];
  return {{"iconViewOptions", state["finder"]["iconViewOptions"]},
          {"desktop", state["desktop"]},
          {"dockAutohide", state["dockAutohide"]},
          {"menuBarAutohide", state["menuBarAutohide"]},
          {"positions", positions}};
}

// Every leaf of `before` that `now` does not hold, as "path: before → now".
std::vector<std::string> differences(const json& before, const json& now) {
  std::vector<std::string> found;
  const json flatBefore = before.flatten();
  const json flatNow = now.flatten();
  for (const auto& [path, value] : flatBefore.items()) {
    const auto there = flatNow.find(path);
    const std::string shown = there == flatNow.end() ? "missing" : there->dump();
    if (there == flatNow.end() || *there != value)
      found.push_back(path + ": " + value.dump() + " → " + shown);
  }
  for (const auto& [path, value] : flatNow.items()) {
    if (!flatBefore.contains(path)) found.push_back(path + ": missing → " + value.dump());
  }
  return found;
}

class DesktopLook : public ::testing::Test {
 protected:
  // Deskplay on simdesk with the look-changing game among the user's games, ending as `end`
  // says, and the user's icons placed by hand where no arrangement would put them.
  void start(const std::string& end, const std::vector<std::string>& more = {}) {
    const fs::path games = desk_.home() / "Library/Application Support/Deskplay/games/look";
    fs::create_directories(games);
    for (const char* file : {"look.mjs", "manifest.json", "package.json"}) {
      fs::copy_file(fs::path(LOOK_GAME) / file, games / file);
    }
    environment_ = {"LOOK_GAME_END=" + end,
                    "FRONDEL_LOG_FILE=" + (desk_.home() / "frondel.log").string()};
    environment_.insert(environment_.end(), more.begin(), more.end());
    ASSERT_TRUE(desk_.start(environment_)) << desk_.failure;
    ASSERT_TRUE(eventually([&] {
      const json listed = desk_.status()["games"];
      return std::find(listed.begin(), listed.end(), "look") != listed.end();
    })) << desk_.status().dump();

    const Completed placed =
        desk_.simdesk().ctl({"script", "-"},
                            "tell application \"Finder\"\n"
                            "set desktop position of item \"notes.txt\" of desktop to {300, 420}\n"
                            "set desktop position of item \"todo.md\" of desktop to {710, 260}\n"
                            "set desktop position of item \"Projects\" of desktop to {520, 640}\n"
                            "end tell");
    ASSERT_EQ(placed.status, 0) << placed.errors;
    before_ = desktopLook(desk_);
    ASSERT_EQ(before_["positions"].size(), 3U) << before_.dump();
  }

  void playUntilTheLookHasChanged(const std::vector<std::string>& changes = {
                                      "restart_finder", "desktop_labels", "background_set_path",
                                      "ui_setup"}) {
    const Completed started = desk_.deskplay({"play", "look"});
    ASSERT_EQ(started.status, 0) << started.errors;
    ASSERT_TRUE(
        eventually([&] { return desk_.gameLogText().find("look changed") != std::string::npos; },
                   std::chrono::seconds(60)))
        << "the game did not change the look; game log:\n"
        << desk_.gameLogText();
    for (const std::string& change : changes) {
      EXPECT_NE(desk_.gameLogText().find(change + " ok"), std::string::npos) << desk_.gameLogText();
    }
  }

  // The look is `expected`, by default the one from before the game.
  void expectTheLookAsBefore(const std::optional<json>& expected = std::nullopt) {
    std::vector<std::string> left;
    const bool back = eventually(
        [&] {
          left = differences(expected.value_or(before_), desktopLook(desk_));
          return left.empty();
        },
        std::chrono::seconds(60));
    EXPECT_TRUE(back) << ::testing::PrintToString(left) << "\napplication log:\n"
                      << readFile(desk_.applicationLog());
    EXPECT_EQ(desk_.userEntries().size(), 3U);
    for (const char* file : {"desktop-snapshot.json", "desktop-changes"}) {
      EXPECT_FALSE(fs::exists(desk_.home() / "Library/Application Support/Deskplay/look" / file));
    }
  }

  PlayedDesktop desk_{builtBundle() / "Contents/MacOS/Deskplay"};
  std::vector<std::string> environment_;
  json before_;
};

TEST_F(DesktopLook, AGameThatChangesEverythingAndCrashesLeavesTheDesktopAsItWas) {
  ASSERT_NO_FATAL_FAILURE(start("crash"));
  ASSERT_NO_FATAL_FAILURE(playUntilTheLookHasChanged());
  ASSERT_TRUE(eventually([&] { return desk_.status().value("session", "") == "needsAttention"; }))
      << desk_.status().dump();
  expectTheLookAsBefore();
}

TEST_F(DesktopLook, ALookLeftByADeadDeskplayIsPutBackWhenItStartsAgain) {
  ASSERT_NO_FATAL_FAILURE(start("stay"));
  ASSERT_NO_FATAL_FAILURE(playUntilTheLookHasChanged());
  EXPECT_FALSE(differences(before_, desktopLook(desk_)).empty()) << "the game changed nothing";
  // Glyphon noted what the game asked it to change, for the restore to put back.
  const std::string journal =
      readFile(desk_.home() / "Library/Application Support/Deskplay/look/desktop-changes");
  for (const char* noted : {"glyphon\n", "finderPreferences\n", "showsItemInfo\n",
                            "desktopPicture\n", "dockAutohide\n", "menuBarAutohide\n"}) {
    EXPECT_NE(journal.find(noted), std::string::npos) << journal;
  }
  EXPECT_EQ(desk_.stopDeskplay(SIGKILL), 128 + SIGKILL);

  ASSERT_TRUE(desk_.restartDeskplay(environment_)) << desk_.failure;
  expectTheLookAsBefore();
  EXPECT_FALSE(desk_.enginePid()) << "the game of the dead Deskplay still runs";
}

TEST_F(DesktopLook, WhatTheUserChangedDuringTheGameAndTheGameNeverTouchedStays) {
  ASSERT_NO_FATAL_FAILURE(start("stay", {"LOOK_GAME_CHANGES=background_set_path"}));
  ASSERT_NO_FATAL_FAILURE(playUntilTheLookHasChanged({"background_set_path"}));
  // Meanwhile the user hides the Dock, which the game never asked for.
  const Completed hidden = desk_.simdesk().ctl(
      {"script", "-"},
      "tell application \"System Events\" to set the dock preferences's autohide to true");
  ASSERT_EQ(hidden.status, 0) << hidden.errors;
  const std::optional<pid_t> engine = desk_.enginePid();
  ASSERT_TRUE(engine);
  ASSERT_EQ(::kill(*engine, SIGKILL), 0);
  ASSERT_TRUE(eventually([&] { return desk_.status().value("session", "") == "needsAttention"; }))
      << desk_.status().dump();

  json expected = before_;
  expected["dockAutohide"] = true;
  expectTheLookAsBefore(expected);
}

}  // namespace
}  // namespace deskplay::testing
