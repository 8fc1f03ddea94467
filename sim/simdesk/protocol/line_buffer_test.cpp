#include "sim/simdesk/protocol/line_buffer.hpp"

#include <gtest/gtest.h>

#include <string>

namespace deskplay::simdesk::protocol {
namespace {

TEST(LineBufferTest, HandsOutLinesOnlyOnceTheirLineFeedArrived) {
  LineBuffer buffer;
  buffer.append("{\"a\":1}\n{\"b\"");
  EXPECT_EQ(buffer.takeLine(), "{\"a\":1}");
  EXPECT_EQ(buffer.takeLine(), std::nullopt);
  buffer.append(":2}\n\n");
  EXPECT_EQ(buffer.takeLine(), "{\"b\":2}");
  EXPECT_EQ(buffer.takeLine(), "");
  EXPECT_EQ(buffer.takeLine(), std::nullopt);
  EXPECT_EQ(buffer.pendingBytes(), 0u);
}

TEST(LineBufferTest, KeepsLinesIntactAcrossCompaction) {
  LineBuffer buffer;
  const std::string line(1000, 'x');
  std::string all;
  for (int i = 0; i < 200; ++i) all += line + std::to_string(i) + "\n";
  // Fed in odd-sized pieces so that lines straddle the appends.
  for (std::size_t at = 0; at < all.size(); at += 4093) buffer.append(all.substr(at, 4093));
  for (int i = 0; i < 200; ++i) ASSERT_EQ(buffer.takeLine(), line + std::to_string(i));
  EXPECT_EQ(buffer.takeLine(), std::nullopt);
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
