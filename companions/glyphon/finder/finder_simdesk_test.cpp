// The desktop view commands against simdesk's Finder and System Events, with the real
// PlistBuddy, killall and open stand-ins and Finder's preferences file in a session of the
// test's own.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "finder/autohide.hpp"
#include "finder/background_commands.hpp"
#include "finder/plist_buddy.hpp"
#include "finder/restart_finder.hpp"
#include "finder/result_with.hpp"
#include "finder/testing/recording_glyphon_io.hpp"
#include "finder/view_settings_commands.hpp"
#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_tool_paths.hpp"
#include "platform/testing/fake_clock.hpp"
#include "protocol/script_host_runner.hpp"
#include "simdesk_session.hpp"

namespace deskplay::glyphon {
namespace {

using testing::RecordingLog;
using testing::RecordingOutput;

class FinderOnSimdesk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session.start());
    // The tools find this session's simdesk through the environment they inherit.
    for (const std::string& entry : session.environment()) {
      const auto equals = entry.find('=');
      ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    connection = session.connect("Glyphon");
    host = std::make_unique<platform::SimScriptHost>(*connection);
    scripts = std::make_unique<ScriptHostRunner>(*host, output);
    services = std::make_unique<FinderServices>(
        FinderServices{*scripts, log, preferences, clock, platform::simToolPaths(),
                       finderPreferencesFile(session.home())});
  }

  std::string scriptErrors() const {
    std::string errors;
    for (const auto& line : output.lines()) errors += line.text + "\n";
    return errors;
  }

  deskplay::testing::SimdeskSession session;
  std::unique_ptr<simdesk::protocol::Connection> connection;
  std::unique_ptr<platform::SimScriptHost> host;
  RecordingOutput output;
  std::unique_ptr<ScriptHostRunner> scripts;
  RecordingLog log;
  platform::PlistFilePreferences preferences{session.home() / ".config/UserDefaults.plist",
                                             session.home() / "Library/Preferences"};
  platform::SystemClock clock;
  std::unique_ptr<FinderServices> services;
};

TEST_F(FinderOnSimdesk, EveryArrangementWordSetsAnArrangementFinderTakes) {
  // Finder reports a constant, which has no text of its own: the answer is its description.
  struct Case {
    std::string value;
    std::string answered;
    std::string finderReports;
  };
  for (const Case& each :
       {Case{"By Name", "name", "'enum'('nam ')"}, Case{"kind", "kind", "'enum'('kind')"},
        Case{"Date Modified", "date modified", "'enum'('mdat')"},
        Case{"not arranged", "not arranged", "'enum'('narr')"},
        Case{"none", "snap to grid", "'enum'('grda')"}}) {
    const CommandAnswer set = gridArrangementSet(*services, each.value);
    ASSERT_TRUE(set.ok) << each.value << ": " << set.error.value_or("");
    EXPECT_EQ(set.result->gridArrangement, each.answered);
    const CommandAnswer read = gridArrangementGet(*services);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.result->gridArrangement, each.finderReports);
  }
  EXPECT_EQ(scriptErrors(), "");
}

TEST_F(FinderOnSimdesk, TheAnswersWordIsNoArrangementFinderTakes) {
  const platform::ScriptRun run = host->run(
      "tell application \"Finder\" to set arrangement of icon view options of container window "
      "of desktop to name");
  EXPECT_NE(run.outcome, platform::ScriptRun::Outcome::succeeded);
}

TEST_F(FinderOnSimdesk, IconSizeIsSetAndReadBack) {
  EXPECT_EQ(iconSizeSet(*services, " 48 "),
            CommandAnswer::success(resultWith(&CommandResult::iconSize, 48)));
  EXPECT_EQ(iconSize(*services), CommandAnswer::success(resultWith(&CommandResult::iconSize, 48)));
}

TEST_F(FinderOnSimdesk, LabelsAreShownHiddenAndReported) {
  for (const bool visible : {false, true}) {
    const CommandResult expected = resultWith(&CommandResult::desktopLabelsVisible, visible);
    EXPECT_EQ(desktopLabels(*services, visible ? "true" : "false"),
              CommandAnswer::success(expected));
    EXPECT_EQ(desktopLabels(*services, "status"), CommandAnswer::success(expected));
  }
}

TEST_F(FinderOnSimdesk, GridSpacingIsCreatedThenSet) {
  EXPECT_EQ(gridSpacing(*services),
            CommandAnswer::success(resultWith(&CommandResult::gridSpacing, 64)));
  EXPECT_EQ(gridSpacingSet(*services, "+80"),
            CommandAnswer::success(resultWith(&CommandResult::gridSpacing, 80)));
  EXPECT_EQ(gridSpacing(*services),
            CommandAnswer::success(resultWith(&CommandResult::gridSpacing, 80)));
}

TEST_F(FinderOnSimdesk, DesktopPictureIsSetAndRead) {
  const std::string picture = (session.home() / "Pictures/sky \"blue\".png").string();
  EXPECT_EQ(backgroundSetPath(*services, picture), CommandAnswer::success());
  EXPECT_EQ(backgroundGet(*services),
            CommandAnswer::success(resultWith(&CommandResult::data, picture)));
}

TEST_F(FinderOnSimdesk, DockAndMenuBarHide) {
  EXPECT_EQ(setAutohideDock(*scripts, true), std::nullopt);
  EXPECT_EQ(setAutohideMenuBar(*scripts, true), std::nullopt);
}

TEST_F(FinderOnSimdesk, RestartTakesThePreferencesAndTheScriptedSettings) {
  Command command;
  command.type = "restart_finder";
  command.gridSpacing = 90;
  command.iconSize = 56;
  command.textSize = 14;
  command.labelPosition = "right";
  command.gridArrangement = "By Kind";
  const CommandAnswer answer = restartFinder(*services, command);
  ASSERT_TRUE(answer.ok) << answer.error.value_or("") << "\n" << scriptErrors();
  EXPECT_EQ(log.lines().back(), "[ORVEL] restart_finder ok");

  EXPECT_EQ(iconSize(*services), CommandAnswer::success(resultWith(&CommandResult::iconSize, 56)));
  EXPECT_EQ(gridSpacing(*services),
            CommandAnswer::success(resultWith(&CommandResult::gridSpacing, 90)));
  EXPECT_EQ(gridArrangementGet(*services),
            CommandAnswer::success(resultWith(&CommandResult::gridArrangement, "'enum'('kind')")));
  const DetailedScriptRun labels = scripts->runDetailed(
      "tell application \"Finder\" to get label position of icon view options of container "
      "window of desktop");
  ASSERT_TRUE(labels.result);
  EXPECT_EQ(labels.result->description, "'enum'('lrgt')");
  EXPECT_EQ(runPlistBuddy(*services, "Print :DesktopViewSettings:IconViewSettings:arrangeBy").value,
            "kind");
}

TEST_F(FinderOnSimdesk, RestartFailsWhenFinderNeverComesBack) {
  // Without simdesk the tools run but nothing answers. The waits between the tries pass on
  // a fake clock: how long they are is the unit tests' business.
  session.stop();
  platform::testing::FakeClock fakeClock;
  const FinderServices patient{
      *scripts, log, preferences, fakeClock, services->tools, services->preferencesFile};
  Command command;
  command.type = "restart_finder";
  EXPECT_EQ(restartFinder(patient, command),
            CommandAnswer::failure("Finder did not become ready after restart"));
  EXPECT_EQ(log.lines().back(), "[ORVEL] restart_finder timeout");
}

}  // namespace
}  // namespace deskplay::glyphon
