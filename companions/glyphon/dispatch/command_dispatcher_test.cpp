#include "dispatch/command_dispatcher.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "protocol/script_host_runner.hpp"

namespace deskplay::glyphon {
namespace {

using platform::testing::FakeScriptHost;

// Notes each call as "name(arguments)" and answers `reply`.
class RecordingCalls {
 public:
  std::vector<std::string> calls;
  CommandAnswer reply = CommandAnswer::success();

 protected:
  CommandAnswer note(std::string call) {
    calls.push_back(std::move(call));
    return reply;
  }
};

std::optional<std::string> failureText(const std::string& error) {
  if (error.empty()) return std::nullopt;
  return error;
}

class RecordingDesktop final : public DesktopCommands, public RecordingCalls {
 public:
  // Empty: the setting changed.
  std::string dockError;
  std::string menuBarError;

  CommandAnswer iconSize() override { return note("iconSize()"); }
  CommandAnswer iconSizeSet(const std::optional<std::string>& value) override {
    return note("iconSizeSet(" + value.value_or("none") + ")");
  }
  CommandAnswer gridSpacing() override { return note("gridSpacing()"); }
  CommandAnswer gridSpacingSet(const std::optional<std::string>& value) override {
    return note("gridSpacingSet(" + value.value_or("none") + ")");
  }
  CommandAnswer gridArrangementGet() override { return note("gridArrangementGet()"); }
  CommandAnswer gridArrangementSet(const std::string& value) override {
    return note("gridArrangementSet(" + value + ")");
  }
  CommandAnswer desktopLabels(const std::string& loweredValue) override {
    return note("desktopLabels(" + loweredValue + ")");
  }
  CommandAnswer backgroundGet() override { return note("backgroundGet()"); }
  CommandAnswer backgroundSetPath(const std::string& path) override {
    return note("backgroundSetPath(" + path + ")");
  }
  CommandAnswer restartFinder(const Command& command) override {
    return note("restartFinder(" + std::to_string(command.iconSize.value_or(-1)) + ")");
  }
  std::optional<std::string> setAutohideDock(bool hidden) override {
    calls.push_back(hidden ? "setAutohideDock(true)" : "setAutohideDock(false)");
    return failureText(dockError);
  }
  std::optional<std::string> setAutohideMenuBar(bool hidden) override {
    calls.push_back(hidden ? "setAutohideMenuBar(true)" : "setAutohideMenuBar(false)");
    return failureText(menuBarError);
  }
  CommandAnswer iconGet(const std::string& path) override { return note("iconGet(" + path + ")"); }
  CommandAnswer iconSetPath(const std::string& path, const std::string& iconPath) override {
    return note("iconSetPath(" + path + "," + iconPath + ")");
  }
  CommandAnswer iconSetData(const std::string& path, const std::string& iconData) override {
    return note("iconSetData(" + path + "," + iconData + ")");
  }
  CommandAnswer iconClear(const std::string& path) override {
    return note("iconClear(" + path + ")");
  }
  CommandAnswer templateCopy(const std::string& templatePath,
                             const std::string& destination) override {
    return note("templateCopy(" + templatePath + "," + destination + ")");
  }
  void extensionHidden(const std::string& path, const std::string& value) override {
    calls.push_back("extensionHidden(" + path + "," + value + ")");
  }
};

std::string number(double value) {
  nlohmann::json text = value;
  return text.dump();
}

class RecordingStage final : public StageCommands, public RecordingCalls {
 public:
  bool answersPositionLater = false;

  std::optional<CommandAnswer> position(const std::string& id,
                                        const std::vector<PositionUpdate>& updates) override {
    CommandAnswer answer = note("position(" + id + "," + std::to_string(updates.size()) + ")");
    if (answersPositionLater) return std::nullopt;
    return answer;
  }
  CommandAnswer cancelPositions(const std::vector<std::string>& paths) override {
    std::string joined;
    for (const std::string& path : paths) joined += (joined.empty() ? "" : ",") + path;
    return note("cancelPositions(" + joined + ")");
  }
  CommandAnswer synthDrag(const Command& command) override {
    return note("synthDrag(" + command.path.value_or("-") + ")");
  }
  CommandAnswer setCover(const std::string& owner, const CoverPlacement& placement) override {
    return note("setCover(" + owner + "," + number(placement.x) + "," + number(placement.y) + "," +
                number(placement.w) + "," + number(placement.h) + "," + placement.color + ")");
  }
  CommandAnswer clearCover(const std::string& owner) override {
    return note("clearCover(" + owner + ")");
  }
  CommandAnswer showSessionStatus(const std::string& phase) override {
    return note("showSessionStatus(" + phase + ")");
  }
  CommandAnswer iconPositions() override { return note("iconPositions()"); }
};

struct Rig {
  FakeScriptHost host;
  testing::RecordingOutput output;
  testing::RecordingLog log;
  ScriptHostRunner scripts{host, output};
  RecordingDesktop desktop;
  RecordingStage stage;
  CommandDispatcher dispatcher{{output, log, scripts, desktop, stage}};

  std::vector<std::string> calls() const {
    std::vector<std::string> all = desktop.calls;
    all.insert(all.end(), stage.calls.begin(), stage.calls.end());
    return all;
  }
  std::vector<std::string> outputTexts() const {
    std::vector<std::string> texts;
    for (const auto& line : output.lines()) texts.push_back(line.text);
    return texts;
  }
};

// The one ICON line of `rig`, parsed.
nlohmann::json onlyAnswer(const Rig& rig) {
  if (rig.output.lines().size() != 1) {
    ADD_FAILURE() << "expected one output line, got " << rig.output.lines().size();
    return nullptr;
  }
  const std::string& text = rig.output.lines()[0].text;
  EXPECT_EQ(text.rfind("ICON:", 0), 0u) << text;
  return nlohmann::json::parse(text.substr(5), nullptr, false);
}

struct Row {
  const char* name;
  std::string line;
  std::vector<std::string> calls;
  // The expected answer as JSON text; empty for none at all.
  std::string answer;
};

class CommandDispatcherRowTest : public ::testing::TestWithParam<Row> {};

TEST_P(CommandDispatcherRowTest, ChecksCallsAndAnswers) {
  Rig rig;
  rig.dispatcher.handleCommand(GetParam().line);
  EXPECT_EQ(rig.calls(), GetParam().calls);
  if (GetParam().answer.empty()) {
    EXPECT_TRUE(rig.output.lines().empty()) << rig.output.lines()[0].text;
  } else {
    EXPECT_EQ(onlyAnswer(rig), nlohmann::json::parse(GetParam().answer));
  }
}

using Calls = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandDispatcherRowTest,
    ::testing::Values(
        // Types that need an id do nothing without one.
        Row{"IconSizeWithoutId", R"({"type":"icon_size"})", {}, ""},
        Row{"RestartWithoutId", R"({"type":"restart_finder","iconSize":64})", {}, ""},
        Row{"CoverWithoutId", R"({"type":"cover_set"})", {}, ""},
        Row{"UnknownWithoutId", R"({"type":"nope"})", {}, ""},
        Row{"UnknownType",
            R"({"id":"1","type":"nope"})",
            {},
            R"({"id":"1","ok":false,"error":"Unknown command type: nope"})"},
        Row{"TypeIsCaseSensitive",
            R"({"id":"1","type":"ICON_SIZE"})",
            {},
            R"({"id":"1","ok":false,"error":"Unknown command type: ICON_SIZE"})"},
        Row{"IconSize",
            R"({"id":"7","type":"icon_size"})",
            {"iconSize()"},
            R"({"id":"7","ok":true})"},
        Row{"IconSizeSetPassesTheText",
            R"({"id":"1","type":"icon_size_set","value":" 72 "})",
            {"iconSizeSet( 72 )"},
            R"({"id":"1","ok":true})"},
        Row{"IconSizeSetWithoutValue",
            R"({"id":"1","type":"icon_size_set"})",
            {"iconSizeSet(none)"},
            R"({"id":"1","ok":true})"},
        Row{"GridSpacing",
            R"({"id":"1","type":"grid_spacing"})",
            {"gridSpacing()"},
            R"({"id":"1","ok":true})"},
        Row{"GridSpacingSet",
            R"({"id":"1","type":"grid_spacing_set","value":"+80"})",
            {"gridSpacingSet(+80)"},
            R"({"id":"1","ok":true})"},
        Row{"GridArrangementGet",
            R"({"id":"1","type":"grid_arrangement_get"})",
            {"gridArrangementGet()"},
            R"({"id":"1","ok":true})"},
        Row{"GridArrangementSet",
            R"({"id":"1","type":"grid_arrangement_set","value":"By Name"})",
            {"gridArrangementSet(By Name)"},
            R"({"id":"1","ok":true})"},
        Row{"GridArrangementSetNeedsValue",
            R"({"id":"1","type":"grid_arrangement_set"})",
            {},
            R"({"id":"1","ok":false,"error":"grid_arrangement_set requires a value"})"},
        Row{"DesktopLabelsLowerCases",
            R"({"id":"1","type":"desktop_labels","value":"TRUE"})",
            {"desktopLabels(true)"},
            R"({"id":"1","ok":true})"},
        Row{"DesktopLabelsStatus",
            R"({"id":"1","type":"desktop_labels","value":"Status"})",
            {"desktopLabels(status)"},
            R"({"id":"1","ok":true})"},
        Row{"DesktopLabelsNeedsValue",
            R"({"id":"1","type":"desktop_labels"})",
            {},
            R"({"id":"1","ok":false,"error":"desktop_labels requires a value"})"},
        Row{"DesktopLabelsBadValue",
            R"({"id":"1","type":"desktop_labels","value":"yes"})",
            {},
            R"({"id":"1","ok":false,"error":"desktop_labels requires true/false/status value"})"},
        Row{"BackgroundGet",
            R"({"id":"1","type":"background_get"})",
            {"backgroundGet()"},
            R"({"id":"1","ok":true})"},
        Row{"BackgroundSetPath",
            R"({"id":"1","type":"background_set_path","path":"/p.png"})",
            {"backgroundSetPath(/p.png)"},
            R"({"id":"1","ok":true})"},
        Row{"BackgroundSetPathNeedsPath",
            R"({"id":"1","type":"background_set_path"})",
            {},
            R"({"id":"1","ok":false,"error":"background_set_path requires a path"})"},
        Row{"RestartFinder",
            R"({"id":"1","type":"restart_finder","iconSize":96})",
            {"restartFinder(96)"},
            R"({"id":"1","ok":true})"},
        Row{"IconGet",
            R"({"id":"1","type":"icon_get","path":"/a"})",
            {"iconGet(/a)"},
            R"({"id":"1","ok":true})"},
        Row{"IconGetWithoutPathIsIgnored", R"({"id":"1","type":"icon_get"})", {}, ""},
        Row{"IconSetPath",
            R"({"id":"1","type":"icon_set_path","path":"/a","iconPath":"/i"})",
            {"iconSetPath(/a,/i)"},
            R"({"id":"1","ok":true})"},
        Row{"IconSetPathNeedsBoth",
            R"({"id":"1","type":"icon_set_path","path":"/a"})",
            {},
            R"({"id":"1","ok":false,"error":"icon_set_path requires path and iconPath"})"},
        Row{"IconSetData",
            R"({"id":"1","type":"icon_set_data","path":"/a","iconData":"QQ=="})",
            {"iconSetData(/a,QQ==)"},
            R"({"id":"1","ok":true})"},
        Row{"IconSetDataNeedsBoth",
            R"({"id":"1","type":"icon_set_data","iconData":"QQ=="})",
            {},
            R"({"id":"1","ok":false,"error":"icon_set_data requires path and iconData"})"},
        Row{"IconClear",
            R"({"id":"1","type":"icon_clear","path":"/a"})",
            {"iconClear(/a)"},
            R"({"id":"1","ok":true})"},
        Row{"IconClearNeedsPath",
            R"({"id":"1","type":"icon_clear"})",
            {},
            R"({"id":"1","ok":false,"error":"icon_clear requires a path"})"},
        Row{"TemplateCopy",
            R"({"id":"1","type":"template_copy","iconPath":"/template","path":"/new"})",
            {"templateCopy(/template,/new)"},
            R"({"id":"1","ok":true})"},
        Row{"TemplateCopyWithoutPathIsIgnored",
            R"({"id":"1","type":"template_copy","iconPath":"/template"})",
            {},
            ""},
        Row{"TemplateCopyWithoutIdIsIgnored",
            R"({"type":"template_copy","iconPath":"/template","path":"/new"})",
            {},
            ""},
        Row{"ExtensionHiddenNeverAnswers",
            R"({"id":"1","type":"extension_hidden","path":"/a.txt","value":"TRUE"})",
            {"extensionHidden(/a.txt,TRUE)"},
            ""},
        Row{"ExtensionHiddenNeedsValue", R"({"type":"extension_hidden","path":"/a.txt"})", {}, ""},
        Row{"UiSetup", R"({"id":"1","type":"ui_setup","value":"true"})",
            Calls{"setAutohideDock(true)", "setAutohideMenuBar(true)"}, R"({"id":"1","ok":true})"},
        Row{"UiSetupWithoutIdStillActs", R"({"type":"ui_setup","value":"false"})",
            Calls{"setAutohideDock(false)", "setAutohideMenuBar(false)"}, ""},
        Row{"UiSetupIsExact",
            R"({"id":"1","type":"ui_setup","value":"TRUE"})",
            {},
            R"({"id":"1","ok":false,"error":"ui_setup requires true/false value"})"},
        Row{"UiSetupNeedsValue",
            R"({"id":"1","type":"ui_setup"})",
            {},
            R"({"id":"1","ok":false,"error":"ui_setup requires true/false value"})"},
        Row{"Position",
            R"({"id":"9","type":"position","updates":[{"path":"/a","x":1,"y":2}]})",
            {"position(9,1)"},
            R"({"id":"9","ok":true})"},
        Row{"PositionWithoutUpdates",
            R"({"id":"9","type":"position"})",
            {"position(9,0)"},
            R"({"id":"9","ok":true})"},
        Row{"PositionCancelWithoutId",
            R"({"type":"position_cancel","paths":["/a","/b"]})",
            {"cancelPositions(/a,/b)"},
            ""},
        Row{"PositionCancelWithoutPaths",
            R"({"id":"1","type":"position_cancel"})",
            {"cancelPositions()"},
            R"({"id":"1","ok":true})"},
        Row{"SessionStatus",
            R"({"id":"1","type":"session_status","value":"loading"})",
            {"showSessionStatus(loading)"},
            R"({"id":"1","ok":true})"},
        Row{"SessionStatusUnknownPhase",
            R"({"id":"1","type":"session_status","value":"Loading"})",
            {},
            R"({"id":"1","ok":false,"error":"Invalid session status"})"},
        Row{"SessionStatusNeedsValue",
            R"({"id":"1","type":"session_status"})",
            {},
            R"({"id":"1","ok":false,"error":"Invalid session status"})"},
        Row{"IconPositionsGet",
            R"({"id":"1","type":"icon_positions_get"})",
            {"iconPositions()"},
            R"({"id":"1","ok":true})"},
        Row{"SynthDragWithPoint",
            R"({"id":"1","type":"synth_drag","x":5,"y":6})",
            {"synthDrag(-)"},
            R"({"id":"1","ok":true})"},
        Row{"SynthDragWithPath",
            R"({"id":"1","type":"synth_drag","path":"/a"})",
            {"synthDrag(/a)"},
            R"({"id":"1","ok":true})"},
        Row{"SynthDragWithHalfAPoint",
            R"({"id":"1","type":"synth_drag","x":5})",
            {},
            R"({"id":"1","ok":false,"error":"synth_drag needs (x,y) or a findable path"})"},
        Row{"CoverSet",
            R"({"id":"1","type":"cover_set","x":1,"y":2,"w":3.5,"h":4,"color":"#000"})",
            {"setCover(stage,1.0,2.0,3.5,4.0,#000)"},
            R"({"id":"1","ok":true})"},
        Row{"FeedbackCoverSet",
            R"({"id":"1","type":"feedback_cover_set","x":1,"y":2,"w":3,"h":4,"color":"#fff"})",
            {"setCover(feedback,1.0,2.0,3.0,4.0,#fff)"},
            R"({"id":"1","ok":true})"},
        Row{"ParkCoverSet",
            R"({"id":"1","type":"park_cover_set","x":1,"y":2,"w":3,"h":4,"color":"#fff","owner":"p1"})",
            {"setCover(p1,1.0,2.0,3.0,4.0,#fff)"},
            R"({"id":"1","ok":true})"},
        Row{"CoverSetMissingColor",
            R"({"id":"1","type":"cover_set","x":1,"y":2,"w":3,"h":4})",
            {},
            R"({"id":"1","ok":false,"error":"cover_set requires x, y, w, h and color"})"},
        Row{"CoverSetZeroWidth",
            R"({"id":"1","type":"feedback_cover_set","x":1,"y":2,"w":0,"h":4,"color":"#000"})",
            {},
            R"({"id":"1","ok":false,"error":"cover_set requires a positive w and h"})"},
        Row{"CoverSetNegativeHeight",
            R"({"id":"1","type":"cover_set","x":1,"y":2,"w":3,"h":-4,"color":"#000"})",
            {},
            R"({"id":"1","ok":false,"error":"cover_set requires a positive w and h"})"},
        // The size check comes before the owner check.
        Row{"ParkCoverSetChecksSizeFirst",
            R"({"id":"1","type":"park_cover_set","x":1,"y":2,"w":0,"h":4,"color":"#000"})",
            {},
            R"({"id":"1","ok":false,"error":"cover_set requires a positive w and h"})"},
        Row{"ParkCoverSetEmptyOwner",
            R"({"id":"1","type":"park_cover_set","x":1,"y":2,"w":3,"h":4,"color":"#000","owner":""})",
            {},
            R"({"id":"1","ok":false,"error":"park_cover_set requires an owner"})"},
        Row{"CoverClear",
            R"({"id":"1","type":"cover_clear"})",
            {"clearCover(stage)"},
            R"({"id":"1","ok":true})"},
        Row{"FeedbackCoverClear",
            R"({"id":"1","type":"feedback_cover_clear"})",
            {"clearCover(feedback)"},
            R"({"id":"1","ok":true})"},
        Row{"ParkCoverClear",
            R"({"id":"1","type":"park_cover_clear","owner":"p1"})",
            {"clearCover(p1)"},
            R"({"id":"1","ok":true})"},
        Row{"ParkCoverClearNeedsOwner",
            R"({"id":"1","type":"park_cover_clear"})",
            {},
            R"({"id":"1","ok":false,"error":"park_cover_clear requires an owner"})"}),
    [](const ::testing::TestParamInfo<Row>& tested) { return tested.param.name; });

TEST(CommandDispatcherTest, PassesTheHandlersAnswerOn) {
  Rig rig;
  CommandResult result;
  result.iconSize = 48;
  rig.desktop.reply = CommandAnswer::success(result);
  rig.dispatcher.handleCommand(R"({"id":"7","type":"icon_size"})");
  EXPECT_EQ(onlyAnswer(rig),
            nlohmann::json::parse(R"({"id":"7","ok":true,"result":{"iconSize":48}})"));
}

TEST(CommandDispatcherTest, PositionAnsweredLaterSendsNothingNow) {
  Rig rig;
  rig.stage.answersPositionLater = true;
  rig.dispatcher.handleCommand(R"({"id":"9","type":"position","updates":[]})");
  EXPECT_EQ(rig.stage.calls, (std::vector<std::string>{"position(9,0)"}));
  EXPECT_TRUE(rig.output.lines().empty());
}

TEST(CommandDispatcherTest, UiSetupJoinsBothFailures) {
  Rig rig;
  rig.desktop.dockError = "dock failed";
  rig.desktop.menuBarError = "menu bar failed";
  rig.dispatcher.handleCommand(R"({"id":"1","type":"ui_setup","value":"true"})");
  EXPECT_EQ(
      onlyAnswer(rig),
      nlohmann::json::parse(R"({"id":"1","ok":false,"error":"dock failed; menu bar failed"})"));

  Rig oneFails;
  oneFails.desktop.menuBarError = "menu bar failed";
  oneFails.dispatcher.handleCommand(R"({"id":"2","type":"ui_setup","value":"false"})");
  EXPECT_EQ(onlyAnswer(oneFails),
            nlohmann::json::parse(R"({"id":"2","ok":false,"error":"menu bar failed"})"));
}

TEST(CommandDispatcherTest, BatchAnswersTheScriptsText) {
  Rig rig;
  rig.host.setAnswer("return \"a\"", platform::testing::answersText("a,b"));
  rig.host.setAnswer("return \"\"", platform::testing::answersText(""));
  rig.host.setAnswer("error 1", platform::testing::failsWith("boom", 1));
  rig.dispatcher.handleCommand(R"({"id":"1","type":"batch","script":"return \"a\""})");
  rig.dispatcher.handleCommand(R"({"id":"2","type":"batch","script":"return \"\""})");
  rig.dispatcher.handleCommand(R"({"id":"3","type":"batch","script":"set x to 1"})");
  rig.dispatcher.handleCommand(R"({"id":"4","type":"batch","script":"error 1"})");
  rig.dispatcher.handleCommand(R"({"id":"5","type":"batch"})");
  rig.dispatcher.handleCommand(R"({"type":"batch","script":"set y to 2"})");
  EXPECT_EQ(rig.outputTexts(),
            (std::vector<std::string>{
                R"(ICON:{"id":"1","ok":true,"result":{"data":"a,b"}})",
                R"(ICON:{"id":"2","ok":true})", R"(ICON:{"id":"3","ok":true})",
                "FINDER_SCRIPT_ERROR:boom", R"(ICON:{"id":"4","ok":false,"error":"boom"})",
                R"(ICON:{"id":"5","ok":false,"error":"batch requires a script"})"}));
  EXPECT_EQ(rig.host.runs(),
            (std::vector<std::string>{"return \"a\"", "return \"\"", "set x to 1", "error 1"}));
}

TEST(CommandDispatcherTest, CommentAndColorRunTheirScriptsAndNeverAnswer) {
  Rig rig;
  rig.dispatcher.handleCommand(
      R"({"id":"1","type":"comment","path":"/Desktop/a \"b\".txt","value":"say \"hi\" \\o/"})");
  rig.dispatcher.handleCommand(R"({"id":"2","type":"color","path":"/Desktop/a\\b","value":"6"})");
  rig.dispatcher.handleCommand(R"({"type":"color","path":"/Desktop/c","value":"0"})");
  rig.dispatcher.handleCommand(R"({"id":"3","type":"comment","path":"/Desktop/c"})");
  rig.dispatcher.handleCommand(R"({"id":"4","type":"color","value":"2"})");
  EXPECT_TRUE(rig.output.lines().empty());
  EXPECT_EQ(
      rig.host.runs(),
      (std::vector<std::string>{
          "tell application \"Finder\" to set comment of (POSIX file \"/Desktop/a \\\"b\\\".txt\" "
          "as alias) to \"say \\\"hi\\\" \\\\o/\" ",
          "tell application \"Finder\" to set label index of (POSIX file \"/Desktop/a\\\\b\" as "
          "alias) to 6",
          "tell application \"Finder\" to set label index of (POSIX file \"/Desktop/c\" as "
          "alias) to 0"}));
}

TEST(CommandDispatcherTest, ColorThatIsNoLabelIndexIsIgnoredAndLogged) {
  for (const char* value :
       {"8", "-1", "1.5", " 2", "2 ", "", "red", "0 & (do shell script \\\"touch /tmp/x\\\")"}) {
    Rig rig;
    rig.dispatcher.handleCommand(std::string(R"({"id":"1","type":"color","path":"/a","value":")") +
                                 value + "\"}");
    EXPECT_TRUE(rig.host.runs().empty()) << value;
    EXPECT_TRUE(rig.output.lines().empty()) << value;
    ASSERT_EQ(rig.log.lines().size(), 2u) << value;
    EXPECT_EQ(rig.log.lines()[1].rfind("[ORVEL] color ignored: ", 0), 0u) << rig.log.lines()[1];
  }
}

TEST(CommandDispatcherTest, FailingScriptReportsBeforeTheAnswer) {
  Rig rig;
  rig.host.setFallbackAnswer(platform::testing::failsWith("Finder got an error.", -1728));
  rig.dispatcher.handleCommand(R"({"id":"1","type":"batch","script":"get 1"})");
  ASSERT_EQ(rig.output.lines().size(), 2u);
  EXPECT_EQ(rig.output.lines()[0].text, "FINDER_SCRIPT_ERROR:Finder got an error.");
}

TEST(CommandDispatcherTest, LogsEachCommandWithItsId) {
  Rig rig;
  rig.dispatcher.handleCommand(R"({"id":"12","type":"icon_size"})");
  rig.dispatcher.handleCommand(R"({"type":"position_cancel"})");
  rig.dispatcher.handleCommand(R"({"type":"icon_size"})");
  rig.dispatcher.handleCommand(R"({"id":"1","type":"session_status","value":"failed"})");
  EXPECT_EQ(rig.log.lines(),
            (std::vector<std::string>{
                "[ORVEL] command icon_size id=12", "[ORVEL] command position_cancel id=none",
                "[ORVEL] command icon_size id=none", "[ORVEL] command session_status id=1",
                "[ORVEL] session_status failed"}));
}

TEST(CommandDispatcherTest, UndecodableLineWithStringIdIsAnswered) {
  Rig rig;
  rig.dispatcher.handleCommand(R"({"id":"5","type":"restart_finder","iconSize":"big"})");
  const nlohmann::json answer = onlyAnswer(rig);
  EXPECT_EQ(answer["id"], "5");
  EXPECT_EQ(answer["ok"], false);
  const std::string error = answer["error"];
  EXPECT_EQ(error.rfind("Failed to decode command: ", 0), 0u) << error;
  EXPECT_TRUE(rig.calls().empty());
  ASSERT_EQ(rig.log.lines().size(), 1u);
  EXPECT_EQ(rig.log.lines()[0], "[ORVEL] decode error: " +
                                    error.substr(std::string("Failed to decode command: ").size()) +
                                    R"( line={"id":"5","type":"restart_finder","iconSize":"big"})");
}

TEST(CommandDispatcherTest, UndecodableLineWithoutStringIdIsOnlyLogged) {
  for (const char* line : {"", "EXIT now", R"({"id":5})", R"({"type":"icon_size","id":5})"}) {
    Rig rig;
    rig.dispatcher.handleCommand(line);
    EXPECT_TRUE(rig.output.lines().empty()) << line;
    ASSERT_EQ(rig.log.lines().size(), 1u) << line;
    EXPECT_EQ(rig.log.lines()[0].rfind("[ORVEL] decode error: ", 0), 0u);
    EXPECT_NE(rig.log.lines()[0].find(std::string(" line=") + line), std::string::npos);
  }
}

TEST(CommandDispatcherTest, DecodeErrorLogQuotesTheFirst200Characters) {
  // Each is one character of several bytes, some of several code points.
  for (const std::string& wide : {
           std::string("\u00e9"),                      // é, precomposed
           std::string("e\u0301"),                     // e and a combining acute accent
           std::string("\U0001F1E9\U0001F1EA"),        // a flag: two regional indicators
           std::string("\U0001F469\u200D\U0001F4BB"),  // an emoji joined by a ZWJ
       }) {
    Rig rig;
    std::string line = "{";
    for (int i = 0; i < 300; ++i) line += wide;
    rig.dispatcher.handleCommand(line);
    ASSERT_EQ(rig.log.lines().size(), 1u);
    const std::string& logged = rig.log.lines()[0];
    const std::string quoted = logged.substr(logged.find(" line=") + 6);
    EXPECT_EQ(quoted, line.substr(0, 1 + 199 * wide.size())) << wide;
  }
}

}  // namespace
}  // namespace deskplay::glyphon
