#include "motion/finder_position_script.hpp"

#include <gtest/gtest.h>

namespace deskplay::glyphon {
namespace {

TEST(MotionLineTest, KeepsHugeCoordinatesAsNumbers) {
  EXPECT_EQ(motionLine({{"/d/a", 1, {1e20, -3}}}), R"(MOTION:[{"path":"/d/a","x":1e+20,"y":-3}])");
}

TEST(PositionScriptTest, EscapesPathsInsideTheFinderTell) {
  EXPECT_EQ(positionScript({{"/d/back\\slash", 1, {0.5, 0}}, {"/d/\"q\"", 2, {1, 2}}}),
            "tell application \"Finder\"\n"
            "set desktop position of (POSIX file \"/d/back\\\\slash\" as alias) to {1, 0}\n"
            "set desktop position of (POSIX file \"/d/\\\"q\\\"\" as alias) to {1, 2}\n"
            "end tell");
}

TEST(ReceiptsJsonTest, ListsReceiptsInOrderWithWholePositionsWithoutFraction) {
  EXPECT_EQ(receiptsJson({{"/d/a", 2, "completed", {300, 200}}, {"/d/b", 1, "failed", {0.5, -7}}}),
            R"([{"path":"/d/a","generation":2,"status":"completed","position":{"x":300,"y":200}},)"
            R"({"path":"/d/b","generation":1,"status":"failed","position":{"x":0.5,"y":-7}}])");
  EXPECT_EQ(receiptsJson({}), "[]");
}

}  // namespace
}  // namespace deskplay::glyphon
