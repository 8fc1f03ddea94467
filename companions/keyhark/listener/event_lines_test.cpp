#include "listener/event_lines.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <nlohmann/json.hpp>

#include "listener/recording_line_output.hpp"

namespace deskplay::keyhark {
namespace {

TEST(EventLines, KeydownCarriesCodeAndCharacters) {
  EXPECT_EQ(keydownLine(0, "a"), R"({"type":"keydown","keyCode":0,"char":"a"})");
  EXPECT_EQ(keydownLine(122, ""), R"({"type":"keydown","keyCode":122,"char":""})");
}

TEST(EventLines, SlashesAndControlCharactersAreEscaped) {
  EXPECT_EQ(keydownLine(44, "/"), R"({"type":"keydown","keyCode":44,"char":"\/"})");
  EXPECT_EQ(keydownLine(36, "\r"), R"({"type":"keydown","keyCode":36,"char":"\r"})");
  EXPECT_EQ(keydownLine(42, "\\\""), R"({"type":"keydown","keyCode":42,"char":"\\\""})");
  EXPECT_EQ(mouseLine("click", 1, 2, std::string("/Users/me/Desktop/a.txt")),
            R"({"type":"click","x":1,"y":2,"target":"\/Users\/me\/Desktop\/a.txt"})");
}

TEST(EventLines, WholeCoordinatesHaveNoFraction) {
  EXPECT_EQ(mouseLine("drag", 1440, -3, std::nullopt), R"({"type":"drag","x":1440,"y":-3})");
  EXPECT_EQ(mouseLine("drag", -0.0, 0.25, std::nullopt), R"({"type":"drag","x":0,"y":0.25})");
  EXPECT_EQ(mouseLine("drag", 1e300, 208.8, std::nullopt), R"({"type":"drag","x":1e+300,"y":208.8})");
}

TEST(EventLines, MouseLineHasTargetOnlyWhenGiven) {
  const auto withTarget = nlohmann::json::parse(*mouseLine("rightclick", 10.5, -3, "naïve"));
  EXPECT_EQ(
      withTarget,
      (nlohmann::json{{"type", "rightclick"}, {"x", 10.5}, {"y", -3.0}, {"target", "naïve"}}));
  const auto without = nlohmann::json::parse(*mouseLine("mousedown", 4, 5, std::nullopt));
  EXPECT_EQ(without, (nlohmann::json{{"type", "mousedown"}, {"x", 4.0}, {"y", 5.0}}));
}

TEST(EventLines, WhatJsonCannotSayDropsTheLine) {
  const std::string broken("\xff\xfe");
  EXPECT_FALSE(keydownLine(0, broken));

  struct Case {
    const char* what;
    double x, y;
    std::optional<std::string> target;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"target not UTF-8", 0, 0, broken},
      {"x NaN", nan, 5, std::nullopt},
      {"y NaN", 5, nan, std::string("a")},
      {"x infinite", infinity, 5, std::nullopt},
      {"y minus infinity", 5, -infinity, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(mouseLine("click", c.x, c.y, c.target)) << c.what;
    testing::RecordingLineOutput events;
    emitMouse(events, "click", c.x, c.y, c.target);
    EXPECT_TRUE(events.lines().empty()) << c.what;
  }

  testing::RecordingLineOutput events;
  emitKeydown(events, 0, broken);
  EXPECT_TRUE(events.lines().empty());
  emitMouse(events, "mouseup", 0, 0);
  EXPECT_EQ(events.lines().size(), 1u);
}

}  // namespace
}  // namespace deskplay::keyhark
