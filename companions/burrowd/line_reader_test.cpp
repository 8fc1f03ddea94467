#include "line_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/unique_fd.hpp"
#include "support/memory_file.hpp"

namespace deskplay::burrowd {
namespace {

std::vector<std::string> allLines(const std::string& input) {
  UniqueFd fd(testing::memoryFile(input));
  LineReader reader(fd.get());
  std::vector<std::string> lines;
  while (reader.beginLine()) {
    std::string line;
    for (LineIterator it(reader), end; it != end; ++it) line += *it;
    lines.push_back(line);
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, SplitsOnLineFeeds) {
  EXPECT_EQ(allLines("a\nbc\n"), (Lines{"a", "bc"}));
  EXPECT_EQ(allLines(""), Lines{});
  EXPECT_EQ(allLines("\n"), (Lines{""}));
  EXPECT_EQ(allLines("\n\nx"), (Lines{"", "", "x"}));
}

TEST(LineReader, LastLineMayLackItsLineFeed) {
  EXPECT_EQ(allLines("one\ntwo"), (Lines{"one", "two"}));
}

TEST(LineReader, KeepsCarriageReturnsForTheParserToTreatAsWhitespace) {
  EXPECT_EQ(allLines("{}\r\n"), (Lines{"{}\r"}));
}

TEST(LineReader, LinesLongerThanTheBufferArriveWhole) {
  const std::string longLine(200000, 'x');
  EXPECT_EQ(allLines(longLine + "\nend\n"), (Lines{longLine, "end"}));
}

TEST(LineReader, BeginLineSkipsTheUnreadRestOfALine) {
  UniqueFd fd(testing::memoryFile("skipped part\nnext\n"));
  LineReader reader(fd.get());
  ASSERT_TRUE(reader.beginLine());
  reader.advance();
  ASSERT_TRUE(reader.beginLine());
  std::string line;
  for (LineIterator it(reader), end; it != end; ++it) line += *it;
  EXPECT_EQ(line, "next");
  EXPECT_FALSE(reader.beginLine());
}

}  // namespace
}  // namespace deskplay::burrowd
