#include "common/json_line.hpp"

#include <gtest/gtest.h>

namespace deskplay {
namespace {

using Json = nlohmann::ordered_json;

constexpr JsonStyle kSortedEscaped{KeyOrder::Sorted, SlashEscaping::Backslashed};

TEST(JsonLine, SortsKeysAtEveryLevelWhenAsked) {
  const Json value = {{"value", {{"stash", 1}, {"desktop", 2}}}, {"ok", true}};
  EXPECT_EQ(jsonLine(value, kSortedEscaped).value(),
            "{\"ok\":true,\"value\":{\"desktop\":2,\"stash\":1}}\n");
  EXPECT_EQ(jsonLine(value, {}).value(), "{\"value\":{\"stash\":1,\"desktop\":2},\"ok\":true}\n");
}

TEST(JsonLine, EscapesSlashOnlyWhenAsked) {
  const Json path = "/Users/me/Desktop";
  EXPECT_EQ(jsonLine(path, kSortedEscaped).value(), "\"\\/Users\\/me\\/Desktop\"\n");
  EXPECT_EQ(jsonLine(path, {}).value(), "\"/Users/me/Desktop\"\n");
}

TEST(JsonLine, EscapesQuotesBackslashesAndControlCharacters) {
  const Json text = std::string("q\"b\\n\nt\tc\x01 e\x7F", 13);
  EXPECT_EQ(jsonLine(text, {}).value(), "\"q\\\"b\\\\n\\nt\\tc\\u0001 e\x7F\"\n");
}

TEST(JsonLine, WritesNonAsciiAsUtf8) {
  EXPECT_EQ(jsonLine(Json("caf\xC3\xA9 \xF0\x9F\x8E\xAE"), {}).value(),
            "\"caf\xC3\xA9 \xF0\x9F\x8E\xAE\"\n");
}

TEST(JsonLine, ScalarsAndContainers) {
  const Json value = {
      {"a", nullptr}, {"b", Json::array({1, -2, 2.5, false})}, {"c", Json::object()}};
  EXPECT_EQ(jsonLine(value, {}).value(), "{\"a\":null,\"b\":[1,-2,2.5,false],\"c\":{}}\n");
}

TEST(JsonLine, NumbersAreSpelledAsThePlatformWritesThem) {
  const std::pair<double, std::string> cases[] = {
      {1440, "1440"}, {-3, "-3"}, {-0.0, "0"}, {0.25, "0.25"}, {208.8, "208.8"}, {1e300, "1e+300"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(jsonNumber(value).dump(), text) << value;
}

TEST(JsonLine, RefusesInvalidUtf8InValuesAndKeys) {
  EXPECT_FALSE(jsonLine(Json("bad\xFF"), {}).ok());
  EXPECT_FALSE(jsonLine(Json{{"bad\xFF", 1}}, {}).ok());
}

}  // namespace
}  // namespace deskplay
