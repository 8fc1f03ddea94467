#include "line_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/unique_fd.hpp"
#include "support/memory_file.hpp"

namespace deskplay::burrowd {
namespace {

using Lines = std::vector<std::string>;

// Reads every line, alternating byte-wise and buffered access so both paths are covered.
Lines allLines(const std::string& input) {
  UniqueFd fd(testing::memoryFile(input));
  LineReader reader(fd.get());
  Lines lines;
  while (reader.beginLine()) {
    std::string line;
    bool bytewise = true;
    for (;;) {
      if (bytewise) {
        const int c = reader.peek();
        if (c == LineReader::kLineEnd) break;
        line += static_cast<char>(c);
        reader.advance();
      } else {
        const std::string_view chunk = reader.buffered();
        if (chunk.empty()) break;
        line.append(chunk.substr(0, 3));
        reader.consume(std::min<size_t>(3, chunk.size()));
      }
      bytewise = !bytewise;
    }
    EXPECT_EQ(reader.offset(), line.size());
    lines.push_back(line);
  }
  return lines;
}

TEST(LineReader, SplitsOnLineFeeds) {
  EXPECT_EQ(allLines("a\nbcdefgh\n"), (Lines{"a", "bcdefgh"}));
  EXPECT_EQ(allLines(""), Lines{});
  EXPECT_EQ(allLines("\n"), (Lines{""}));
  EXPECT_EQ(allLines("\n\nx"), (Lines{"", "", "x"}));
}

TEST(LineReader, LastLineMayLackItsLineFeed) {
  EXPECT_EQ(allLines("one\ntwo"), (Lines{"one", "two"}));
}

TEST(LineReader, KeepsCarriageReturnsAndNulBytesForTheParserToJudge) {
  EXPECT_EQ(allLines(std::string("{}\r\na\0b\n", 8)), (Lines{"{}\r", std::string("a\0b", 3)}));
}

TEST(LineReader, LinesLongerThanTheBufferArriveWhole) {
  std::string longLine(200000, 'x');
  longLine[65535] = 'y';
  longLine[65536] = 'z';
  EXPECT_EQ(allLines(longLine + "\nend\n" + longLine), (Lines{longLine, "end", longLine}));
}

TEST(LineReader, BeginLineSkipsTheUnreadRestOfALine) {
  UniqueFd fd(testing::memoryFile("skipped part\nnext\nlast"));
  LineReader reader(fd.get());
  ASSERT_TRUE(reader.beginLine());
  reader.advance();
  ASSERT_TRUE(reader.beginLine());
  EXPECT_EQ(reader.buffered(), "next");
  reader.consume(4);
  EXPECT_EQ(reader.peek(), LineReader::kLineEnd);
  EXPECT_EQ(reader.peek(), LineReader::kLineEnd) << "the line stays ended until the next begins";
  EXPECT_TRUE(reader.buffered().empty());
  ASSERT_TRUE(reader.beginLine());
  EXPECT_EQ(reader.buffered(), "last");
  EXPECT_FALSE(reader.beginLine());
}

}  // namespace
}  // namespace deskplay::burrowd
