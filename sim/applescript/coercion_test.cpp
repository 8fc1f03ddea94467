#include "applescript/coercion.hpp"

#include <gtest/gtest.h>

#include "applescript/fake_application.hpp"

namespace deskplay::applescript {
namespace {

TEST(Coercion, AsClausesFollowAppleScript) {
  testing::FakeEnvironment environment;
  environment.existingFiles = {"/Users/me/Desktop/a"};
  struct Case {
    Value from;
    std::string type;
    std::optional<Value> to;  // nothing: -1700
  };
  const std::vector<Case> cases = {
      {Value(64), "text", Value("64")},
      {Value(1.5), "text", Value("1.5")},
      {Value(2.0), "text", Value("2.0")},
      {Value(12345.0), "text", Value("1.2345E+4")},
      {Value(true), "text", Value("true")},
      {Value(List{Value(1), Value("a")}), "text", Value("1a")},
      {Value(List{Value(ObjectSpecifier{"Finder", std::nullopt, {}})}), "text", std::nullopt},
      {Value(" 12 "), "integer", Value(12)},
      {Value("2.5"), "integer", Value(2)},
      {Value(3.5), "integer", Value(4)},
      {Value("72px"), "integer", std::nullopt},
      {Value(7), "real", Value(7.0)},
      {Value("TRUE"), "boolean", Value(true)},
      {Value(0), "boolean", Value(false)},
      {Value(2), "boolean", std::nullopt},
      {Value("yes"), "boolean", std::nullopt},
      {Value(5), "list", Value(List{Value(5)})},
      {Value(FileRef{FileRef::Kind::file, "/Users/me/Desktop/a"}), "alias",
       Value(FileRef{FileRef::Kind::alias, "/Users/me/Desktop/a"})},
      {Value(FileRef{FileRef::Kind::file, "/Users/me/Desktop/gone"}), "alias", std::nullopt},
      {Value("Macintosh HD:Users:me:Desktop:a"), "alias",
       Value(FileRef{FileRef::Kind::alias, "/Users/me/Desktop/a"})},
      {Value(FileRef{FileRef::Kind::file, "/Users/me/a"}), "text",
       Value("Macintosh HD:Users:me:a")},
      {Value(MissingValue{}), "text", Value("missing value")},
  };
  for (const auto& [from, type, to] : cases) {
    auto result = coerce(from, type, environment);
    if (to) {
      ASSERT_TRUE(result.ok()) << sourceText(from) << " as " << type;
      EXPECT_EQ(result.value(), *to) << sourceText(from) << " as " << type;
    } else {
      ASSERT_FALSE(result.ok()) << sourceText(from) << " as " << type;
      EXPECT_EQ(result.error().number, -1700);
      EXPECT_EQ(result.error().brief,
                "Can\xE2\x80\x99t make " + sourceText(from) + " into type " + type + ".");
    }
  }
}

TEST(Coercion, HfsPathsSwapSlashesAndColonsInNames) {
  EXPECT_EQ(hfsPath("/Users/me/a:b/c"), "Macintosh HD:Users:me:a/b:c");
  EXPECT_EQ(hfsPath("/"), "Macintosh HD:");
  EXPECT_EQ(posixPathOfHfs("Macintosh HD:Users:me:a/b:c"), "/Users/me/a:b/c");
  EXPECT_EQ(posixPathOfHfs("Backup:x"), "/Volumes/Backup/x");
}

TEST(Coercion, EqualityIgnoresCaseOfTextAndTypeOfNumbers) {
  EXPECT_TRUE(equalValues(Value("Finder"), Value("FINDER")));
  EXPECT_TRUE(equalValues(Value(2), Value(2.0)));
  EXPECT_FALSE(equalValues(Value("2"), Value(2)));
  EXPECT_TRUE(equalValues(Value(List{Value("a"), Value(1)}), Value(List{Value("A"), Value(1.0)})));
  EXPECT_FALSE(equalValues(Value(List{Value(1)}), Value(List{Value(1), Value(2)})));
}

}  // namespace
}  // namespace deskplay::applescript
