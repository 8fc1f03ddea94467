#include "command.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include "entry_path.hpp"

namespace deskplay::plistbuddy {
namespace {

struct CommandCase {
  const char* text;
  // Expected on success; `error` empty then.
  Verb verb;
  const char* entry;
  const char* type;
  std::optional<std::string> value;
  const char* error;
};

void PrintTo(const CommandCase& c, std::ostream* out) {
  *out << '"' << c.text << '"';
}

class ParseCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ParseCommand, GivesVerbEntryTypeAndValueOrTheToolsMessage) {
  const CommandCase& c = GetParam();
  const Result<Command> parsed = parseCommand(c.text);
  if (*c.error != '\0') {
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.message(), c.error);
    return;
  }
  ASSERT_TRUE(parsed.ok()) << parsed.message();
  EXPECT_EQ(parsed.value().verb, c.verb);
  EXPECT_EQ(parsed.value().entry, c.entry);
  EXPECT_EQ(parsed.value().type, c.type);
  EXPECT_EQ(parsed.value().value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ParseCommand,
    ::testing::Values(
        CommandCase{"Print :a:b", Verb::print, ":a:b", "", std::nullopt, ""},
        CommandCase{"print :a", Verb::print, ":a", "", std::nullopt, ""},
        CommandCase{"PRINT", Verb::print, "", "", std::nullopt, ""},
        CommandCase{"  Set   :a   80  ", Verb::set, ":a", "", "80", ""},
        CommandCase{"Set :\"AutoUpdate\" true", Verb::set, ":AutoUpdate", "", "true", ""},
        CommandCase{"Set 'Window Settings':Basic:Bell false", Verb::set,
                    "Window Settings:Basic:Bell", "", "false", ""},
        CommandCase{"Set :a\\ b x", Verb::set, ":a b", "", "x", ""},
        CommandCase{"Set :a ''", Verb::set, ":a", "", "", ""},
        CommandCase{"Set :a hello   world", Verb::set, ":a", "", "hello world", ""},
        CommandCase{"Set :a \"say \\\"hi\\\"\"", Verb::set, ":a", "", "say \"hi\"", ""},
        CommandCase{"Set :a 'it\\s'", Verb::set, ":a", "", "it\\s", ""},
        CommandCase{"Set :a \"open", Verb::set, ":a", "", "open", ""},
        CommandCase{"Add :DesktopViewSettings dict", Verb::add, ":DesktopViewSettings", "dict",
                    std::nullopt, ""},
        CommandCase{"Add :a:gridSpacing real 64.0", Verb::add, ":a:gridSpacing", "real", "64.0",
                    ""},
        CommandCase{"Add :v string \"App version 1.0.1\"", Verb::add, ":v", "string",
                    "App version 1.0.1", ""},
        CommandCase{"", Verb::print, "", "", std::nullopt, "Unrecognized Command"},
        CommandCase{"Delete :a", Verb::print, "", "", std::nullopt, "Unrecognized Command"},
        CommandCase{"'Print :a'", Verb::print, "", "", std::nullopt, "Unrecognized Command"},
        CommandCase{"Print :a :b", Verb::print, "", "", std::nullopt, "Invalid Arguments"},
        CommandCase{"Set :a", Verb::print, "", "", std::nullopt, "Invalid Arguments"},
        CommandCase{"Set", Verb::print, "", "", std::nullopt, "Invalid Arguments"},
        CommandCase{"Add :a", Verb::print, "", "", std::nullopt, "Invalid Arguments"}));

struct KeysCase {
  const char* entry;
  std::vector<std::string> keys;
};

void PrintTo(const KeysCase& c, std::ostream* out) {
  *out << '"' << c.entry << '"';
}

class EntryKeys : public ::testing::TestWithParam<KeysCase> {};

TEST_P(EntryKeys, SplitOnColonsSkippingEmptyNames) {
  EXPECT_EQ(entryKeys(GetParam().entry), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryKeys,
    ::testing::Values(KeysCase{":a:b", {"a", "b"}}, KeysCase{"a:b", {"a", "b"}},
                      KeysCase{"::a::b:", {"a", "b"}}, KeysCase{":", {}}, KeysCase{"", {}},
                      KeysCase{":Window Settings:0", {"Window Settings", "0"}}));

TEST(ArrayIndex, TakesOnlyPlainDecimalNumbers) {
  EXPECT_EQ(arrayIndex("0"), 0u);
  EXPECT_EQ(arrayIndex("12"), 12u);
  EXPECT_EQ(arrayIndex(""), std::nullopt);
  EXPECT_EQ(arrayIndex("-1"), std::nullopt);
  EXPECT_EQ(arrayIndex("1a"), std::nullopt);
  EXPECT_EQ(arrayIndex("99999999999"), std::nullopt);
}

}  // namespace
}  // namespace deskplay::plistbuddy
