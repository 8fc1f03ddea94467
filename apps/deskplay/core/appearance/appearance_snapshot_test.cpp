#include "core/appearance/appearance_snapshot.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace deskplay::core {
namespace {

DesktopAppearance everyValue() {
  DesktopAppearance appearance;
  appearance.iconSize = 64;
  appearance.textSize = 12;
  appearance.labelPosition = "right";
  appearance.arrangement = "arranged by name";
  appearance.showsItemInfo = true;
  appearance.desktopPicture = "/Users/ada/Pictures/say \"hi\" \\ résumé.png";
  appearance.dockAutohide = false;
  appearance.menuBarAutohide = true;
  appearance.finderPreferences = {{"gridSpacing", FinderPreference(54.0)},
                                  {"iconSize", FinderPreference(std::int64_t{64})},
                                  {"labelOnBottom", FinderPreference(false)},
                                  {"arrangeBy", FinderPreference(std::string("none"))},
                                  {"textSize", std::nullopt}};
  appearance.positions = {{"notes.txt", 1380, 60}, {"Projects", -20, 900000}};
  return appearance;
}

TEST(AppearanceSnapshotTest, EveryValueReadsBackAsWritten) {
  const DesktopAppearance appearance = everyValue();
  const auto decoded = decodeAppearanceSnapshot(encodeAppearanceSnapshot(appearance));
  ASSERT_TRUE(decoded.ok()) << decoded.message();
  EXPECT_EQ(decoded.value(), appearance);
}

TEST(AppearanceSnapshotTest, ValuesThatWereNotReadStayUnread) {
  DesktopAppearance appearance;
  appearance.dockAutohide = true;
  const std::string text = encodeAppearanceSnapshot(appearance);
  EXPECT_EQ(text.find("iconSize"), std::string::npos) << text;
  const auto decoded = decodeAppearanceSnapshot(text);
  ASSERT_TRUE(decoded.ok()) << decoded.message();
  EXPECT_EQ(decoded.value(), appearance);
}

TEST(AppearanceSnapshotTest, AStoredRealStaysARealAndAWholeNumberStaysWhole) {
  DesktopAppearance appearance;
  appearance.finderPreferences = {{"gridSpacing", FinderPreference(64.0)},
                                  {"iconSize", FinderPreference(std::int64_t{64})}};
  const auto decoded = decodeAppearanceSnapshot(encodeAppearanceSnapshot(appearance));
  ASSERT_TRUE(decoded.ok()) << decoded.message();
  EXPECT_TRUE(std::holds_alternative<double>(*decoded.value().finderPreferences.at("gridSpacing")));
  EXPECT_TRUE(
      std::holds_alternative<std::int64_t>(*decoded.value().finderPreferences.at("iconSize")));
}

TEST(AppearanceSnapshotTest, KeysItDoesNotKnowAreIgnored) {
  const auto decoded = decodeAppearanceSnapshot(
      R"({"version":1,"later":{"x":1},"finderPreferences":{"showIconPreview":{"boolean":true}},"positions":[{"name":"a","x":1,"y":2,"label":3}]})");
  ASSERT_TRUE(decoded.ok()) << decoded.message();
  EXPECT_TRUE(decoded.value().finderPreferences.empty());
  EXPECT_EQ(decoded.value().positions, (std::vector<IconPosition>{{"a", 1, 2}}));
}

// Every damaged snapshot is refused whole: none of it may be applied.
TEST(AppearanceSnapshotTest, DamagedSnapshotsAreRefusedWhole) {
  const std::string whole = encodeAppearanceSnapshot(everyValue());
  const std::string base = R"({"version":1,"finderPreferences":{},"positions":[)";
  struct Case {
    const char* what;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"truncated", whole.substr(0, whole.size() / 2)},
      {"cut before its last brace", whole.substr(0, whole.rfind('}'))},
      {"a NUL byte after a whole object", whole + std::string(1, '\0')},
      {"a NUL byte inside", std::string(R"({"version":1,)") + '\0' + R"("positions":[]})"},
      {"an array", "[]"},
      {"a number", "1"},
      {"no version", R"({"finderPreferences":{},"positions":[]})"},
      {"a version in text", R"({"version":"1","finderPreferences":{},"positions":[]})"},
      {"an unknown version", R"({"version":2,"finderPreferences":{},"positions":[]})"},
      {"a version beyond any integer",
       R"({"version":18446744073709551617,"finderPreferences":{},"positions":[]})"},
      {"a fractional version", R"({"version":1.0,"finderPreferences":{},"positions":[]})"},
      {"no positions", R"({"version":1,"finderPreferences":{}})"},
      {"positions as an object", R"({"version":1,"finderPreferences":{},"positions":{}})"},
      {"no preferences", R"({"version":1,"positions":[]})"},
      {"an icon size in text", base + R"(],"iconSize":"64"})"},
      {"a fractional icon size", base + R"(],"iconSize":64.5})"},
      {"a negative icon size", base + R"(],"iconSize":-64})"},
      {"a huge icon size", base + R"(],"iconSize":99999999999999999999})"},
      {"an icon size beyond 64 bits", base + R"(],"iconSize":18446744073709551615})"},
      {"a boolean as a number", base + R"(],"dockAutohide":1})"},
      {"a boolean in text", base + R"(],"menuBarAutohide":"false"})"},
      {"an unknown label position", base + R"(],"labelPosition":"left"})"},
      {"an unknown arrangement", base + R"(],"arrangement":"by colour"})"},
      {"an empty desktop picture", base + R"(],"desktopPicture":""})"},
      {"a picture path with an escaped NUL", base + R"(],"desktopPicture":"/a\u0000b"})"},
      {"a position without y", base + R"({"name":"a","x":1}]})"},
      {"a position in text", base + R"({"name":"a","x":"1","y":2}]})"},
      {"a huge coordinate", base + R"({"name":"a","x":1e300,"y":2}]})"},
      {"a coordinate off any screen", base + R"({"name":"a","x":1,"y":-2000000}]})"},
      {"a name with a slash", base + R"({"name":"../x","x":1,"y":2}]})"},
      {"a name that is a dot", base + R"({"name":".","x":1,"y":2}]})"},
      {"an empty name", base + R"({"name":"","x":1,"y":2}]})"},
      {"a name as a number", base + R"({"name":7,"x":1,"y":2}]})"},
      {"two positions of one name",
       base + R"({"name":"a","x":1,"y":2},{"name":"a","x":3,"y":4}]})"},
      {"a position that is a list", base + R"([1,2]]})"},
      {"a preference of no type",
       R"({"version":1,"finderPreferences":{"gridSpacing":54},"positions":[]})"},
      {"a preference of an unknown type",
       R"({"version":1,"finderPreferences":{"gridSpacing":{"date":1}},"positions":[]})"},
      {"a preference naming two types",
       R"({"version":1,"finderPreferences":{"gridSpacing":{"real":1,"integer":1}},"positions":[]})"},
      {"a real preference in text",
       R"({"version":1,"finderPreferences":{"gridSpacing":{"real":"54"}},"positions":[]})"},
      {"a huge real preference",
       R"({"version":1,"finderPreferences":{"gridSpacing":{"real":1e308}},"positions":[]})"},
      {"a huge whole preference",
       R"({"version":1,"finderPreferences":{"iconSize":{"integer":18446744073709551615}},"positions":[]})"},
      {"a whole preference that is fractional",
       R"({"version":1,"finderPreferences":{"iconSize":{"integer":1.5}},"positions":[]})"},
      {"preferences as a list", R"({"version":1,"finderPreferences":[],"positions":[]})"},
  };
  for (const auto& [what, text] : cases) {
    const auto decoded = decodeAppearanceSnapshot(text);
    ASSERT_FALSE(decoded.ok()) << what;
    EXPECT_TRUE(decoded.message().starts_with("the desktop snapshot ")) << what;
  }
}

TEST(AppearanceSnapshotTest, WhatASnapshotCannotHoldIsLeftOutWhenRecording) {
  DesktopAppearance appearance = everyValue();
  appearance.iconSize = 0;
  appearance.arrangement = "arranged by colour";
  appearance.desktopPicture = std::string("/a\0b", 4);
  appearance.finderPreferences["gridSpacing"] = FinderPreference(1e300);
  appearance.positions.push_back({"far", 1, 5'000'000});
  appearance.positions.push_back({"notes.txt", 1, 1});
  dropUnrecordableValues(appearance);

  DesktopAppearance expected = everyValue();
  expected.iconSize.reset();
  expected.arrangement.reset();
  expected.desktopPicture.reset();
  expected.finderPreferences.erase("gridSpacing");
  EXPECT_EQ(appearance, expected);
  EXPECT_TRUE(decodeAppearanceSnapshot(encodeAppearanceSnapshot(appearance)).ok());
}

}  // namespace
}  // namespace deskplay::core
