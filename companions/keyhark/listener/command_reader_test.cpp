#include "listener/command_reader.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <mutex>
#include <vector>

#include "common/fd_io.hpp"

namespace deskplay::keyhark {
namespace {

// Feeds `input` through a pipe to a reader and gives the lines it handed over.
std::vector<std::string> linesRead(const std::string& input) {
  int pipeFds[2];
  EXPECT_EQ(::pipe(pipeFds), 0);
  std::mutex mutex;
  std::vector<std::string> lines;
  {
    CommandReader reader(pipeFds[0], [&](std::string line) {
      std::lock_guard lock(mutex);
      lines.push_back(std::move(line));
    });
    reader.start();
    EXPECT_EQ(writeAll(pipeFds[1], input), 0);
    ::close(pipeFds[1]);
  }
  ::close(pipeFds[0]);
  return lines;
}

TEST(CommandReader, HandsOverEveryLineUntilTheEnd) {
  EXPECT_EQ(linesRead("a\nbb\n\nccc"), (std::vector<std::string>{"a", "bb", "", "ccc"}));
  EXPECT_EQ(linesRead(""), std::vector<std::string>{});
  EXPECT_EQ(linesRead("one\n"), std::vector<std::string>{"one"});
}

TEST(CommandReader, LinesLongerThanAnyReadArriveWhole) {
  const std::string longLine(200 * 1024, 'x');
  EXPECT_EQ(linesRead(longLine + "\nshort\n"), (std::vector<std::string>{longLine, "short"}));
}

TEST(CommandReader, DropsAnOverlongLineAndKeepsReading) {
  const std::string tooLong(CommandReader::kMaxLineBytes + 1, 'x');
  EXPECT_EQ(linesRead("first\n" + tooLong + "\nnext\n" + tooLong),
            (std::vector<std::string>{"first", "next"}));
}

}  // namespace
}  // namespace deskplay::keyhark
