// The real Glyphon against a real simdesk for what it does on the stage: icon places read
// from Finder's accessibility tree, synthetic drags that Finder receives, cover windows that
// hide icons, and the session status panel.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "glyphon_fixture.hpp"
#include "platform/event_taps.hpp"
#include "simdesk_input.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using Json = nlohmann::json;

class GlyphonStage : public Glyphon {
 protected:
  // Puts files on the Desktop, starts Glyphon and waits until Finder shows them all.
  void startWithFiles(const std::vector<std::string>& names) {
    for (const std::string& name : names) writeFile(session.desktop() / name, "");
    startServing();
    for (const std::string& name : names) ASSERT_FALSE(placedItem(name).is_null()) << name;
  }

  std::string pathOf(const std::string& name) const { return (session.desktop() / name).string(); }

  // The item's icon centre as Finder drew it (top-left origin).
  Json centreOf(const std::string& name) const {
    const Json frame = desktopItem(name)["iconFrame"];
    return Json{{"x", frame["x"].get<double>() + frame["w"].get<double>() / 2},
                {"y", frame["y"].get<double>() + frame["h"].get<double>() / 2}};
  }

  // Glyphon's visible windows in simdesk, front to back.
  std::vector<Json> glyphonWindows(const std::string& role) const {
    std::vector<Json> found;
    const Json state = finderState();
    for (const Json& window : state["windows"]) {
      if (window["role"] == role) found.push_back(window);
    }
    return found;
  }

  // The owning application of the element at a point, as simdeskctl's ax-at prints it.
  std::string applicationAt(double x, double y) const {
    const Completed answer = session.ctl(
        {"ax-at", std::to_string(static_cast<int>(x)), std::to_string(static_cast<int>(y))});
    const std::size_t at = answer.output.find("in AXApplication \"");
    if (answer.status != 0 || at == std::string::npos) return "<none: " + answer.output + ">";
    const std::size_t start = at + std::string("in AXApplication \"").size();
    return answer.output.substr(start, answer.output.find('"', start) - start);
  }

  // The delivery log's records of posted events that reached an application.
  std::vector<Json> postedDeliveries() const {
    const Completed log = session.ctl({"events"});
    EXPECT_EQ(log.status, 0) << log.errors;
    std::vector<Json> records;
    std::istringstream lines(log.output);
    for (std::string line; std::getline(lines, line);) {
      const Json record = Json::parse(line, nullptr, false);
      if (record["origin"] == "posted" && record["stage"] == "application") {
        records.push_back(record);
      }
    }
    return records;
  }

  Json pointerState() const { return finderState()["input"]; }

  QColor screenColourAt(double x, double y) const {
    const std::filesystem::path screenshot = logs / "screen.png";
    EXPECT_EQ(session.ctl({"screenshot", screenshot.string()}).status, 0);
    const QImage screen(QString::fromStdString(screenshot.string()));
    EXPECT_FALSE(screen.isNull());
    return screen.pixelColor(static_cast<int>(x), static_cast<int>(y));
  }
};

TEST_F(GlyphonStage, IconPositionsAreWhereFinderDrewTheIcons) {
  startWithFiles({"a.txt", "My File.png", "Folder"});

  const Json answer = ask(R"({"id":"g","type":"icon_positions_get"})");
  ASSERT_EQ(answer["ok"], true) << answer;
  std::set<std::string> listed;
  std::istringstream lines(answer["result"]["data"].get<std::string>());
  for (std::string line; std::getline(lines, line);) listed.insert(line);

  std::set<std::string> expected;
  const Json state = finderState();
  for (const Json& item : state["finder"]["items"]) {
    const Json frame = item["iconFrame"];
    const auto whole = [](double value) { return std::to_string(std::lround(value)); };
    expected.insert(item["name"].get<std::string>() + "\t" +
                    whole(frame["x"].get<double>() + frame["w"].get<double>() / 2) + "\t" +
                    whole(frame["y"].get<double>() + frame["h"].get<double>() / 2) + "\t" +
                    whole(frame["w"].get<double>()) + "\t" + whole(frame["h"].get<double>()));
  }
  EXPECT_EQ(expected.size(), 3u);
  EXPECT_EQ(listed, expected);
}

TEST_F(GlyphonStage, IconPositionsAreEmptyWhileFinderIsAway) {
  startWithFiles({"a.txt"});
  ASSERT_EQ(session.ctl({"finder", "quit"}).status, 0);

  EXPECT_EQ(ask(R"({"id":"g","type":"icon_positions_get"})"),
            Json::parse(R"({"id":"g","ok":true,"result":{"data":""}})"));
}

TEST_F(GlyphonStage, SynthDragOnAPathGivesFinderAMarkedDragAndPutsThePointerBack) {
  startWithFiles({"a.txt"});
  ASSERT_EQ(session.ctl({"move", "100", "700"}).status, 0);
  const Json centre = centreOf("a.txt");
  const double x = centre["x"].get<double>();
  const double y = centre["y"].get<double>();

  EXPECT_EQ(ask(Json{{"id", "d"}, {"type", "synth_drag"}, {"path", pathOf("a.txt")}}.dump()),
            (Json{{"id", "d"},
                  {"ok", true},
                  {"result",
                   {{"data", std::to_string(static_cast<int>(x)) + "," +
                                 std::to_string(static_cast<int>(y))}}}}));

  const std::vector<Json> posted = postedDeliveries();
  const std::vector<std::string> types{"leftMouseDown",    "leftMouseDragged", "leftMouseDragged",
                                       "leftMouseDragged", "leftMouseDragged", "leftMouseUp"};
  ASSERT_EQ(posted.size(), types.size());
  for (std::size_t i = 0; i < posted.size(); ++i) {
    EXPECT_EQ(posted[i]["app"], "Finder") << i;
    EXPECT_EQ(posted[i]["event"]["type"], types[i]) << i;
    EXPECT_EQ(posted[i]["event"]["sourceUserData"], platform::kSyntheticPointerMarker) << i;
  }
  EXPECT_EQ(posted.front()["event"]["x"], x);
  EXPECT_EQ(posted.front()["event"]["y"], y);
  EXPECT_EQ(posted.back()["event"]["x"], x);

  const Json input = pointerState();
  EXPECT_EQ(input["pointer"], Json::parse(R"({"x":100.0,"y":700.0})"));
  EXPECT_EQ(input["leftButtonDown"], false);
  // The drag ends where it began: the icon stays.
  EXPECT_EQ(centreOf("a.txt"), centre);
  EXPECT_EQ(logLines().back(), "[ORVEL] synth_drag at " + std::to_string(static_cast<int>(x)) +
                                   "," + std::to_string(static_cast<int>(y)));
}

TEST_F(GlyphonStage, SynthDragRefusesAPointOffThePathsIcon) {
  startWithFiles({"a.txt", "b.txt"});
  const Json onB = centreOf("b.txt");

  EXPECT_EQ(ask(Json{{"id", "d"},
                     {"type", "synth_drag"},
                     {"x", onB["x"]},
                     {"y", onB["y"]},
                     {"path", pathOf("a.txt")}}
                    .dump()),
            Json::parse(R"({"id":"d","ok":false,"error":"synth_drag target mismatch"})"));
  EXPECT_EQ(
      ask(Json{{"id", "n"}, {"type", "synth_drag"}, {"path", pathOf("gone.txt")}}.dump()),
      Json::parse(R"({"id":"n","ok":false,"error":"synth_drag needs (x,y) or a findable path"})"));
  EXPECT_TRUE(postedDeliveries().empty());
}

TEST_F(GlyphonStage, SynthDragWaitsForTheUserToLetGoOfTheMouse) {
  startWithFiles({"a.txt"});
  SimdeskInput person(session);
  const std::string drag = R"({"id":"d","type":"synth_drag","x":300,"y":500})";
  const Json interrupted =
      Json::parse(R"({"id":"d","ok":false,"error":"synth_drag interrupted by user pointer"})");

  for (const auto& [down, up] :
       {std::pair{platform::EventType::rightMouseDown, platform::EventType::rightMouseUp},
        std::pair{platform::EventType::leftMouseDown, platform::EventType::leftMouseUp}}) {
    platform::Event press;
    press.type = down;
    press.location = {300, 500};
    ASSERT_TRUE(person.inject(press));
    ASSERT_TRUE(person.waitUntilDelivered());
    EXPECT_EQ(ask(drag), interrupted);

    platform::Event release = press;
    release.type = up;
    ASSERT_TRUE(person.inject(release));
    ASSERT_TRUE(person.waitUntilDelivered());
  }
  EXPECT_TRUE(postedDeliveries().empty());
  EXPECT_EQ(ask(drag)["ok"], true);
}

TEST_F(GlyphonStage, ACoverHidesTheIconFromThePointerAndTheScreen) {
  startWithFiles({"a.txt"});
  const Json frame = desktopItem("a.txt")["iconFrame"];
  const Json centre = centreOf("a.txt");
  const double x = centre["x"].get<double>();
  const double y = centre["y"].get<double>();
  ASSERT_EQ(applicationAt(x, y), "Finder");

  EXPECT_EQ(ask(Json{{"id", "c"},
                     {"type", "cover_set"},
                     {"x", frame["x"].get<double>() - 8},
                     {"y", frame["y"].get<double>() - 8},
                     {"w", frame["w"].get<double>() + 16},
                     {"h", frame["h"].get<double>() + 40},
                     {"color", " #00FF00 "}}
                    .dump()),
            Json::parse(R"({"id":"c","ok":true})"));

  EXPECT_EQ(applicationAt(x, y), "Glyphon");
  const QColor colour = screenColourAt(x, y);
  EXPECT_EQ(colour, QColor(0, 255, 0)) << colour.name().toStdString();
  // The icon under the cover can no longer be dragged.
  EXPECT_EQ(ask(Json{{"id", "d"}, {"type", "synth_drag"}, {"path", pathOf("a.txt")}}.dump()),
            Json::parse(R"({"id":"d","ok":false,"error":"synth_drag target mismatch"})"));

  EXPECT_EQ(ask(R"({"id":"x","type":"cover_clear"})"), Json::parse(R"({"id":"x","ok":true})"));
  EXPECT_EQ(applicationAt(x, y), "Finder");
  EXPECT_TRUE(glyphonWindows("window").empty());
}

TEST_F(GlyphonStage, SettingACoverAgainMovesTheOneWindow) {
  startServing();
  ASSERT_EQ(
      ask(R"({"id":"1","type":"cover_set","x":10,"y":100,"w":200,"h":50,"color":"#f00"})")["ok"],
      true);
  ASSERT_EQ(
      ask(R"({"id":"2","type":"cover_set","x":300,"y":400,"w":80,"h":60,"color":"#0000ff"})")["ok"],
      true);

  const std::vector<Json> covers = glyphonWindows("window");
  ASSERT_EQ(covers.size(), 1u);
  EXPECT_EQ(covers[0]["bounds"], Json::parse(R"({"x":300.0,"y":400.0,"w":80.0,"h":60.0})"));
  EXPECT_EQ(covers[0]["frame"], Json::parse(R"({"x":300.0,"y":440.0,"w":80.0,"h":60.0})"));
  EXPECT_EQ(covers[0]["background"],
            Json::parse(R"({"red":0.0,"green":0.0,"blue":1.0,"alpha":1.0})"));
  EXPECT_EQ(covers[0]["ignoresMouseEvents"], false);
  EXPECT_EQ(covers[0]["opaque"], true);

  const std::vector<std::string> log = logLines();
  EXPECT_NE(
      std::find(log.begin(), log.end(),
                "[ORVEL] cover_set rect=300,440 80x60 color=#0000ff screen=0 level=-2147483602"),
      log.end());
}

TEST_F(GlyphonStage, ParkCoversOfTwoOwnersAreIndependent) {
  startServing();
  ASSERT_EQ(
      ask(R"({"id":"a","type":"park_cover_set","owner":"A","x":0,"y":100,"w":50,"h":50,"color":"#111"})")
          ["ok"],
      true);
  ASSERT_EQ(
      ask(R"({"id":"b","type":"park_cover_set","owner":"B","x":100,"y":100,"w":50,"h":50,"color":"#222"})")
          ["ok"],
      true);
  ASSERT_EQ(
      ask(R"({"id":"f","type":"feedback_cover_set","x":200,"y":100,"w":50,"h":50,"color":"#333"})")
          ["ok"],
      true);
  EXPECT_EQ(glyphonWindows("window").size(), 3u);

  EXPECT_EQ(ask(R"({"id":"c","type":"park_cover_clear","owner":"A"})"),
            Json::parse(R"({"id":"c","ok":true})"));
  EXPECT_EQ(ask(R"({"id":"e","type":"park_cover_clear","owner":"A"})"),
            Json::parse(R"({"id":"e","ok":true})"));

  std::set<double> left;
  for (const Json& cover : glyphonWindows("window"))
    left.insert(cover["bounds"]["x"].get<double>());
  EXPECT_EQ(left, (std::set<double>{100, 200}));
  EXPECT_EQ(logLines().back(), "[ORVEL] cover_clear");
}

TEST_F(GlyphonStage, TheStatusPanelShowsEachPhaseCentredAndClearHidesIt) {
  startServing();
  struct Phase {
    std::string value;
    std::string text;
    bool spinner;
  };
  for (const Phase& phase :
       {Phase{"loading", "Loading", true}, Phase{"restoring", "Goodbye", false},
        Phase{"failed", "Session error", false}}) {
    ASSERT_EQ(ask(Json{{"id", "s"}, {"type", "session_status"}, {"value", phase.value}}.dump()),
              Json::parse(R"({"id":"s","ok":true})"));
    const std::vector<Json> panels = glyphonWindows("statusPanel");
    ASSERT_EQ(panels.size(), 1u) << phase.value;
    EXPECT_EQ(panels[0]["status"]["text"], phase.text);
    EXPECT_EQ(panels[0]["status"]["spinnerVisible"], phase.spinner) << phase.value;
    EXPECT_EQ(panels[0]["status"]["spinnerAnimating"], phase.spinner) << phase.value;
    EXPECT_EQ(panels[0]["bounds"], Json::parse(R"({"x":580.0,"y":402.0,"w":280.0,"h":96.0})"));
  }
  EXPECT_EQ(logLines().back(), "[ORVEL] session_status failed");

  ASSERT_EQ(ask(R"({"id":"s","type":"session_status","value":"clear"})")["ok"], true);
  EXPECT_TRUE(glyphonWindows("statusPanel").empty());
}

TEST_F(GlyphonStage, TheLoadingSpinnerStopsWhenTheUserAsksToReduceMotion) {
  startServing();
  ASSERT_EQ(ask(R"({"id":"s","type":"session_status","value":"loading"})")["ok"], true);
  ASSERT_EQ(session.ctl({"reduce-motion", "on"}).status, 0);

  // The notice reaches Glyphon through its main loop, a moment later.
  EXPECT_TRUE(eventually([&] {
    const std::vector<Json> panels = glyphonWindows("statusPanel");
    return panels.size() == 1 && panels[0]["status"]["spinnerAnimating"] == false;
  }));
  EXPECT_EQ(glyphonWindows("statusPanel").at(0)["status"]["text"], "Loading");
}

}  // namespace
}  // namespace deskplay::testing
