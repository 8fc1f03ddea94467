#include "common/bounded_lines.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/memory_file.hpp"

namespace deskplay {
namespace {

constexpr std::size_t kLimit = 8;

struct Reading {
  std::vector<std::string> lines;
  LinesEnd end;
};

// Reads `input` with the small limit, stopping after the line `stopAt` when one is given.
Reading read(const std::string& input, std::string_view stopAt = {}) {
  const int fd = testing::memoryFile(input);
  Reading reading;
  reading.end = readBoundedLines(fd, kLimit, [&](std::string_view line) {
    reading.lines.emplace_back(line);
    return !stopAt.empty() && line == stopAt ? LineVerdict::stop : LineVerdict::readOn;
  });
  ::close(fd);
  return reading;
}

TEST(BoundedLines, HandsOverEachLineAndALastOneWithoutALineFeed) {
  struct Case {
    std::string input;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"one\n", {"one"}},
      {"a\nbb\n\nccc", {"a", "bb", "", "ccc"}},
      {"12345678\n", {"12345678"}},
      {"first\n123456789\nnext\n", {"first", "next"}},
      {"first\n123456789", {"first"}},
      {"1234567890123\n\nx", {"", "x"}},
  };
  for (const Case& c : cases) {
    const Reading reading = read(c.input);
    EXPECT_EQ(reading.lines, c.lines) << c.input;
    EXPECT_EQ(reading.end, LinesEnd::endOfInput) << c.input;
  }
}

TEST(BoundedLines, LinesSpanningManyReadsArriveWhole) {
  const std::string longLine(200 * 1024, 'x');
  const int fd = testing::memoryFile(longLine + "\nshort\n" + longLine + "y\n");
  std::vector<std::string> lines;
  readBoundedLines(fd, longLine.size(), [&](std::string_view line) {
    lines.emplace_back(line);
    return LineVerdict::readOn;
  });
  ::close(fd);
  EXPECT_EQ(lines, (std::vector<std::string>{longLine, "short"}));
}

TEST(BoundedLines, StopsAtTheLineTheReaderRefuses) {
  const Reading stopped = read("a\nstop\nb\n", "stop");
  EXPECT_EQ(stopped.lines, (std::vector<std::string>{"a", "stop"}));
  EXPECT_EQ(stopped.end, LinesEnd::stopped);

  const Reading last = read("a\nstop", "stop");
  EXPECT_EQ(last.end, LinesEnd::stopped);
}

}  // namespace
}  // namespace deskplay
