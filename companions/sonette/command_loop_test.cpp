#include "command_loop.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/unique_fd.hpp"
#include "support/memory_file.hpp"

namespace deskplay::sonette {
namespace {

struct LoopRun {
  LoopEnd end;
  std::vector<AudioCommand> accepted;
};

LoopRun loopOver(const std::string& input) {
  UniqueFd fd(testing::memoryFile(input));
  LoopRun result{};
  result.end = runCommandLoop(
      fd.get(), [&result](AudioCommand command) { result.accepted.push_back(std::move(command)); });
  return result;
}

const std::string kStopAll = R"({"type":"stop_all"})";
const AudioCommand kStopAllCommand{AudioCommandType::StopAll, {}, {}, {}};

std::string loadLine(const std::string& path) {
  return R"({"type":"load","path":")" + path + "\"}";
}
AudioCommand load(const std::string& path) {
  return {AudioCommandType::Load, {}, path, {}};
}

struct Case {
  const char* name;
  std::string input;
  LoopEnd end;
  std::vector<AudioCommand> accepted;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class CommandLoop : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLoop, HandsOverAcceptedCommandsUntilItsEnd) {
  const LoopRun result = loopOver(GetParam().input);
  EXPECT_EQ(result.end, GetParam().end);
  EXPECT_EQ(result.accepted, GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLoop,
    ::testing::Values(
        Case{"no input", "", LoopEnd::EndOfInput, {}},
        Case{"commands in order",
             loadLine("a") + "\n" + kStopAll + "\n" + loadLine("b") + "\n",
             LoopEnd::EndOfInput,
             {load("a"), kStopAllCommand, load("b")}},
        Case{"exit stops reading",
             kStopAll + "\nEXIT\n" + loadLine("a") + "\n",
             LoopEnd::Exit,
             {kStopAllCommand}},
        Case{"exit as the last line without line feed",
             kStopAll + "\nEXIT",
             LoopEnd::Exit,
             {kStopAllCommand}},
        Case{"exit with a carriage return", "EXIT\r\n" + kStopAll + "\n", LoopEnd::Exit, {}},
        Case{"exit with spaces is ignored",
             " EXIT\nEXIT \n\tEXIT\nexit\n" + kStopAll + "\n",
             LoopEnd::EndOfInput,
             {kStopAllCommand}},
        Case{"bad lines are skipped",
             "garbage\n\n{}\n" + loadLine("a") + "\n{\"type\":\"x\"}\n",
             LoopEnd::EndOfInput,
             {load("a")}},
        Case{"numbers no double holds make their lines bad ones",
             R"({"type":"stop_all","n":1e400})"
             "\n"
             R"({"type":"play","path":"a","volume":-1e999})"
             "\n" +
                 loadLine("a") + "\n",
             LoopEnd::EndOfInput,
             {load("a")}},
        Case{"last command without line feed",
             loadLine("a") + "\n" + kStopAll,
             LoopEnd::EndOfInput,
             {load("a"), kStopAllCommand}},
        Case{"carriage return line ends",
             loadLine("a") + "\r\n" + kStopAll + "\r\n",
             LoopEnd::EndOfInput,
             {load("a"), kStopAllCommand}}));

TEST(CommandLoopLongLines, LinesLongerThanOneReadArriveWhole) {
  const std::string path(300 * 1024, 'p');
  const LoopRun result = loopOver(loadLine(path) + "\n" + kStopAll + "\n");
  EXPECT_EQ(result.accepted, (std::vector{load(path), kStopAllCommand}));
}

TEST(CommandLoopLongLines, ALineOverTheLimitIsIgnoredWholeAndTheNextStillCounts) {
  const std::string prefix = R"({"type":"load","path":")";
  const std::string suffix = "\"}";
  const std::string fits(kMaxLineBytes - prefix.size() - suffix.size(), 'f');
  const std::string tooLong = fits + "x";
  const LoopRun result = loopOver(prefix + tooLong + suffix + "\n" + prefix + fits + suffix + "\n" +
                                  prefix + tooLong + suffix);
  ASSERT_EQ(result.accepted.size(), 1u);
  EXPECT_EQ(result.accepted[0].path->size(), fits.size());
}

}  // namespace
}  // namespace deskplay::sonette
