#include "arguments.hpp"

#include <gtest/gtest.h>

#include <ostream>

namespace deskplay::plistbuddy {
namespace {

struct ArgumentsCase {
  std::vector<std::string> arguments;
  // On success: the file and commands; `error` empty then.
  std::string file;
  std::vector<std::string> commands;
  bool help;
  std::string error;
};

void PrintTo(const ArgumentsCase& c, std::ostream* out) {
  *out << "[";
  for (const std::string& argument : c.arguments) *out << " '" << argument << "'";
  *out << " ]";
}

class ParseArguments : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(ParseArguments, GivesCommandsAndFileOrOneLineError) {
  const ArgumentsCase& c = GetParam();
  const Result<Invocation> parsed = parseArguments(c.arguments);
  if (!c.error.empty()) {
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.message(), c.error);
    return;
  }
  ASSERT_TRUE(parsed.ok()) << parsed.message();
  EXPECT_EQ(parsed.value().help, c.help);
  EXPECT_EQ(parsed.value().file, c.file);
  EXPECT_EQ(parsed.value().commands, c.commands);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParseArguments,
    ::testing::Values(
        ArgumentsCase{{"-c", "Print :a", "f.plist"}, "f.plist", {"Print :a"}, false, ""},
        ArgumentsCase{{"-c", "Add :a dict", "-c", "Print", "f.plist"},
                      "f.plist",
                      {"Add :a dict", "Print"},
                      false,
                      ""},
        ArgumentsCase{{"-cPrint", "f.plist"}, "f.plist", {"Print"}, false, ""},
        ArgumentsCase{{"-c", "Print", "--", "-odd.plist"}, "-odd.plist", {"Print"}, false, ""},
        ArgumentsCase{{"--help"}, "", {}, true, ""},
        ArgumentsCase{{"-h", "f.plist"}, "f.plist", {}, true, ""},
        ArgumentsCase{{}, "", {}, false, "PlistBuddy: no plist file given (see --help)"},
        ArgumentsCase{
            {"-c", "Print"}, "", {}, false, "PlistBuddy: no plist file given (see --help)"},
        ArgumentsCase{
            {"-c", "Print", ""}, "", {}, false, "PlistBuddy: no plist file given (see --help)"},
        ArgumentsCase{{"f.plist"},
                      "",
                      {},
                      false,
                      "PlistBuddy: no command given; interactive mode is not supported, use -c "
                      "(see --help)"},
        ArgumentsCase{{"f.plist", "-c"}, "", {}, false, "Invalid Arguments"},
        ArgumentsCase{{"-c"}, "", {}, false, "PlistBuddy: option -c needs a command (see --help)"},
        ArgumentsCase{{"-x", "-c", "Print", "f.plist"},
                      "",
                      {},
                      false,
                      "PlistBuddy: unknown option -x (see --help)"},
        ArgumentsCase{{"-c", "Print", "a.plist", "b.plist"}, "", {}, false, "Invalid Arguments"}));

}  // namespace
}  // namespace deskplay::plistbuddy
