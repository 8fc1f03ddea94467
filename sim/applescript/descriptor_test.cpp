#include "applescript/descriptor.hpp"

#include <gtest/gtest.h>

namespace deskplay::applescript {
namespace {

TEST(Descriptor, ResultsReadAsTheirDescriptorsWould) {
  struct Case {
    Value value;
    std::optional<std::string> text;
    std::int32_t integer;
    std::string description;
  };
  const std::vector<Case> cases = {
      {Value(64), "64", 64, "'long'(64)"},
      {Value(-3), "-3", -3, "'long'(-3)"},
      {Value("48"), "48", 48, "'utxt'(\"48\")"},
      {Value("a \"b\""), "a \"b\"", 0, "'utxt'(\"a \\\"b\\\"\")"},
      {Value(2.5), "2.5", 2, "'doub'(2.5)"},
      {Value(true), "true", 1, "'true'"},
      {Value(false), "false", 0, "'fals'"},
      {Value(List{Value(1), Value(2)}), std::nullopt, 0, "[ 'long'(1), 'long'(2) ]"},
      {Value(MissingValue{}), std::nullopt, 0, "'msng'"},
      {Value(Constant{"snap to grid", "grda"}), std::nullopt, 0, "'enum'('grda')"},
      {Value(FileRef{FileRef::Kind::alias, "/Users/me/a b"}), "Macintosh HD:Users:me:a b", 0,
       "'alis'(\"file:///Users/me/a%20b\")"},
  };
  for (const auto& [value, text, integer, description] : cases) {
    const auto descriptor = descriptorOf(value);
    EXPECT_EQ(descriptor.stringValue, text) << description;
    EXPECT_EQ(descriptor.int32Value, integer) << description;
    EXPECT_EQ(descriptor.description, description);
  }
}

TEST(Descriptor, ErrorDictionariesNameTheApplication) {
  ScriptFailure failure{-1728, "Can\xE2\x80\x99t get item \"x\" of desktop.", "Finder"};
  const auto dictionary = errorDictionary(failure);
  EXPECT_EQ(dictionary.number, -1728);
  EXPECT_EQ(dictionary.message, "Finder got an error: Can\xE2\x80\x99t get item \"x\" of desktop.");
  EXPECT_NE(dictionary.description.find("NSAppleScriptErrorNumber = -1728;"), std::string::npos);
  EXPECT_NE(dictionary.description.find("NSAppleScriptErrorAppName = \"Finder\";"),
            std::string::npos);
}

TEST(Descriptor, CompileOnlyChecksNeedNoApplications) {
  EXPECT_FALSE(compileError("tell application \"Finder\" to quit").has_value());
  const auto error = compileError("tell application \"Finder\" to get 1 2");
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number, -2741);
  EXPECT_EQ(error->message, "Expected end of line but found number.");
}

}  // namespace
}  // namespace deskplay::applescript
