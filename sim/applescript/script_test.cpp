#include "applescript/script.hpp"

#include <gtest/gtest.h>

#include "applescript/quoted_scripts.hpp"

namespace deskplay::applescript {
namespace {

using namespace testing;

TEST(ScriptCompile, AcceptsEveryScriptTheProgramsSend) {
  for (const std::string& source : everyQuotedScript()) {
    auto script = Script::compile(source);
    EXPECT_TRUE(script.ok()) << source << "\n  -> " << (script.ok() ? "" : script.error().brief);
  }
}

TEST(ScriptCompile, AcceptsTheSameFormsWithOtherValues) {
  const std::vector<std::string> sources = {
      iconSizeSet(512),
      iconSizeSet(-16),
      positions({"/Users/me/Desktop/\"quoted\" \\ back\\slash.txt"}, -40, -7),
      positions({"/Users/me/Desktop/r\xC3\xA9sum\xC3\xA9 \xE2\x80\x89\xE2\x80\x8A.txt"}, 0, 0),
      positions({}, 1, 1),
      labelIndexSet("/Users/me/Desktop/a", "7"),
      labelIndexSet("/Users/me/Desktop/a", "-1"),
      labelIndexSet("/Users/me/Desktop/a", "red"),
      commentSet("/Users/me/Desktop/a", "line one\nline \"two\"\t\\ end"),
      commentSet("/Users/me/Desktop/a", ""),
      extensionHiddenSet("/Users/me/Desktop/a", "TRUE"),
      extensionHiddenSet("/Users/me/Desktop/a", "yes"),
      extensionHiddenSet("/Users/me/Desktop/a", "False"),
      pictureSet("/Users/me/Pictures/\"odd\" name.heic"),
      textSizeSet(16),
      arrangementSet("arranged by name"),
      "tell application \"finder\" to get icon size of icon view options of container window of "
      "desktop",
      "TELL APPLICATION \"Finder\" TO GET ICON SIZE OF ICON VIEW OPTIONS OF CONTAINER WINDOW OF "
      "DESKTOP",
      "tell application \"Finder\"\r\nset desktop position of item \"a\" of desktop to {1, "
      "2}\r\nend tell",
      "tell application \"Finder\"\rget count every item of desktop\rend tell",
  };
  for (const std::string& source : sources) {
    auto script = Script::compile(source);
    EXPECT_TRUE(script.ok()) << source << "\n  -> " << (script.ok() ? "" : script.error().brief);
  }
}

TEST(ScriptCompile, AcceptsTheLanguageAroundThoseScripts) {
  const std::vector<std::string> sources = {
      "-- a comment\ntell application \"Finder\" -- trailing\n  activate\nend tell",
      "# hash comment\n(* block (* nested *) comment *)\nget 1",
      "tell application \"Finder\"\n  tell application \"System Events\"\n    get picture of "
      "current desktop\n  end tell\nend tell",
      "tell application \"Finder\" to set desktop position of item \"a\" of desktop \xC2\xAC\n  "
      "to {1, 2}",
      "tell application \"Finder\" to get desktop position of item \"a\" of desktop",
      "tell application \"Finder\" to get every item of desktop",
      "tell application \"Finder\" to count items of desktop",
      "tell application \"Finder\" to exists item \"a\" of desktop",
      "tell application \"Finder\" to item \"a\" of desktop exists",
      "tell application \"Finder\" to get name of first item of desktop",
      "tell application \"Finder\" to get name of item 1 of desktop",
      "tell application \"Finder\" to get name of last item of desktop",
      "tell application \"Finder\" to get file \"a.txt\" of desktop",
      "tell application \"Finder\" to update item \"a\" of desktop",
      "tell application \"Finder\" to quit",
      "tell application \"Finder\" to get desktop position of item \"a\" of desktop as text",
      "tell application \"Finder\" to get (icon size of icon view options of window of desktop) as "
      "integer",
      "tell application \"Finder\"\n  try\n    get item \"x\" of desktop\n  on error msg number "
      "n\n    return n\n  end try\nend tell",
      "tell application \"System Events\" to get name of every process whose visible = true",
      "tell application \"System Events\" to get visible of process \"Finder\"",
      "tell application \"System Events\" to get autohide of dock preferences",
      "get \"a\" & \"b\" & 3",
      "get {1, -2.5, \"x\", true, missing value, {}}",
      "return 1 \xE2\x89\xA0 2",
      "get not (1 is equal to 2) or 3 is greater than 2",
      "get POSIX file \"/tmp/x\"",
      "tell application \"Finder\" to set label index of ((POSIX file \"/a\") as alias) to 1",
      "tell application \"Finder\" to get name of (POSIX file \"/a\") as alias",
      "get \"12\" as integer",
      "set x to 5\nget x",
  };
  for (const std::string& source : sources) {
    auto script = Script::compile(source);
    EXPECT_TRUE(script.ok()) << source << "\n  -> " << (script.ok() ? "" : script.error().brief);
  }
}

struct Malformed {
  std::string source;
  int number;
  std::string message;
};

const char* const curlyOpen = "\xE2\x80\x9C";
const char* const curlyClose = "\xE2\x80\x9D";

std::string curly(const std::string& text) {
  return curlyOpen + text + curlyClose;
}

TEST(ScriptCompile, RejectsMalformedScriptsWithTheCompilersMessages) {
  const std::vector<Malformed> cases = {
      {"tell application \"Finder\" to get icon size of icon view options of container window "
       "of desktop 7",
       -2741, "Expected end of line but found number."},
      {"tell application \"Finder\"\nget icon size of icon view options of container window of "
       "desktop",
       -2741, "Expected " + curly("end") + " but found end of script."},
      {"tell application \"Finder\" to set desktop position of (POSIX file \"/a\" as alias) to "
       "{1, 2",
       -2741, "Expected " + curly(",") + " or " + curly("}") + " but found end of script."},
      {"tell application \"Finder\" to set desktop position of (POSIX file \"/a\" as alias to "
       "{1, 2}",
       -2741, "Expected " + curly(")") + " but found " + curly("to") + "."},
      {"tell application \"Finder\" to set desktop position of (POSIX file \"/a\" as) to {1, 2}",
       -2741, "Expected class name but found " + curly(")") + "."},
      {"tell application \"Finder\" to set desktop position of (POSIX file \"/a\" as alias) "
       "{1, 2}",
       -2741, "Expected " + curly("to") + " but found " + curly("{") + "."},
      {"tell application \"Finder\" to set comment of (POSIX file \"/a\" as alias) to \"open",
       -2741, "Expected " + curly("\"") + " but found end of script."},
      {"tell application \"Finder\" to set comment of (POSIX file \"/a\" as alias) to \"a\\qb\"",
       -2741, "Expected " + curly("\"") + " but found unknown token."},
      {"tell application \"Finder\" to set label index of (POSIX file \"/a\" as alias) to 2 x",
       -2741, "Expected end of line but found identifier."},
      {"tell application \"Finder\" to set label index of (POSIX file \"/a\" as alias) to big "
       "red",
       -2740, "A identifier can\xE2\x80\x99t go after this identifier."},
      {"tell application \"Finder\" to set label index of (POSIX file \"/a\" as alias) to", -2741,
       "Expected expression but found end of script."},
      {"tell application \"System Events\" to set the dock preferences's autohide to true;", -2741,
       "Expected end of line but found unknown token."},
      {"tell application \"Finder\" to get icon size of icon view options of container window "
       "of desktop)",
       -2741, "Expected end of line but found " + curly(")") + "."},
      {"tell application \"Finder\"\nclose every window\nend try", -2741,
       "Expected " + curly("end") + " or " + curly("end tell") + " but found " + curly("end try") +
           "."},
      {"(* never closed", -2741, "Expected " + curly("*)") + " but found end of script."},
      {"tell application \"Finder\" to set desktop position of item \"a\" of desktop to {1, 2}\n"
       "end tell",
       -2741, "Expected expression but found " + curly("end") + "."},
      {"tell application \"Nowhere\" to quit", -1728,
       "Can\xE2\x80\x99t get application \"Nowhere\"."},
      {"tell application \"Finder\" to close every", -2741,
       "Expected class name but found end of script."},
      {"get 1 +", -2741, "Expected end of line but found " + curly("+") + "."},
  };
  for (const auto& [source, number, message] : cases) {
    auto script = Script::compile(source);
    ASSERT_FALSE(script.ok()) << source;
    EXPECT_EQ(script.error().number, number) << source;
    EXPECT_EQ(script.error().brief, message) << source;
    EXPECT_FALSE(script.error().application.has_value());
  }
}

TEST(ScriptCompile, NestingTooDeepFailsInsteadOfExhaustingTheStack) {
  const int depth = 20000;
  std::string references = "tell application \"Finder\" to get name";
  for (int i = 0; i < depth; ++i) references += " of item 1";
  const std::vector<std::string> sources = {
      "get " + std::string(depth, '(') + "1" + std::string(depth, ')'),
      [&] {
        std::string minuses = "get ";
        for (int i = 0; i < depth; ++i) minuses += "- ";
        return minuses + "1";
      }(),
      [&] {
        std::string nots = "get ";
        for (int i = 0; i < depth; ++i) nots += "not ";
        return nots + "true";
      }(),
      references + " of desktop",
      [&] {
        std::string chain = "get 1";
        for (int i = 0; i < depth; ++i) chain += " & 1";
        return chain;
      }(),
      [&] {
        std::string chain = "get true";
        for (int i = 0; i < depth; ++i) chain += " or false";
        return chain;
      }(),
      [&] {
        std::string chain = "tell application \"System Events\" to get dock preferences";
        for (int i = 0; i < depth; ++i) chain += "'s autohide";
        return chain;
      }(),
      [&] {
        std::string chain = "get 1";
        for (int i = 0; i < depth; ++i) chain += " as text";
        return chain;
      }(),
      [&] {
        std::string tells;
        for (int i = 0; i < depth; ++i) tells += "tell application \"Finder\" to ";
        return tells + "quit";
      }(),
  };
  for (const std::string& source : sources) {
    auto script = Script::compile(source);
    ASSERT_FALSE(script.ok()) << source.substr(0, 40);
    EXPECT_EQ(script.error().number, -2706);
    EXPECT_EQ(script.error().brief, "Stack overflow.");
  }
  // Ordinary nesting stays well inside the limit.
  EXPECT_TRUE(Script::compile("get " + std::string(50, '(') + "1" + std::string(50, ')')).ok());
}

TEST(ScriptCompile, ErrorRangePointsAtTheOffendingToken) {
  const std::string source = "get 1 2";
  auto script = Script::compile(source);
  ASSERT_FALSE(script.ok());
  EXPECT_EQ(script.error().rangeStart, 6U);
  EXPECT_EQ(script.error().rangeEnd, 7U);
}

TEST(ScriptCompile, TermsOfOneApplicationAreNotThoseOfAnother) {
  // Outside any tell block `desktop` is a plain variable, so the reference does not parse
  // as Finder's; System Events has no `icon view options`.
  auto outside = Script::compile("get icon size of desktop");
  ASSERT_FALSE(outside.ok());
  auto events = Script::compile(
      "tell application \"System Events\" to get icon size of icon view options of desktop 1");
  ASSERT_FALSE(events.ok());
}

}  // namespace
}  // namespace deskplay::applescript
