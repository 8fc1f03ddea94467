#include "protocol/command_decoder.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::glyphon {
namespace {

Command decoded(std::string_view line) {
  DecodedLine result = decodeCommand(line);
  if (const auto* failure = std::get_if<UndecodableLine>(&result)) {
    ADD_FAILURE() << line << " did not decode: " << failure->description;
    return {};
  }
  return std::get<Command>(result);
}

TEST(CommandDecoderTest, DecodesEveryListedKey) {
  const Command command = decoded(
      R"({"id":"7","type":"restart_finder","paths":["/a","/b"],"path":"/p","x":1.5,"y":-2,)"
      R"("value":"v","iconPath":"/i.png","iconData":"AAA=","script":"return 1","gridSpacing":80,)"
      R"("iconSize":64.0,"textSize":12,"gridArrangement":"name","labelPosition":"right",)"
      R"("w":10,"h":20.25,"color":"#ff0000","owner":"park-1","unlisted":{"any":[1]}})");
  EXPECT_EQ(command.id, "7");
  EXPECT_EQ(command.type, "restart_finder");
  EXPECT_EQ(command.paths, (std::vector<std::string>{"/a", "/b"}));
  EXPECT_EQ(command.path, "/p");
  EXPECT_EQ(command.x, 1.5);
  EXPECT_EQ(command.y, -2.0);
  EXPECT_EQ(command.value, "v");
  EXPECT_EQ(command.iconPath, "/i.png");
  EXPECT_EQ(command.iconData, "AAA=");
  EXPECT_EQ(command.script, "return 1");
  EXPECT_EQ(command.gridSpacing, 80);
  EXPECT_EQ(command.iconSize, 64);
  EXPECT_EQ(command.textSize, 12);
  EXPECT_EQ(command.gridArrangement, "name");
  EXPECT_EQ(command.labelPosition, "right");
  EXPECT_EQ(command.w, 10.0);
  EXPECT_EQ(command.h, 20.25);
  EXPECT_EQ(command.color, "#ff0000");
  EXPECT_EQ(command.owner, "park-1");
  EXPECT_FALSE(command.updates.has_value());
}

TEST(CommandDecoderTest, AbsentAndNullKeysStayAbsent) {
  const Command command = decoded(R"({"type":"icon_size","id":null,"value":null,"iconSize":null})");
  EXPECT_EQ(command.type, "icon_size");
  EXPECT_FALSE(command.id.has_value());
  EXPECT_FALSE(command.value.has_value());
  EXPECT_FALSE(command.iconSize.has_value());
}

TEST(CommandDecoderTest, DecodesUpdatesAndTransitions) {
  const Command command = decoded(
      R"({"type":"position","updates":[)"
      R"({"path":"/a","x":10,"y":20.5},)"
      R"({"path":"/b","x":-1,"y":0,"transition":{"duration":0.25,"easing":"easeOut","enabled":false}},)"
      R"({"path":"/c","x":0,"y":0,"transition":{"duration":1}}]})");
  ASSERT_TRUE(command.updates.has_value());
  ASSERT_EQ(command.updates->size(), 3u);
  const PositionUpdate& plain = (*command.updates)[0];
  EXPECT_EQ(plain.path, "/a");
  EXPECT_EQ(plain.x, 10.0);
  EXPECT_EQ(plain.y, 20.5);
  EXPECT_FALSE(plain.transition.has_value());
  const PositionUpdate& eased = (*command.updates)[1];
  ASSERT_TRUE(eased.transition.has_value());
  EXPECT_EQ(eased.transition->duration, 0.25);
  EXPECT_EQ(eased.transition->easing, "easeOut");
  EXPECT_EQ(eased.transition->enabled, false);
  const PositionUpdate& bare = (*command.updates)[2];
  ASSERT_TRUE(bare.transition.has_value());
  EXPECT_FALSE(bare.transition->easing.has_value());
  EXPECT_FALSE(bare.transition->enabled.has_value());
}

TEST(CommandDecoderTest, KeepsUnicodeAndEscapesInText) {
  const Command command =
      decoded(R"({"type":"comment","path":"/Desktop/caf\u00e9 \"1\".txt","value":"Zoë\n🎲"})");
  EXPECT_EQ(command.path, "/Desktop/café \"1\".txt");
  EXPECT_EQ(command.value, "Zoë\n🎲");
}

struct Rejected {
  const char* name;
  std::string line;
  std::optional<std::string> id;  // the id an answer can still go to
};

class CommandDecoderRejectsTest : public ::testing::TestWithParam<Rejected> {};

TEST_P(CommandDecoderRejectsTest, RejectsTheWholeLine) {
  const DecodedLine result = decodeCommand(GetParam().line);
  const auto* failure = std::get_if<UndecodableLine>(&result);
  ASSERT_NE(failure, nullptr);
  EXPECT_FALSE(failure->description.empty());
  EXPECT_EQ(failure->id, GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandDecoderRejectsTest,
    ::testing::Values(
        Rejected{"Empty", "", std::nullopt}, Rejected{"NotJson", "hello", std::nullopt},
        Rejected{"TrailingText", R"({"type":"icon_size","id":"1"} x)", std::nullopt},
        Rejected{"Array", R"([{"type":"icon_size"}])", std::nullopt},
        Rejected{"String", R"("icon_size")", std::nullopt},
        Rejected{"MissingType", R"({"id":"1"})", "1"},
        Rejected{"NullType", R"({"id":"1","type":null})", "1"},
        Rejected{"NumberType", R"({"id":"1","type":3})", "1"},
        Rejected{"NumberId", R"({"id":1,"type":"icon_size"})", std::nullopt},
        Rejected{"FractionForInteger", R"({"id":"2","type":"restart_finder","iconSize":64.5})",
                 "2"},
        Rejected{"StringForInteger", R"({"id":"2","type":"restart_finder","gridSpacing":"80"})",
                 "2"},
        Rejected{"IntegerBeyond64Bits",
                 R"({"id":"2","type":"restart_finder","textSize":9223372036854775808})", "2"},
        Rejected{"BooleanForInteger", R"({"id":"2","type":"restart_finder","textSize":true})", "2"},
        Rejected{"StringForNumber", R"({"id":"3","type":"cover_set","x":"10"})", "3"},
        Rejected{"BooleanForNumber", R"({"id":"3","type":"cover_set","w":false})", "3"},
        // A number no double holds fails the plain reading of the line too, wherever it is:
        // there is no id to answer.
        Rejected{"NumberOutOfRange", R"({"id":"3","type":"cover_set","h":1e400})", std::nullopt},
        Rejected{"NumberOutOfRangeInAnUnlistedKey",
                 R"({"id":"3","type":"icon_size","unlisted":[{"n":1e400}]})", std::nullopt},
        Rejected{"NumberOutOfRangeInAnUpdate",
                 R"({"id":"6","type":"position","updates":[{"path":"/a","x":-1e400,"y":0}]})",
                 std::nullopt},
        Rejected{
            "IntegerOutOfRangeForADouble",
            R"({"id":"2","type":"restart_finder","gridSpacing":1)" + std::string(400, '0') + "}",
            std::nullopt},
        Rejected{"NumberForString", R"({"id":"4","type":"color","value":3})", "4"},
        Rejected{"ObjectForPaths", R"({"id":"5","type":"position_cancel","paths":{"a":1}})", "5"},
        Rejected{"NumberInPaths", R"({"id":"5","type":"position_cancel","paths":["/a",1]})", "5"},
        Rejected{"UpdateWithoutPath", R"({"id":"6","type":"position","updates":[{"x":1,"y":2}]})",
                 "6"},
        Rejected{"UpdateWithoutY",
                 R"({"id":"6","type":"position","updates":[{"path":"/a","x":1}]})", "6"},
        Rejected{"UpdateNotObject", R"({"id":"6","type":"position","updates":["/a"]})", "6"},
        Rejected{
            "TransitionWithoutDuration",
            R"({"id":"6","type":"position","updates":[{"path":"/a","x":1,"y":2,"transition":{}}]})",
            "6"},
        Rejected{
            "StringEnabled",
            R"({"id":"6","type":"position","updates":[{"path":"/a","x":1,"y":2,"transition":{"duration":1,"enabled":"yes"}}]})",
            "6"},
        Rejected{"InvalidUtf8", "{\"id\":\"8\",\"type\":\"icon_size\",\"value\":\"\xff\"}",
                 std::nullopt}),
    [](const ::testing::TestParamInfo<Rejected>& tested) { return tested.param.name; });

TEST(CommandDecoderTest, DescribesTheOffendingKey) {
  const DecodedLine result = decodeCommand(R"({"id":"1","type":"cover_set","w":"wide"})");
  const auto& failure = std::get<UndecodableLine>(result);
  EXPECT_NE(failure.description.find("'w'"), std::string::npos) << failure.description;
}

}  // namespace
}  // namespace deskplay::glyphon
