#include "audio_command.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::sonette {
namespace {

using Type = AudioCommandType;

struct Accepted {
  std::string line;
  AudioCommand command;
};

void PrintTo(const Accepted& accepted, std::ostream* out) {
  *out << accepted.line;
}

class AcceptedLine : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedLine, DecodesToItsCommand) {
  const std::optional<AudioCommand> command = decodeAudioCommand(GetParam().line);
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(*command, GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AcceptedLine,
    ::testing::Values(
        Accepted{R"({"type":"play","path":"/s/a.wav"})", {Type::Play, {}, "/s/a.wav", {}}},
        Accepted{R"({"type":"play","path":"a.wav","volume":0.25})",
                 {Type::Play, {}, "a.wav", 0.25}},
        Accepted{R"({"type":"play","path":"a.wav","volume":2})", {Type::Play, {}, "a.wav", 2.0}},
        Accepted{R"({"type":"play","path":"a.wav","volume":-1})", {Type::Play, {}, "a.wav", -1.0}},
        Accepted{R"({"type":"loop","id":"music","path":"m.ogg","volume":0.5})",
                 {Type::Loop, "music", "m.ogg", 0.5}},
        Accepted{R"({"type":"stop","id":"music"})", {Type::Stop, "music", {}, {}}},
        Accepted{R"({"type":"stop_all"})", {Type::StopAll, {}, {}, {}}},
        Accepted{R"({"type":"load","path":"b.flac"})", {Type::Load, {}, "b.flac", {}}},
        // Fields a type does not need are kept but change nothing.
        Accepted{R"({"type":"stop_all","id":"x","path":"p"})", {Type::StopAll, "x", "p", {}}},
        Accepted{R"({"path":"a.wav","extra":[1,{"deep":null}],"type":"play","n":true})",
                 {Type::Play, {}, "a.wav", {}}},
        Accepted{R"({"type":"play","path":"a.wav","volume":null,"id":null})",
                 {Type::Play, {}, "a.wav", {}}},
        Accepted{R"({"type":"play","path":""})", {Type::Play, {}, "", {}}},
        Accepted{R"({"type":"play","path":"caf\u00e9 \"q\".wav"})",
                 {Type::Play, {}, "caf\xC3\xA9 \"q\".wav", {}}},
        Accepted{" \t{\"type\":\"stop_all\"} ", {Type::StopAll, {}, {}, {}}}));

class IgnoredLine : public ::testing::TestWithParam<std::string> {};

TEST_P(IgnoredLine, DecodesToNothing) {
  EXPECT_FALSE(decodeAudioCommand(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(NotJson, IgnoredLine,
                         ::testing::Values("", "   ", "EXIT", " EXIT", "EXIT ", "play a.wav",
                                           R"({"type":"play","path":"a.wav"} {})",
                                           R"({"type":"play","path":"a.wav")",
                                           R"({"type":"play","path":"a.wav",})",
                                           std::string("{\"type\":\"play\",\"path\":\"a\xFF\"}"),
                                           std::string("{\"type\":\"stop_all\"}\0", 20),
                                           std::string("{\"type\":\"stop_all\"}\0garbage", 27),
                                           // No double holds these, in a known key or not.
                                           R"({"type":"play","path":"a.wav","volume":1e400})",
                                           R"({"type":"stop_all","extra":[-1e400]})"));

INSTANTIATE_TEST_SUITE_P(NotAnObject, IgnoredLine,
                         ::testing::Values("[]", R"("play")", "42", "null",
                                           R"([{"type":"stop_all"}])"));

INSTANTIATE_TEST_SUITE_P(
    TypeMissingOrWrong, IgnoredLine,
    ::testing::Values("{}", R"({"path":"a.wav"})", R"({"type":null,"path":"a.wav"})",
                      R"({"type":7,"path":"a.wav"})", R"({"type":["play"],"path":"a.wav"})",
                      R"({"type":"PLAY","path":"a.wav"})", R"({"type":"pause","path":"a.wav"})",
                      R"({"type":"play ","path":"a.wav"})", R"({"type":"stopAll"})"));

INSTANTIATE_TEST_SUITE_P(
    FieldOfTheWrongType, IgnoredLine,
    ::testing::Values(R"({"type":"play","path":5})", R"({"type":"play","path":["a.wav"]})",
                      R"({"type":"play","path":"a.wav","volume":"1"})",
                      R"({"type":"play","path":"a.wav","volume":true})",
                      R"({"type":"play","path":"a.wav","volume":[1]})", R"({"type":"stop","id":1})",
                      R"({"type":"stop_all","id":{}})", R"({"type":"stop_all","volume":"loud"})"));

INSTANTIATE_TEST_SUITE_P(NeededFieldMissing, IgnoredLine,
                         ::testing::Values(R"({"type":"play"})", R"({"type":"play","path":null})",
                                           R"({"type":"play","id":"a.wav"})",
                                           R"({"type":"loop","path":"a.wav"})",
                                           R"({"type":"loop","id":"a"})", R"({"type":"stop"})",
                                           R"({"type":"stop","path":"a"})", R"({"type":"load"})"));

}  // namespace
}  // namespace deskplay::sonette
