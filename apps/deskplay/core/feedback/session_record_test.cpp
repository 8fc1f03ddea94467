#include "core/feedback/session_record.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

namespace deskplay::core {
namespace {

using nlohmann::json;

constexpr const char* kSession = "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F9";
constexpr const char* kDesktop = "/home/ada/Desktop";
const std::string kThin = "\u2009";
const std::string kHair = "\u200A";

std::string repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// The 14-character name whose thin and hair spaces spell `pattern` in binary.
std::string tileName(unsigned pattern) {
  std::string name;
  for (int bit = 13; bit >= 0; --bit) name += ((pattern >> bit) & 1u) != 0 ? kHair : kThin;
  return name;
}

json tile(unsigned pattern, std::int64_t index = 0) {
  return {{"path", std::string(kDesktop) + "/" + tileName(pattern)},
          {"phase", "loading"},
          {"index", index},
          {"dev", "2049"},
          {"ino", "131077"}};
}

json version2(const std::string& phase = "loading") {
  return {{"version", 2},        {"surface", "native"}, {"session", kSession},
          {"desktop", kDesktop}, {"phase", phase},      {"tiles", json::array()}};
}

json version1() {
  json record = {{"version", 1},
                 {"session", kSession},
                 {"desktop", kDesktop},
                 {"phase", "loading"},
                 {"tiles", json::array({tile(0)})}};
  return record;
}

enum class Verdict { valid, invalidRecord, decodingFailed };

struct RecordCase {
  std::string name;
  std::function<std::string()> bytes;
  Verdict verdict;
};

// Test names in the output, not bytes.
void PrintTo(const RecordCase& c, std::ostream* os) {
  *os << c.name;
}

// A record built from `base` changed by `change`.
std::function<std::string()> edited(std::function<json()> base, std::function<void(json&)> change) {
  return [=] {
    json record = base();
    change(record);
    return record.dump();
  };
}

std::function<std::string()> text(std::string bytes) {
  return [=] { return bytes; };
}

class SessionRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(SessionRecordTest, JudgesTheRecord) {
  const RecordCase& c = GetParam();
  const Result<SessionRecord, FeedbackError> parsed =
      parseSessionRecord(c.bytes(), kSession, kDesktop);
  switch (c.verdict) {
    case Verdict::valid:
      EXPECT_TRUE(parsed.ok()) << parsed.message();
      break;
    case Verdict::invalidRecord:
      ASSERT_FALSE(parsed.ok());
      EXPECT_EQ(parsed.error().failure, FeedbackFailure::invalidRecord) << parsed.message();
      break;
    case Verdict::decodingFailed:
      ASSERT_FALSE(parsed.ok());
      EXPECT_EQ(parsed.error().failure, FeedbackFailure::decodingFailed) << parsed.message();
      break;
  }
}

auto v2 = [] { return version2(); };
auto v1 = [] { return version1(); };

INSTANTIATE_TEST_SUITE_P(
    Records, SessionRecordTest,
    ::testing::Values(
        // Version 2: the native surface, no tiles, one of the five phases.
        RecordCase{"V2Loading", edited(v2, [](json&) {}), Verdict::valid},
        RecordCase{"V2Ready", edited(v2, [](json& r) { r["phase"] = "ready"; }), Verdict::valid},
        RecordCase{"V2Restoring", edited(v2, [](json& r) { r["phase"] = "restoring"; }),
                   Verdict::valid},
        RecordCase{"V2Failed", edited(v2, [](json& r) { r["phase"] = "failed"; }), Verdict::valid},
        RecordCase{"V2ChildComplete", edited(v2, [](json& r) { r["phase"] = "child-complete"; }),
                   Verdict::valid},
        RecordCase{"V2UnknownPhase", edited(v2, [](json& r) { r["phase"] = "playing"; }),
                   Verdict::invalidRecord},
        RecordCase{"V2PhaseCase", edited(v2, [](json& r) { r["phase"] = "Ready"; }),
                   Verdict::invalidRecord},
        RecordCase{"V2WithoutSurface", edited(v2, [](json& r) { r.erase("surface"); }),
                   Verdict::invalidRecord},
        RecordCase{"V2NullSurface", edited(v2, [](json& r) { r["surface"] = nullptr; }),
                   Verdict::invalidRecord},
        RecordCase{"V2OtherSurface", edited(v2, [](json& r) { r["surface"] = "glyphon"; }),
                   Verdict::invalidRecord},
        RecordCase{"V2WithOneTile", edited(v2, [](json& r) { r["tiles"].push_back(tile(0)); }),
                   Verdict::invalidRecord},
        RecordCase{"UnknownKeysIgnored",
                   edited(v2,
                          [](json& r) {
                            r["extra"] = {1, 2};
                          }),
                   Verdict::valid},
        // Versions.
        RecordCase{"Version3", edited(v2, [](json& r) { r["version"] = 3; }),
                   Verdict::invalidRecord},
        RecordCase{"Version0", edited(v2, [](json& r) { r["version"] = 0; }),
                   Verdict::invalidRecord},
        RecordCase{"VersionNegative", edited(v2, [](json& r) { r["version"] = -2; }),
                   Verdict::invalidRecord},
        RecordCase{"VersionHuge", edited(v2, [](json& r) { r["version"] = 1ull << 40; }),
                   Verdict::invalidRecord},
        RecordCase{"VersionAsText", edited(v2, [](json& r) { r["version"] = "2"; }),
                   Verdict::decodingFailed},
        RecordCase{"VersionFraction", edited(v2, [](json& r) { r["version"] = 2.5; }),
                   Verdict::decodingFailed},
        RecordCase{"VersionBeyond64Bits", text(R"({"version":18446744073709551615})"),
                   Verdict::decodingFailed},
        // Keys and types.
        RecordCase{"MissingVersion", edited(v2, [](json& r) { r.erase("version"); }),
                   Verdict::decodingFailed},
        RecordCase{"MissingSession", edited(v2, [](json& r) { r.erase("session"); }),
                   Verdict::decodingFailed},
        RecordCase{"MissingDesktop", edited(v2, [](json& r) { r.erase("desktop"); }),
                   Verdict::decodingFailed},
        RecordCase{"MissingPhase", edited(v2, [](json& r) { r.erase("phase"); }),
                   Verdict::decodingFailed},
        RecordCase{"MissingTiles", edited(v2, [](json& r) { r.erase("tiles"); }),
                   Verdict::decodingFailed},
        RecordCase{"NullTiles", edited(v2, [](json& r) { r["tiles"] = nullptr; }),
                   Verdict::decodingFailed},
        RecordCase{"TilesNotAnArray", edited(v2, [](json& r) { r["tiles"] = json::object(); }),
                   Verdict::decodingFailed},
        RecordCase{"SurfaceNotText", edited(v2, [](json& r) { r["surface"] = 1; }),
                   Verdict::decodingFailed},
        RecordCase{"PhaseNotText", edited(v2, [](json& r) { r["phase"] = true; }),
                   Verdict::decodingFailed},
        RecordCase{"KeysAreCaseSensitive",
                   edited(v2,
                          [](json& r) {
                            r["Session"] = r["session"];
                            r.erase("session");
                          }),
                   Verdict::decodingFailed},
        // A decoding error comes before the ownership checks.
        RecordCase{"DecodingBeforeSession",
                   edited(v2,
                          [](json& r) {
                            r["session"] = "other";
                            r.erase("tiles");
                          }),
                   Verdict::decodingFailed},
        RecordCase{"NotJson", text("{\"version\":"), Verdict::decodingFailed},
        RecordCase{"Empty", text(""), Verdict::decodingFailed},
        RecordCase{"TopLevelArray", text("[]"), Verdict::decodingFailed},
        RecordCase{"InvalidUtf8", text("{\"version\":2,\"phase\":\"\xff\"}"),
                   Verdict::decodingFailed},
        RecordCase{"NulAfterTheRecord",
                   [] { return version2().dump() + std::string(1, '\0') + "junk"; },
                   Verdict::decodingFailed},
        RecordCase{"NumberBeyondADoubleUnderAnIgnoredKey",
                   [] {
                     std::string record = version2().dump();
                     return record.insert(record.size() - 1, ",\"ignored\":1e400");
                   },
                   Verdict::decodingFailed},
        // Session and Desktop must match exactly.
        RecordCase{"OtherSession", edited(v2, [](json& r) { r["session"] = "other"; }),
                   Verdict::invalidRecord},
        RecordCase{
            "SessionLowerCase",
            edited(v2, [](json& r) { r["session"] = "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9"; }),
            Verdict::invalidRecord},
        RecordCase{"DesktopWithSlash",
                   edited(v2, [](json& r) { r["desktop"] = std::string(kDesktop) + "/"; }),
                   Verdict::invalidRecord},
        RecordCase{"OtherDesktop", edited(v2, [](json& r) { r["desktop"] = "/home/eve/Desktop"; }),
                   Verdict::invalidRecord},
        // Version 1: tiles on the Desktop with their own phases.
        RecordCase{"V1OneTile", edited(v1, [](json&) {}), Verdict::valid},
        RecordCase{"V1NoTiles", edited(v1, [](json& r) { r["tiles"] = json::array(); }),
                   Verdict::valid},
        RecordCase{"V1AnyRecordPhase", edited(v1, [](json& r) { r["phase"] = "whatever"; }),
                   Verdict::valid},
        RecordCase{"V1SurfaceNotChecked", edited(v1, [](json& r) { r["surface"] = "glyphon"; }),
                   Verdict::valid},
        RecordCase{"V1TwentyNineTiles",
                   edited(v1,
                          [](json& r) {
                            r["tiles"] = json::array();
                            for (unsigned i = 0; i < 29; ++i) r["tiles"].push_back(tile(i));
                          }),
                   Verdict::valid},
        RecordCase{"V1ThirtyTiles",
                   edited(v1,
                          [](json& r) {
                            r["tiles"] = json::array();
                            for (unsigned i = 0; i < 30; ++i) r["tiles"].push_back(tile(i));
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1SamePathTwice", edited(v1, [](json& r) { r["tiles"].push_back(tile(0, 1)); }),
                   Verdict::invalidRecord},
        RecordCase{"V1OrdinarySpaces",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] = std::string(kDesktop) + "/" + repeated(" ", 14);
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1AllThin",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] =
                                std::string(kDesktop) + "/" + repeated(kThin, 14);
                          }),
                   Verdict::valid},
        RecordCase{"V1ThirteenScalars",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] =
                                std::string(kDesktop) + "/" + repeated(kThin, 13);
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1FifteenScalars",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] =
                                std::string(kDesktop) + "/" + repeated(kHair, 15);
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1OtherWideSpace",
                   edited(v1,
                          [](json& r) {
                            // U+2008 PUNCTUATION SPACE sits right beside the allowed two.
                            r["tiles"][0]["path"] =
                                std::string(kDesktop) + "/" + repeated(kThin, 13) + "\u2008";
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1InSubfolder",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] = std::string(kDesktop) + "/games/" + tileName(1);
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1DoubleSlash",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] = std::string(kDesktop) + "//" + tileName(1);
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1TrailingSlash",
                   edited(v1,
                          [](json& r) {
                            r["tiles"][0]["path"] = std::string(kDesktop) + "/" + tileName(1) + "/";
                          }),
                   Verdict::invalidRecord},
        RecordCase{"V1RelativePath",
                   edited(v1, [](json& r) { r["tiles"][0]["path"] = tileName(1); }),
                   Verdict::invalidRecord},
        RecordCase{"V1OutsideDesktop",
                   edited(v1, [](json& r) { r["tiles"][0]["path"] = "/etc/" + tileName(1); }),
                   Verdict::invalidRecord},
        RecordCase{"V1TileRestoring",
                   edited(v1, [](json& r) { r["tiles"][0]["phase"] = "restoring"; }),
                   Verdict::valid},
        RecordCase{"V1TileFailed", edited(v1, [](json& r) { r["tiles"][0]["phase"] = "failed"; }),
                   Verdict::valid},
        RecordCase{"V1TileReady", edited(v1, [](json& r) { r["tiles"][0]["phase"] = "ready"; }),
                   Verdict::invalidRecord},
        RecordCase{"V1TileChildComplete",
                   edited(v1, [](json& r) { r["tiles"][0]["phase"] = "child-complete"; }),
                   Verdict::invalidRecord},
        RecordCase{"V1IndexTwelve", edited(v1, [](json& r) { r["tiles"][0]["index"] = 12; }),
                   Verdict::valid},
        RecordCase{"V1IndexThirteen", edited(v1, [](json& r) { r["tiles"][0]["index"] = 13; }),
                   Verdict::invalidRecord},
        RecordCase{"V1IndexNegative", edited(v1, [](json& r) { r["tiles"][0]["index"] = -1; }),
                   Verdict::invalidRecord},
        RecordCase{"V1IndexAsText", edited(v1, [](json& r) { r["tiles"][0]["index"] = "1"; }),
                   Verdict::decodingFailed},
        RecordCase{"V1IndexFraction", edited(v1, [](json& r) { r["tiles"][0]["index"] = 0.5; }),
                   Verdict::decodingFailed},
        RecordCase{"V1DevAsNumber", edited(v1, [](json& r) { r["tiles"][0]["dev"] = 2049; }),
                   Verdict::decodingFailed},
        RecordCase{"V1MissingIno", edited(v1, [](json& r) { r["tiles"][0].erase("ino"); }),
                   Verdict::decodingFailed},
        RecordCase{"V1MissingPath", edited(v1, [](json& r) { r["tiles"][0].erase("path"); }),
                   Verdict::decodingFailed},
        RecordCase{"V1TileNotAnObject", edited(v1, [](json& r) { r["tiles"][0] = "tile"; }),
                   Verdict::decodingFailed},
        RecordCase{"V1OtherSession", edited(v1, [](json& r) { r["session"] = "x"; }),
                   Verdict::invalidRecord}),
    [](const ::testing::TestParamInfo<RecordCase>& param) { return param.param.name; });

// Pads `record` with spaces inside the object to exactly `size` bytes.
std::string paddedTo(const json& record, std::size_t size) {
  std::string bytes = record.dump();
  bytes.insert(1, size - bytes.size(), ' ');
  return bytes;
}

TEST(SessionRecordSizeTest, AcceptsUpTo65535BytesAndNoMore) {
  const std::string largest = paddedTo(version2(), 65535);
  ASSERT_EQ(largest.size(), 65535u);
  EXPECT_TRUE(parseSessionRecord(largest, kSession, kDesktop).ok());

  const std::string oversized = paddedTo(version2(), 65536);
  const Result<SessionRecord, FeedbackError> parsed =
      parseSessionRecord(oversized, kSession, kDesktop);
  ASSERT_FALSE(parsed.ok());
  EXPECT_EQ(parsed.error().failure, FeedbackFailure::invalidRecord);
}

TEST(SessionRecordFieldsTest, DecodesEveryField) {
  json record = version1();
  record["tiles"][0]["index"] = 7;
  record["tiles"][0]["phase"] = "restoring";
  record["tiles"][0]["ino"] = "18446744073709551615";

  const Result<SessionRecord, FeedbackError> parsed =
      parseSessionRecord(record.dump(), kSession, kDesktop);

  ASSERT_TRUE(parsed.ok()) << parsed.message();
  const SessionTile expectedTile{std::string(kDesktop) + "/" + tileName(0), "restoring", 7, "2049",
                                 "18446744073709551615"};
  EXPECT_EQ(parsed.value(),
            (SessionRecord{1, std::nullopt, kSession, kDesktop, "loading", {expectedTile}}));
}

TEST(TileFileNameTest, KnowsOnlyFourteenThinOrHairSpaces) {
  EXPECT_TRUE(isTileFileName(repeated(kThin, 7) + repeated(kHair, 7)));
  EXPECT_TRUE(isTileFileName(repeated(kHair, 14)));
  EXPECT_FALSE(isTileFileName(""));
  EXPECT_FALSE(isTileFileName(repeated(" ", 42)));
  EXPECT_FALSE(isTileFileName(repeated(kThin, 13) + "abc"));
}

}  // namespace
}  // namespace deskplay::core
