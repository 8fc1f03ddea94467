#include "sim/simdesk/protocol/wire_types.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace deskplay::simdesk::protocol {
namespace {

using nlohmann::json;

TEST(WireTypesTest, AttributeValuesSurviveTheWire) {
  const std::vector<platform::AttributeValue> values = {
      std::string("AXImage"),
      true,
      48.5,
      platform::Point{100, 200.5},
      platform::Size{64, 77},
      platform::AccessibilityUrl{"file:///home/u/Desktop/a%20b.txt"},
      platform::AccessibilityElement{(std::uint64_t{1} << 63) + 5},
      std::vector<platform::AccessibilityElement>{{1}, {2}, {3}},
      std::vector<platform::AccessibilityElement>{},
  };
  for (const auto& value : values) {
    EXPECT_EQ(decodeAttribute(json::parse(encodeAttribute(value).dump())), value)
        << encodeAttribute(value).dump();
  }
}

TEST(WireTypesTest, MalformedAttributesReadAsMissing) {
  for (const char* text : {R"(null)", R"([1,2])", R"({"x":1})", R"({"x":1,"y":"2"})",
                           R"({"url":3})", R"({"element":-1})", R"({"elements":[1,"a"]})",
                           R"({"url":"a","element":1})"}) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(decodeAttribute(json::parse(text)))) << text;
  }
}

TEST(WireTypesTest, WindowValuesSurviveTheWire) {
  platform::WindowTraits traits;
  traits.level = -2147483602;
  traits.background = platform::Color{1, 0.5, 0, 1};
  traits.opaque = false;
  traits.collectionBehavior = 0x151;
  EXPECT_EQ(decodeTraits(encodeTraits(traits)), traits);
  traits.background.reset();
  EXPECT_EQ(decodeTraits(encodeTraits(traits)), traits);

  platform::StatusPanel::Content content{"Loading", "Loading", {{56, 34}, {80, 28}},
                                         {{24, 38}, {20, 20}}, true, false};
  EXPECT_EQ(decodeContent(encodeContent(content)), content);

  const platform::Screen screen{{{0, 0}, {1440, 900}}, {{0, 70}, {1440, 805}}};
  EXPECT_EQ(decodeScreen(encodeScreen(screen)), screen);

  const platform::WindowInfo info{7, 4242, "Glyphon", "cover", 0, {{1, 2}, {3, 4}}};
  const auto decodedInfo = decodeWindowInfo(encodeWindowInfo(info));
  ASSERT_TRUE(decodedInfo);
  EXPECT_EQ(decodedInfo->number, 7u);
  EXPECT_EQ(decodedInfo->ownerName, "Glyphon");
  EXPECT_EQ(decodedInfo->bounds, info.bounds);

  const platform::RunningApplication finder{12, "com.apple.finder", std::nullopt};
  const auto decodedApplication = decodeApplication(encodeApplication(finder));
  ASSERT_TRUE(decodedApplication);
  EXPECT_EQ(decodedApplication->bundleIdentifier, finder.bundleIdentifier);
  EXPECT_EQ(decodedApplication->localizedName, std::nullopt);
}

TEST(WireTypesTest, DecodersRejectMissingKeysAndWrongTypes) {
  json traits = encodeTraits({});
  traits.erase("canHide");
  EXPECT_EQ(decodeTraits(traits), std::nullopt);
  traits = encodeTraits({});
  traits["level"] = 1.5;
  EXPECT_EQ(decodeTraits(traits), std::nullopt);
  EXPECT_EQ(decodeRect(json::parse(R"({"x":0,"y":0,"width":"1","height":1})")), std::nullopt);
  EXPECT_EQ(decodeApplication(json::parse(R"({"pid":1,"bundleIdentifier":5})")), std::nullopt);
  EXPECT_EQ(decodeBundle(json::parse(R"({"element":1,"attributes":{}})")), std::nullopt);
}

TEST(WireTypesTest, ScriptRunsSurviveTheWire) {
  const std::vector<platform::ScriptRun> runs = {
      platform::ScriptRun::success(),
      platform::ScriptRun::success(platform::ScriptValue{"48", 48, "48"}),
      platform::ScriptRun::success(platform::ScriptValue{std::nullopt, 0, "{1, 2}"}),
      platform::ScriptRun::runFailure({"Application isn't running.", -600, "{…}"}),
      platform::ScriptRun::compileFailure({std::nullopt, std::nullopt, "{}"}),
  };
  for (const auto& run : runs) {
    const auto decoded = decodeScriptRun(json::parse(encodeScriptRun(run).dump()));
    ASSERT_TRUE(decoded) << encodeScriptRun(run).dump();
    EXPECT_EQ(decoded->outcome, run.outcome);
    EXPECT_EQ(decoded->result.has_value(), run.result.has_value());
    if (run.result) {
      EXPECT_EQ(decoded->result->stringValue, run.result->stringValue);
      EXPECT_EQ(decoded->result->int32Value, run.result->int32Value);
      EXPECT_EQ(decoded->result->description, run.result->description);
    }
    EXPECT_EQ(decoded->error.message, run.error.message);
    EXPECT_EQ(decoded->error.number, run.error.number);
  }
  EXPECT_EQ(decodeScriptRun(json::parse(R"({"outcome":"maybe"})")), std::nullopt);
  EXPECT_EQ(decodeScriptRun(json::parse(R"({"outcome":"runFailed"})")), std::nullopt);
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
