// Icon motion through the real Glyphon binary against a real simdesk: animated icons reach
// their places in Finder with MOTION lines on the way and one answer per command, and an
// icon the user grabs mid-flight is let go and later moved on from where the user left it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_taps.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

using platform::Point;

platform::Event mouse(platform::EventType type, Point location) {
  platform::Event event;
  event.type = type;
  event.location = location;
  return event;
}

std::string positionCommand(const std::string& id, const std::vector<std::string>& paths,
                            const std::vector<Point>& targets, std::optional<double> seconds) {
  Json updates = Json::array();
  for (std::size_t index = 0; index < paths.size(); ++index) {
    Json update{{"path", paths[index]}, {"x", targets[index].x}, {"y", targets[index].y}};
    if (seconds) update["transition"] = {{"duration", *seconds}, {"easing", "linear"}};
    updates.push_back(update);
  }
  return Json{{"id", id}, {"type", "position"}, {"updates", updates}}.dump();
}

class GlyphonMotion : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session.start()); }

  void startServing() {
    std::vector<std::string> variables = session.environment();
    variables.push_back("DESKPLAY_SIM_TOOLS=" + simToolsFolder().string());
    variables.push_back("FRONDEL_LOG_FILE=" + (logs / "frondel.log").string());
    variables.push_back("XDG_CONFIG_HOME=" + (session.home() / ".config").string());
    glyphon = std::make_unique<ChildProcess>(std::vector<std::string>{GLYPHON_PATH}, variables);
    ASSERT_EQ(glyphon->readLine().value_or("<none>"), "READY");
    ASSERT_EQ(glyphon->readLine().value_or("<none>").rfind("METRICS:", 0), 0u);
  }

  // Desktop files named `prefix` 0, 1, … once Finder shows them all; their paths.
  std::vector<std::string> desktopFiles(const std::string& prefix, int count) {
    std::vector<std::string> paths;
    for (int index = 0; index < count; ++index) {
      const fs::path path = session.desktop() / (prefix + std::to_string(index) + ".txt");
      writeFile(path, "x");
      paths.push_back(path.string());
    }
    const bool shown = eventually([&] {
      for (const std::string& path : paths) {
        if (itemAt(path).is_null()) return false;
      }
      return true;
    });
    EXPECT_TRUE(shown) << "Finder never showed the files";
    return paths;
  }

  Json itemAt(const std::string& path) const {
    const Completed state = session.ctl({"state"});
    const Json parsed = Json::parse(state.output, nullptr, false);
    if (parsed.is_discarded()) return nullptr;
    for (const Json& item : parsed["finder"]["items"]) {
      if (item["path"] == path) return item;
    }
    return nullptr;
  }

  Point finderPosition(const std::string& path) const {
    const Json item = itemAt(path);
    if (item.is_null()) return {std::nan(""), std::nan("")};
    return {item["position"]["x"].get<double>(), item["position"]["y"].get<double>()};
  }

  // Reads output up to the answer to `id`, keeping the MOTION batches on the way; null when
  // no answer comes.
  Json answerTo(const std::string& id, std::vector<Json>* motions = nullptr) {
    while (std::optional<std::string> line = glyphon->readLine()) {
      if (line->rfind("MOTION:", 0) == 0) {
        if (motions) motions->push_back(Json::parse(line->substr(7)));
        continue;
      }
      if (line->rfind("ICON:", 0) != 0) continue;
      Json answer = Json::parse(line->substr(5));
      if (answer["id"] == id) return answer;
    }
    ADD_FAILURE() << "no answer to " << id;
    return nullptr;
  }

  static Json receiptsOf(const Json& answer) {
    if (answer.is_null() || answer["ok"] != true) return Json::array();
    return Json::parse(answer["result"]["data"].get<std::string>());
  }

  // Places every path at its point at once.
  void place(const std::string& id, const std::vector<std::string>& paths,
             const std::vector<Point>& points) {
    glyphon->writeLine(positionCommand(id, paths, points, std::nullopt));
    const Json receipts = receiptsOf(answerTo(id));
    ASSERT_EQ(receipts.size(), paths.size()) << receipts.dump();
  }

  SimdeskSession session;
  TempDir logs;
  std::unique_ptr<ChildProcess> glyphon;
};

TEST_F(GlyphonMotion, TwentyAnimatedIconsReachTheirTargetsInFinder) {
  const std::vector<std::string> paths = desktopFiles("moving ", 20);
  startServing();
  std::vector<Point> starts;
  std::vector<Point> targets;
  for (int index = 0; index < 20; ++index) {
    starts.push_back({100.0 + 60 * index, 150});
    targets.push_back({1300.0 - 60 * index, 700.0 - 10 * index});
  }
  place("place", paths, starts);

  glyphon->writeLine(positionCommand("move", paths, targets, 0.25));
  std::vector<Json> motions;
  const Json receipts = receiptsOf(answerTo("move", &motions));

  ASSERT_EQ(receipts.size(), 20u);
  for (const Json& receipt : receipts) {
    EXPECT_EQ(receipt["status"], "completed") << receipt.dump();
    EXPECT_EQ(receipt["generation"], 2);
  }
  ASSERT_GE(motions.size(), 3u) << "the first step, some on the way, the last";
  for (const Json& batch : motions) EXPECT_EQ(batch.size(), 20u) << "one batch for all icons";
  bool halfway = false;
  for (const Json& batch : motions) {
    const double x = batch[0]["x"].get<double>();
    halfway = halfway || (x > starts[0].x + 100 && x < targets[0].x - 100);
  }
  EXPECT_TRUE(halfway) << "some tick wrote a point on the way";
  for (std::size_t index = 0; index < paths.size(); ++index) {
    const Point at = finderPosition(paths[index]);
    EXPECT_EQ(at.x, targets[index].x) << paths[index];
    EXPECT_EQ(at.y, targets[index].y) << paths[index];
  }
}

TEST_F(GlyphonMotion, AnIconTheUserDragsIsLetGoAndMovesOnFromWhereTheUserLeftIt) {
  const std::string path = desktopFiles("grabbed ", 1)[0];
  startServing();
  place("place", {path}, {{300, 300}});

  glyphon->writeLine(positionCommand("slow", {path}, {{1000, 700}}, 20));
  ASSERT_EQ(glyphon->readLine().value_or("").rfind("MOTION:", 0), 0u);
  const Point grab = finderPosition(path);

  // The person presses on the moving icon, holds the button while Glyphon lets go of it,
  // then drags it away and drops it.
  SimdeskInput person(session);
  ASSERT_TRUE(person.inject(mouse(platform::EventType::leftMouseDown, grab)));
  const Json cancelled = receiptsOf(answerTo("slow"));
  ASSERT_EQ(cancelled.size(), 1u);
  EXPECT_EQ(cancelled[0]["status"], "cancelled");
  for (int step = 1; step <= 10; ++step) {
    ASSERT_TRUE(person.inject(
        mouse(platform::EventType::leftMouseDragged,
              {grab.x + (600 - grab.x) * step / 10, grab.y + (200 - grab.y) * step / 10})));
  }
  ASSERT_TRUE(person.inject(mouse(platform::EventType::leftMouseUp, {600, 200})));
  ASSERT_TRUE(person.waitUntilDelivered());
  const Point left = finderPosition(path);
  EXPECT_LT(std::hypot(left.x - 600, left.y - 200), 40) << left.x << "," << left.y;

  glyphon->writeLine(positionCommand("next", {path}, {{150, 500}}, 0.25));
  std::vector<Json> motions;
  const Json receipts = receiptsOf(answerTo("next", &motions));

  ASSERT_EQ(receipts.size(), 1u);
  EXPECT_EQ(receipts[0]["status"], "completed");
  ASSERT_FALSE(motions.empty());
  EXPECT_NEAR(motions[0][0]["x"].get<double>(), left.x, 1) << "starts where the user left it";
  EXPECT_NEAR(motions[0][0]["y"].get<double>(), left.y, 1);
  const Point end = finderPosition(path);
  EXPECT_EQ(end.x, 150);
  EXPECT_EQ(end.y, 500);
}

TEST_F(GlyphonMotion, GlyphonsOwnSyntheticDragDoesNotLetGoOfTheIcon) {
  const std::string path = desktopFiles("dragged ", 1)[0];
  startServing();
  place("place", {path}, {{300, 300}});
  glyphon->writeLine(positionCommand("slow", {path}, {{1000, 700}}, 20));

  glyphon->writeLine(Json{{"id", "drag"}, {"type", "synth_drag"}, {"path", path}}.dump());
  const Json dragged = answerTo("drag");
  ASSERT_EQ(dragged["ok"], true) << dragged.dump();
  // The posted press has reached Glyphon's own monitor, which watches for grabs.
  ASSERT_TRUE(eventually([&] {
    for (const Json& record : session.deliveryLog()) {
      if (record["stage"] == "monitor" && record["app"] == "Glyphon" &&
          record["origin"] == "posted" && record["event"]["type"] == "leftMouseDown") {
        return true;
      }
    }
    return false;
  })) << ::testing::PrintToString(session.deliveryLog());
  glyphon->writeLine(positionCommand("next", {path}, {{150, 500}}, std::nullopt));

  const Json first = receiptsOf(answerTo("slow"));
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0]["status"], "superseded") << "still Glyphon's to move";
  EXPECT_EQ(receiptsOf(answerTo("next"))[0]["status"], "completed");
}

}  // namespace
}  // namespace deskplay::testing
