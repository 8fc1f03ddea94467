#include "listener/capture_command.hpp"

#include <gtest/gtest.h>

#include "listener/recording_line_output.hpp"

namespace deskplay::keyhark {
namespace {

using platform::Rect;
using Rects = std::vector<Rect>;

TEST(ParseCaptureCommand, ReadsTheDragSwitch) {
  struct Case {
    const char* line;
    std::optional<bool> captureDesktopDrags;
  };
  const Case cases[] = {
      {R"({"captureDesktopDrags":true})", true},
      {R"({"captureDesktopDrags":false})", false},
      {R"({"captureDesktopDrags":1})", true},
      {R"({"captureDesktopDrags":0})", false},
      {R"({"captureDesktopDrags":1.0})", true},
      {R"({"captureDesktopDrags":2})", std::nullopt},
      {R"({"captureDesktopDrags":-1})", std::nullopt},
      {R"({"captureDesktopDrags":0.5})", std::nullopt},
      {R"({"captureDesktopDrags":"true"})", std::nullopt},
      {R"({"captureDesktopDrags":null})", std::nullopt},
      {R"({"captureDesktopDrags":[true]})", std::nullopt},
      {R"({"CaptureDesktopDrags":true})", std::nullopt},
      {R"({})", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto command = parseCaptureCommand(c.line);
    ASSERT_TRUE(command) << c.line;
    EXPECT_EQ(command->captureDesktopDrags, c.captureDesktopDrags) << c.line;
    EXPECT_FALSE(command->captureRects) << c.line;
  }
}

TEST(ParseCaptureCommand, ReadsRectanglesOfTheRightShapeOnly) {
  struct Case {
    const char* line;
    std::optional<Rects> rects;
  };
  const Case cases[] = {
      {R"({"captureRects":[]})", Rects{}},
      {R"({"captureRects":[{"x":1,"y":2,"width":3.5,"height":4}]})", Rects{{{1, 2}, {3.5, 4}}}},
      {R"({"captureRects":[{"height":4,"width":3,"y":2,"x":1},{"x":0,"y":0,"width":9,"height":9}]})",
       Rects{{{1, 2}, {3, 4}}, {{0, 0}, {9, 9}}}},
      {R"({"captureRects":[{"x":0,"y":0,"width":10}]})", Rects{}},
      {R"({"captureRects":[{"x":0,"y":0,"width":10},{"x":5,"y":5,"width":1,"height":1}]})",
       Rects{{{5, 5}, {1, 1}}}},
      {R"({"captureRects":[{"x":0,"y":0,"width":1,"height":1,"depth":2}]})",
       Rects{{{0, 0}, {1, 1}}}},
      {R"({"captureRects":[{}]})", Rects{}},
      {R"({"captureRects":[{"x":"0","y":0,"width":1,"height":1}]})", std::nullopt},
      {R"({"captureRects":[{"x":0,"y":0,"width":1,"height":1,"name":"a"}]})", std::nullopt},
      {R"({"captureRects":[{"x":true,"y":0,"width":1,"height":1}]})", std::nullopt},
      {R"({"captureRects":[{"x":0,"y":0,"width":1,"height":1},[1,2,3,4]]})", std::nullopt},
      {R"({"captureRects":[{"x":0,"y":0,"width":1,"height":1},7]})", std::nullopt},
      {R"({"captureRects":{"x":0,"y":0,"width":1,"height":1}})", std::nullopt},
      {R"({"captureRects":null})", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto command = parseCaptureCommand(c.line);
    ASSERT_TRUE(command) << c.line;
    EXPECT_EQ(command->captureRects, c.rects) << c.line;
    EXPECT_FALSE(command->captureDesktopDrags) << c.line;
  }
}

TEST(ParseCaptureCommand, AnythingButAJsonObjectIsNoCommand) {
  for (const char* line :
       {"", "   ", "true", "1", "\"captureDesktopDrags\"", R"([{"captureDesktopDrags":true}])",
        R"({"captureDesktopDrags":true)", "captureDesktopDrags=true", "{\"a\":\"\xff\"}", "null",
        // A number no double holds makes the line no JSON this program can read, in an
        // unknown key as much as in a known one.
        R"({"captureDesktopDrags":true,"unknown":1e400})", R"({"captureDesktopDrags":1e400})",
        R"({"captureRects":[{"x":0,"y":-1e400,"width":1,"height":1}]})"}) {
    EXPECT_FALSE(parseCaptureCommand(line)) << line;
  }
  EXPECT_TRUE(parseCaptureCommand(" {\"unknown\":1} \r"));
}

class ApplyCaptureTest : public ::testing::Test {
 protected:
  CaptureSettings settings_;
  testing::RecordingLineOutput status_;
};

TEST_F(ApplyCaptureTest, SwitchesAndReports) {
  applyCaptureLine(R"({"captureDesktopDrags":1})", settings_, status_);
  EXPECT_TRUE(settings_.captureDesktopDrags());
  applyCaptureLine(R"({"captureDesktopDrags":false})", settings_, status_);
  EXPECT_FALSE(settings_.captureDesktopDrags());
  applyCaptureLine(R"({"captureDesktopDrags":"yes"})", settings_, status_);
  EXPECT_EQ(status_.lines(), (std::vector<std::string>{"MOUSE_CAPTURE on", "MOUSE_CAPTURE off"}));
}

TEST_F(ApplyCaptureTest, BothKeysApplyDragSwitchFirstWhateverTheirOrder) {
  applyCaptureLine(
      R"({"captureRects":[{"x":0,"y":0,"width":5,"height":5}],"captureDesktopDrags":true})",
      settings_, status_);
  EXPECT_EQ(status_.lines(),
            (std::vector<std::string>{"MOUSE_CAPTURE on", "MOUSE_CAPTURE rects=1"}));
  EXPECT_TRUE(settings_.captureDesktopDrags());
  EXPECT_EQ(settings_.captureRects(), (Rects{{{0, 0}, {5, 5}}}));
}

TEST_F(ApplyCaptureTest, NewListReplacesTheOldAndMalformedOnesLeaveIt) {
  applyCaptureLine(
      R"({"captureRects":[{"x":0,"y":0,"width":5,"height":5},{"x":9,"y":9,"width":1,"height":1}]})",
      settings_, status_);
  applyCaptureLine(R"({"captureRects":[{"x":0,"y":0,"width":5,"height":5},"oops"]})", settings_,
                   status_);
  applyCaptureLine("not json", settings_, status_);
  EXPECT_EQ(settings_.captureRects().size(), 2u);
  applyCaptureLine(R"({"captureRects":[{"x":0,"y":0,"width":10}]})", settings_, status_);
  EXPECT_TRUE(settings_.captureRects().empty());
  EXPECT_TRUE(settings_.captureRectsContain(5000, -5000));
  EXPECT_EQ(status_.lines(),
            (std::vector<std::string>{"MOUSE_CAPTURE rects=2", "MOUSE_CAPTURE rects=0"}));
}

TEST(CaptureSettings, RectanglesHoldTheirInsideOnly) {
  CaptureSettings settings;
  EXPECT_TRUE(settings.captureRectsContain(-1, 1e9));
  settings.setCaptureRects({{{10, 10}, {20, 20}}, {{100, 100}, {-10, -10}}});
  struct Case {
    double x, y;
    bool inside;
  };
  const Case cases[] = {{10, 10, true},  {29.9, 29.9, true}, {30, 20, false},
                        {20, 30, false}, {9.9, 15, false},   {95, 95, true},
                        {90, 90, true},  {100, 95, false},   {50, 50, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(settings.captureRectsContain(c.x, c.y), c.inside) << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace deskplay::keyhark
