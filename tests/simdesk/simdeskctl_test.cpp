#include <gtest/gtest.h>

#include <QImage>

#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using nlohmann::json;

class SimdeskctlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFile(session_.desktop() / "note.txt", "hello");
    writeFile(session_.desktop() / ".hidden", "");
    ASSERT_TRUE(session_.start());
  }

  SimdeskSession session_;
};

TEST_F(SimdeskctlTest, ScriptPrintsTheResultOrTheErrorWithItsNumber) {
  const Completed name = session_.ctl({"script"}, "tell application \"Finder\" to get name of item 1 of desktop");
  EXPECT_EQ(name.status, 0) << name.errors;
  EXPECT_EQ(name.output, "note.txt\n");

  writeFile(session_.home() / "s.applescript", "tell application \"Finder\" to get icon size of icon view options of container window of desktop");
  const Completed fromFile = session_.ctl({"script", (session_.home() / "s.applescript").string()});
  EXPECT_EQ(fromFile.status, 0) << fromFile.errors;
  EXPECT_FALSE(fromFile.output.empty());

  const Completed missing = session_.ctl({"script", "-"}, "tell application \"Finder\" to get item \"nope\" of desktop");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.output, "");
  EXPECT_TRUE(missing.errors.starts_with("execution error: ")) << missing.errors;
  EXPECT_TRUE(missing.errors.ends_with("(-1728)\n")) << missing.errors;

  const Completed broken = session_.ctl({"script"}, "tell application \"Finder\" to get");
  EXPECT_EQ(broken.status, 1);
  EXPECT_TRUE(broken.errors.starts_with("syntax error: ")) << broken.errors;
}

TEST_F(SimdeskctlTest, AScriptToAQuitFinderFailsUntilItIsLaunchedAgain) {
  ASSERT_EQ(session_.ctl({"finder", "quit"}).status, 0);
  const char* script = "tell application \"Finder\" to get name of startup disk";
  const Completed quit = session_.ctl({"script"}, script);
  EXPECT_EQ(quit.status, 1);
  EXPECT_TRUE(quit.errors.ends_with("(-600)\n")) << quit.errors;
  EXPECT_EQ(session_.ctl({"finder", "quit"}).status, 1) << "Finder is not running";

  ASSERT_EQ(session_.ctl({"finder", "launch"}).status, 0);
  // Finder answers after its launch time; ask until it does, as the programs do.
  Completed ready;
  EXPECT_TRUE(eventually([&] {
    ready = session_.ctl({"script"}, script);
    return !ready.output.empty();
  }));
  EXPECT_EQ(ready.status, 0) << ready.errors;
  EXPECT_EQ(ready.output, "Macintosh HD\n");
}

TEST_F(SimdeskctlTest, StateIsTheWholeModelAsJson) {
  const Completed state = session_.ctl({"state"});
  ASSERT_EQ(state.status, 0) << state.errors;
  const json model = json::parse(state.output);
  EXPECT_TRUE(model.is_object());
  EXPECT_NE(state.output.find("note.txt"), std::string::npos);
  EXPECT_EQ(state.output.find(".hidden"), std::string::npos);
}

TEST_F(SimdeskctlTest, AccessibilityTreeAndHitTestShowTheDesktopIcon) {
  const Completed tree = session_.ctl({"ax-tree"});
  ASSERT_EQ(tree.status, 0) << tree.errors;
  EXPECT_TRUE(tree.output.starts_with("AXApplication \"Finder\"")) << tree.output;
  const std::size_t icon = tree.output.find("AXImage \"note.txt\" at (");
  ASSERT_NE(icon, std::string::npos) << tree.output;

  // The icon's centre, from the line "AXImage "note.txt" at (X, Y) size WxH".
  double x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(std::sscanf(tree.output.c_str() + icon, "AXImage \"note.txt\" at (%lf, %lf) size %lfx%lf",
                        &x, &y, &w, &h), 4);
  const Completed hit = session_.ctl({"ax-at", std::to_string(x + w / 2), std::to_string(y + h / 2)});
  ASSERT_EQ(hit.status, 0) << hit.errors;
  EXPECT_TRUE(hit.output.starts_with("AXImage \"note.txt\"")) << hit.output;
  EXPECT_NE(hit.output.find("  in AXApplication \"Finder\""), std::string::npos) << hit.output;
}

TEST_F(SimdeskctlTest, ScreenshotWritesAPngOfEveryScreen) {
  ASSERT_EQ(session_.ctl({"screens", "800x600,640x480"}).status, 0);
  const std::filesystem::path out = session_.home() / "shot.png";
  const Completed shot = session_.ctl({"screenshot", out.string()});
  ASSERT_EQ(shot.status, 0) << shot.errors;
  QImage image(QString::fromStdString(out.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 800 + 640);
  EXPECT_EQ(image.height(), 600);

  ASSERT_EQ(session_.ctl({"screens", "none"}).status, 0);
  const Completed none = session_.ctl({"screenshot", out.string()});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.errors, "simdeskctl: there is no screen to capture\n");
}

TEST_F(SimdeskctlTest, PrivacyRevokeAndGrantChangeWhatAnApplicationReads) {
  auto glyphon = session_.connect("Glyphon");
  const auto trusted = [&] {
    auto reply = glyphon->request("ax.trusted", {{"prompt", true}}, simdesk::protocol::Effect::mayChange);
    return reply.ok() && reply.value()["trusted"] == true;
  };
  EXPECT_TRUE(trusted());
  ASSERT_EQ(session_.ctl({"privacy", "revoke", "accessibility", "Glyphon"}).status, 0);
  EXPECT_FALSE(trusted());
  EXPECT_EQ(session_.ctl({"prompts"}).output, "prompt accessibility Glyphon\n");
  ASSERT_EQ(session_.ctl({"privacy", "grant", "accessibility", "Glyphon"}).status, 0);
  EXPECT_TRUE(trusted());
}

TEST_F(SimdeskctlTest, BadUseIsOneLineWithStatusTwo) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {}, {"fly"}, {"finder", "restart"}, {"privacy", "grant", "camera", "X"},
           {"screens", "1x"}, {"ax-at", "1"}, {"ax-at", "a", "b"}, {"screenshot"}}) {
    const Completed bad = session_.ctl(arguments);
    EXPECT_EQ(bad.status, 2) << (arguments.empty() ? "" : arguments.front());
    EXPECT_EQ(std::count(bad.errors.begin(), bad.errors.end(), '\n'), 1) << bad.errors;
  }
  const Completed help = session_.ctl({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.output.starts_with("usage: simdeskctl")) << help.output;
}

TEST(SimdeskctlWithoutSimdeskTest, SaysSoInOneLine) {
  SimdeskSession session;
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"state"}, {"script"}, {"finder", "launch"}}) {
    const Completed absent = session.ctl(arguments, "return 1");
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.errors,
              "simdeskctl: simdesk is not running (socket " + session.socket().string() + ")\n");
  }
}

struct ToolCase {
  std::string tool;
  std::vector<std::string> arguments;
  int status;
  std::string errors;
};

class FinderToolsTest : public SimdeskctlTest, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(FinderToolsTest, AnswerAsTheMacosToolsDo) {
  const ToolCase& c = GetParam();
  const Completed done = session_.tool(simToolsFolder() / c.tool, c.arguments);
  EXPECT_EQ(done.status, c.status) << done.errors;
  EXPECT_EQ(done.errors, c.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FinderToolsTest,
    ::testing::Values(
        ToolCase{"killall", {"Finder"}, 0, ""},
        ToolCase{"killall", {"-9", "Finder"}, 0, ""},
        ToolCase{"killall", {"Dock"}, 1, "No matching processes belonging to you were found\n"},
        ToolCase{"open", {"-a", "Finder"}, 0, ""},
        ToolCase{"open", {"-a", "Safari"}, 1, "Unable to find application named 'Safari'\n"},
        ToolCase{"open", {"/no/such/file"}, 1, "The file /no/such/file does not exist.\n"}));

TEST_F(SimdeskctlTest, KillallRestartsFinderAndSecondKillallMatchesNothingWhileItIsQuit) {
  ASSERT_EQ(session_.ctl({"finder", "quit"}).status, 0);
  const Completed none = session_.tool(simToolsFolder() / "killall", {"Finder"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.errors, "No matching processes belonging to you were found\n");
  EXPECT_EQ(session_.tool(simToolsFolder() / "open", {"-a", "Finder"}).status, 0);
}

TEST(FinderToolsWithoutSimdeskTest, FindNothing) {
  SimdeskSession session;
  const Completed killall = session.tool(simToolsFolder() / "killall", {"Finder"});
  EXPECT_EQ(killall.status, 1);
  EXPECT_EQ(killall.errors, "No matching processes belonging to you were found\n");
  const Completed open = session.tool(simToolsFolder() / "open", {"-a", "Finder"});
  EXPECT_EQ(open.status, 1);
  EXPECT_EQ(open.errors, "Unable to find application named 'Finder'\n");
}

}  // namespace
}  // namespace deskplay::testing
