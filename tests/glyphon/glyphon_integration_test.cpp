// The real Glyphon binary against a real simdesk: start-up lines, answers to command lines,
// silence where no answer is due, the log, the end of input, and commands whose effect shows
// in simdesk's Finder.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "glyphon_fixture.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

TEST_F(Glyphon, StartsWithReadyAndTheScreenAndIconSize) {
  EXPECT_EQ(start(), (std::vector<std::string>{"READY", "METRICS:1440,900,64"}));
}

class GlyphonWithoutScreens : public Glyphon {
 protected:
  std::vector<std::string> simdeskArguments() const override { return {"--screens", "none"}; }
};

TEST_F(GlyphonWithoutScreens, ReportsTheFallbackMetrics) {
  EXPECT_EQ(start(), (std::vector<std::string>{"READY", "METRICS:1920,1080,64"}));
}

TEST_F(Glyphon, ExitAsTheFirstLineEndsAfterTheStartUpLines) {
  startServing();
  glyphon->writeLine("EXIT");
  EXPECT_EQ(glyphon->readRemainingOutput(), "");
  EXPECT_EQ(glyphon->wait(), 0);
  EXPECT_TRUE(logLines().empty());
}

TEST_F(Glyphon, EndOfInputEndsTheProcess) {
  startServing();
  glyphon->writeLine(R"({"id":"1","type":"icon_size"})");
  glyphon->closeStdin();
  EXPECT_EQ(glyphon->readRemainingOutput(),
            "ICON:{\"id\":\"1\",\"ok\":true,\"result\":{\"iconSize\":64}}\n");
  EXPECT_EQ(glyphon->wait(), 0);
}

TEST_F(Glyphon, LinesAfterExitAreNotRead) {
  startServing();
  glyphon->write("{\"id\":\"1\",\"type\":\"nope\"}\nEXIT\n{\"id\":\"2\",\"type\":\"nope\"}\n");
  EXPECT_EQ(glyphon->readRemainingOutput(),
            "ICON:{\"id\":\"1\",\"ok\":false,\"error\":\"Unknown command type: nope\"}\n");
  EXPECT_EQ(glyphon->wait(), 0);
}

struct Exchange {
  const char* name;
  std::string line;
  std::string answer;  // JSON, compared parsed
};

class GlyphonAnswers : public Glyphon, public ::testing::WithParamInterface<Exchange> {};

TEST_P(GlyphonAnswers, AnswersAsTheTableSays) {
  startServing();
  EXPECT_EQ(ask(GetParam().line), Json::parse(GetParam().answer));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, GlyphonAnswers,
    ::testing::Values(
        Exchange{"UnknownType", R"({"id":"n","type":"nope"})",
                 R"({"id":"n","ok":false,"error":"Unknown command type: nope"})"},
        Exchange{"IconSize", R"({"id":"7","type":"icon_size"})",
                 R"({"id":"7","ok":true,"result":{"iconSize":64}})"},
        Exchange{"IconSizeSetTrimmed", R"({"id":"s","type":"icon_size_set","value":" 72 "})",
                 R"({"id":"s","ok":true,"result":{"iconSize":72}})"},
        Exchange{"IconSizeSetNotANumber", R"({"id":"s","type":"icon_size_set","value":"72px"})",
                 R"({"id":"s","ok":false,"error":"Missing icon size"})"},
        Exchange{"DesktopLabelsAnyCase", R"({"id":"l","type":"desktop_labels","value":"TRUE"})",
                 R"({"id":"l","ok":true,"result":{"desktopLabelsVisible":true}})"},
        Exchange{
            "DesktopLabelsBadValue", R"({"id":"l","type":"desktop_labels","value":"on"})",
            R"({"id":"l","ok":false,"error":"desktop_labels requires true/false/status value"})"},
        Exchange{"BatchText", R"({"id":"b","type":"batch","script":"return \"x,y\""})",
                 R"({"id":"b","ok":true,"result":{"data":"x,y"}})"},
        Exchange{"BatchWithoutScript", R"({"id":"b","type":"batch"})",
                 R"({"id":"b","ok":false,"error":"batch requires a script"})"},
        Exchange{"BatchThatDoesNotCompile", R"({"id":"b","type":"batch","script":"end tell"})",
                 R"({"id":"b","ok":false,"error":"Failed to compile AppleScript"})"},
        Exchange{"UiSetupNeedsTrueOrFalse", R"({"id":"u","type":"ui_setup","value":"yes"})",
                 R"({"id":"u","ok":false,"error":"ui_setup requires true/false value"})"},
        Exchange{"IconClearNeedsPath", R"({"id":"c","type":"icon_clear"})",
                 R"({"id":"c","ok":false,"error":"icon_clear requires a path"})"},
        Exchange{"SessionStatusUnknown", R"({"id":"v","type":"session_status","value":"done"})",
                 R"({"id":"v","ok":false,"error":"Invalid session status"})"},
        Exchange{"SessionStatusLoading", R"({"id":"v","type":"session_status","value":"loading"})",
                 R"({"id":"v","ok":true})"},
        Exchange{"PositionWithoutUpdates", R"({"id":"p","type":"position","updates":[]})",
                 R"({"id":"p","ok":true,"result":{"data":"[]"}})"},
        Exchange{"CoverNeedsEverything", R"({"id":"k","type":"cover_set","x":0,"y":0,"w":5})",
                 R"({"id":"k","ok":false,"error":"cover_set requires x, y, w, h and color"})"},
        Exchange{"CoverNeedsPositiveSize",
                 R"({"id":"k","type":"park_cover_set","x":0,"y":0,"w":5,"h":0,"color":"#000"})",
                 R"({"id":"k","ok":false,"error":"cover_set requires a positive w and h"})"},
        Exchange{"ParkCoverNeedsOwner",
                 R"({"id":"k","type":"park_cover_set","x":0,"y":0,"w":5,"h":5,"color":"#000"})",
                 R"({"id":"k","ok":false,"error":"park_cover_set requires an owner"})"},
        Exchange{"ParkCoverClearNeedsOwner", R"({"id":"k","type":"park_cover_clear","owner":""})",
                 R"({"id":"k","ok":false,"error":"park_cover_clear requires an owner"})"},
        Exchange{"SynthDragNeedsAPoint", R"({"id":"d","type":"synth_drag","y":3})",
                 R"({"id":"d","ok":false,"error":"synth_drag needs (x,y) or a findable path"})"}),
    [](const ::testing::TestParamInfo<Exchange>& tested) { return tested.param.name; });

TEST_F(Glyphon, UndecodableLinesAreAnsweredOnlyWithAStringId) {
  startServing();
  const Json missingType = ask(R"({"id":"m"})");
  EXPECT_EQ(missingType["id"], "m");
  EXPECT_EQ(missingType["ok"], false);
  EXPECT_EQ(missingType["error"].get<std::string>().rfind("Failed to decode command: ", 0), 0u)
      << missingType;
  EXPECT_FALSE(missingType.contains("result"));

  const Json wrongType = ask(R"({"id":"w","type":"restart_finder","iconSize":64.5})");
  EXPECT_EQ(wrongType["ok"], false);
  EXPECT_EQ(wrongType["error"].get<std::string>().rfind("Failed to decode command: ", 0), 0u);

  expectSilence("");
  expectSilence("not json");
  expectSilence(R"({"id":3})");
  expectSilence(R"({"id":"t","type":"icon_size"} trailing)");
}

TEST_F(Glyphon, CommandsWithoutTheirNeededIdStaySilent) {
  startServing();
  expectSilence(R"({"type":"icon_size"})");
  expectSilence(R"({"type":"nope"})");
  expectSilence(R"({"type":"batch","script":"end tell"})");
  expectSilence(R"({"type":"icon_size_set","value":"96"})");
  expectSilence(R"({"id":"t","type":"template_copy","iconPath":"/nonexistent"})");
  EXPECT_EQ(finderState()["finder"]["iconViewOptions"]["iconSize"], 64);
}

TEST_F(Glyphon, ColorAndCommentActButNeverAnswer) {
  writeFile(session.desktop() / "note \"1\".txt", "");
  startServing();
  ASSERT_FALSE(placedItem("note \"1\".txt").is_null());
  const std::string path = (session.desktop() / "note \"1\".txt").string();
  expectSilence(Json{{"id", "c"}, {"type", "color"}, {"path", path}, {"value", "5"}}.dump());
  expectSilence(
      Json{{"id", "m"}, {"type", "comment"}, {"path", path}, {"value", "a \"b\" \\ c"}}.dump());
  Json item = desktopItem("note \"1\".txt");
  EXPECT_EQ(item["labelIndex"], 5);
  EXPECT_EQ(item["comment"], "a \"b\" \\ c");

  // A label index that is no number would run as script text; it is ignored.
  expectSilence(Json{{"type", "color"}, {"path", path}, {"value", "2 + 1"}}.dump());
  EXPECT_EQ(desktopItem("note \"1\".txt")["labelIndex"], 5);
}

TEST_F(Glyphon, UiSetupWithoutIdStillHidesDockAndMenuBar) {
  startServing();
  expectSilence(R"({"type":"ui_setup","value":"true"})");
  const Json state = finderState();
  EXPECT_EQ(state["dockAutohide"], true);
  EXPECT_EQ(state["menuBarAutohide"], true);
  EXPECT_EQ(ask(R"({"id":"u","type":"ui_setup","value":"false"})"),
            Json::parse(R"({"id":"u","ok":true})"));
  EXPECT_EQ(finderState()["dockAutohide"], false);
}

TEST_F(Glyphon, FailingScriptIsReportedBeforeTheAnswer) {
  startServing();
  glyphon->writeLine(
      R"({"id":"f","type":"batch","script":"tell application \"Finder\" to set comment of (POSIX file \"/nonexistent\" as alias) to \"x\" "})");
  const std::string report = glyphon->readLine().value_or("<none>");
  ASSERT_EQ(report.rfind("FINDER_SCRIPT_ERROR:", 0), 0u) << report;
  const std::string message = report.substr(std::string("FINDER_SCRIPT_ERROR:").size());
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(answerOf(glyphon->readLine().value_or("<none>")),
            (Json{{"id", "f"}, {"ok", false}, {"error", message}}));
}

TEST_F(Glyphon, ExtensionErrorLeavesWithTheNextFlushedLine) {
  startServing();
  const std::string missing = (session.desktop() / "missing.txt").string();
  // The fallback script runs for true or false, and its failure report carries the
  // unflushed line out with it.
  glyphon->writeLine(
      Json{{"id", "e"}, {"type", "extension_hidden"}, {"path", missing}, {"value", "TRUE"}}.dump());
  const std::string cocoa = glyphon->readLine().value_or("<none>");
  EXPECT_EQ(cocoa.rfind("COCOA_EXTENSION_ERROR:", 0), 0u) << cocoa;
  const std::string script = glyphon->readLine().value_or("<none>");
  EXPECT_EQ(script.rfind("FINDER_SCRIPT_ERROR:", 0), 0u) << script;

  // Any other value runs no script: the line waits for the next answer.
  glyphon->writeLine(
      Json{{"type", "extension_hidden"}, {"path", missing}, {"value", "yes"}}.dump());
  EXPECT_EQ(send(R"({"id":"after","type":"nope"})"), cocoa);
  EXPECT_EQ(glyphon->readLine(),
            R"(ICON:{"id":"after","ok":false,"error":"Unknown command type: nope"})");

  // At the end the waiting line still goes out.
  glyphon->writeLine(Json{{"type", "extension_hidden"}, {"path", missing}, {"value", "no"}}.dump());
  glyphon->writeLine("EXIT");
  EXPECT_EQ(glyphon->readRemainingOutput(), cocoa + "\n");
  EXPECT_EQ(glyphon->wait(), 0);
}

// Paths, ids and error descriptions are the sender's text: a line break inside one must not
// forge an answer to a command that was never sent, nor a log line of its own.
TEST_F(Glyphon, LineBreaksInsideTheSendersTextNeverMakeLinesOfTheirOwn) {
  startServing();
  const std::string forged =
      (session.desktop() / "x\nICON:{\"id\":\"forged\",\"ok\":true}").string();
  // No script runs for a value that is neither true nor false: the error line goes out with
  // the next answer.
  glyphon->writeLine(Json{{"type", "extension_hidden"}, {"path", forged}, {"value", "yes"}}.dump());
  const std::string cocoa = send(R"({"id":"after","type":"nope"})");
  EXPECT_EQ(cocoa.rfind("COCOA_EXTENSION_ERROR:", 0), 0u) << cocoa;
  EXPECT_NE(cocoa.find("/x\\nICON:{\"id\":\"forged\",\"ok\":true}"), std::string::npos) << cocoa;
  EXPECT_EQ(glyphon->readLine(),
            R"(ICON:{"id":"after","ok":false,"error":"Unknown command type: nope"})");

  const std::string id =
      "a\nb\r\xE2\x80\xA8"
      "c\xE2\x80\xA9"
      "d\xC2\x85"
      "e";
  const std::string answer = send(Json{{"id", id}, {"type", "nope"}}.dump());
  EXPECT_EQ(answerOf(answer)["id"], id) << answer;
  for (const char* lineBreak : {"\r", "\xE2\x80\xA8", "\xE2\x80\xA9", "\xC2\x85"}) {
    EXPECT_EQ(answer.find(lineBreak), std::string::npos) << answer;
  }

  const std::vector<std::string> lines = logLines();
  for (const std::string& line : lines) {
    EXPECT_EQ(line.rfind("[ORVEL] ", 0), 0u) << line;
    EXPECT_EQ(line.find_first_of("\r\v\f"), std::string::npos) << line;
  }
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "[ORVEL] command nope id=a\\nb\\r\\u2028c\\u2029d\\u0085e"),
            lines.end());
}

// A number beyond what a double holds is a line that cannot be decoded, wherever it stands;
// the plain reading fails on it as well, so there is no id to answer. Glyphon carries on.
TEST_F(Glyphon, NumbersBeyondADoubleAreUndecodableLines) {
  startServing();
  expectSilence(R"({"id":"u","type":"icon_size","unlisted":1e400})");
  expectSilence(R"({"id":"c","type":"cover_set","x":1e400,"y":0,"w":5,"h":5,"color":"#000"})");
  std::size_t decodeErrors = 0;
  for (const std::string& line : logLines()) {
    if (line.rfind("[ORVEL] decode error: ", 0) == 0) ++decodeErrors;
  }
  EXPECT_EQ(decodeErrors, 2u);
}

TEST_F(Glyphon, LogsEachLineAndCommand) {
  startServing();
  expectSilence(R"({"type":"icon_size"})");
  ask(R"({"id":"4","type":"icon_size"})");
  expectSilence("{broken");
  const std::vector<std::string> lines = logLines();
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[0], "[ORVEL] command line received");
  EXPECT_EQ(lines[1], "[ORVEL] command icon_size id=none");
  EXPECT_EQ(lines[2], "[ORVEL] command line received");
  EXPECT_EQ(lines[3], "[ORVEL] command nope id=after");
  EXPECT_EQ(lines[4], "[ORVEL] command line received");
  EXPECT_EQ(lines[5], "[ORVEL] command icon_size id=4");
  EXPECT_EQ(lines[6], "[ORVEL] icon_size get");
  EXPECT_EQ(lines[7], "[ORVEL] command line received");
  EXPECT_EQ(lines[8].rfind("[ORVEL] decode error: ", 0), 0u) << lines[8];
  EXPECT_TRUE(lines[8].ends_with(" line={broken")) << lines[8];
}

TEST_F(Glyphon, RestartFinderAppliesTheSettingsToTheRelaunchedFinder) {
  startServing();
  const Json answer = askPastScriptErrors(
      R"({"id":"r","type":"restart_finder","gridSpacing":80,"iconSize":96,"textSize":14,)"
      R"("labelPosition":"Right"})");
  EXPECT_EQ(answer,
            Json::parse(R"({"id":"r","ok":true,"result":{"gridSpacing":80,"iconSize":96}})"));
  const Json finder = finderState()["finder"];
  EXPECT_EQ(finder["launchCount"], 2);
  EXPECT_EQ(finder["iconViewOptions"]["iconSize"], 96);
  EXPECT_EQ(finder["iconViewOptions"]["gridSpacing"], 80.0);
  EXPECT_EQ(finder["iconViewOptions"]["textSize"], 14);
  EXPECT_EQ(finder["iconViewOptions"]["labelPosition"], "right");
  EXPECT_EQ(ask(R"({"id":"g","type":"icon_size"})"),
            Json::parse(R"({"id":"g","ok":true,"result":{"iconSize":96}})"));
}

TEST_F(Glyphon, IconSizeThatFinderClampsAnswersWhatFinderReports) {
  startServing();
  EXPECT_EQ(ask(R"({"id":"big","type":"icon_size_set","value":"600"})"),
            Json::parse(R"({"id":"big","ok":true,"result":{"iconSize":512}})"));
  const std::vector<std::string> lines = logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "[ORVEL] icon size set 600 did not converge; Finder reports 512");
}

// A PNG of one colour, as Base64.
std::string solidPngBase64(QColor colour) {
  QImage image(64, 64, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
  }
  return png.toBase64().toStdString();
}

TEST_F(Glyphon, TemplateCopiesCarryTheirCustomIconOntoTheScreen) {
  const fs::path templateFile = logs / "sprite.template";
  writeFile(templateFile, "");
  startServing();
  EXPECT_EQ(ask(Json{{"id", "i"},
                     {"type", "icon_set_data"},
                     {"path", templateFile.string()},
                     {"iconData", solidPngBase64(QColor(255, 0, 0))}}
                    .dump()),
            Json::parse(R"({"id":"i","ok":true})"));

  const fs::path copy = session.desktop() / "sprite";
  EXPECT_EQ(ask(Json{{"id", "t"},
                     {"type", "template_copy"},
                     {"iconPath", templateFile.string()},
                     {"path", copy.string()}}
                    .dump()),
            Json::parse(R"({"id":"t","ok":true})"));
  EXPECT_EQ(ask(Json{{"id", "g"}, {"type", "icon_get"}, {"path", copy.string()}}
                    .dump())["result"]["hasCustomIcon"],
            true);

  // Finder places the new file; its icon is drawn at the item's position.
  const Json item = placedItem("sprite");
  ASSERT_FALSE(item.is_null());
  EXPECT_EQ(item["hasCustomIcon"], true);
  const fs::path screenshot = logs / "screen.png";
  ASSERT_EQ(session.ctl({"screenshot", screenshot.string()}).status, 0);
  const QImage screen(QString::fromStdString(screenshot.string()));
  ASSERT_FALSE(screen.isNull());
  const Json frame = item["iconFrame"];
  const QColor centre =
      screen.pixelColor(static_cast<int>(frame["x"].get<double>() + frame["w"].get<double>() / 2),
                        static_cast<int>(frame["y"].get<double>() + frame["h"].get<double>() / 2));
  EXPECT_GT(centre.red(), 200) << centre.name().toStdString();
  EXPECT_LT(centre.green(), 60) << centre.name().toStdString();
  EXPECT_LT(centre.blue(), 60) << centre.name().toStdString();
}

// Each setting a command changes is noted before it is made; reads are not.
TEST_F(Glyphon, NotesTheSettingsItChangesInTheJournalItIsGiven) {
  const std::filesystem::path journal = session.home() / "desktop-changes";
  writeFile(journal, "");
  extraEnvironment = {"FRONDEL_DESKTOP_CHANGES_PATH=" + journal.string()};
  startServing();
  EXPECT_TRUE(askPastScriptErrors(R"({"id":"1","type":"icon_size_set","value":"72"})")["ok"]);
  EXPECT_TRUE(ask(R"({"id":"2","type":"desktop_labels","value":"status"})")["ok"]);
  EXPECT_TRUE(ask(R"({"id":"3","type":"desktop_labels","value":"false"})")["ok"]);
  EXPECT_TRUE(ask(R"({"id":"4","type":"background_get"})")["ok"]);
  EXPECT_TRUE(ask(R"({"id":"5","type":"ui_setup","value":"true"})")["ok"]);
  EXPECT_EQ(readFile(journal), "glyphon\niconSize\nshowsItemInfo\ndockAutohide\nmenuBarAutohide\n");
}

TEST_F(Glyphon, MakesNoJournalWhereThereIsNone) {
  const std::filesystem::path journal = session.home() / "desktop-changes";
  extraEnvironment = {"FRONDEL_DESKTOP_CHANGES_PATH=" + journal.string()};
  startServing();
  EXPECT_TRUE(ask(R"({"id":"5","type":"ui_setup","value":"true"})")["ok"]);
  EXPECT_FALSE(std::filesystem::exists(journal));
}

}  // namespace
}  // namespace deskplay::testing
