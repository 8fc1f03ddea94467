#include "ui/models/room_code.hpp"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <vector>

namespace deskplay::ui {
namespace {

TEST(RoomCode, EveryCodeIsAWordOfEachListAndATwoDigitNumber) {
  const std::set<std::string> first(kRoomCodeFirstWords.begin(), kRoomCodeFirstWords.end());
  const std::set<std::string> second(kRoomCodeSecondWords.begin(), kRoomCodeSecondWords.end());
  const std::regex shape("([a-z]+)-([a-z]+)-([0-9]{2})");
  std::set<std::string> firstSeen;
  std::set<std::string> secondSeen;
  std::set<int> numbersSeen;
  // Enough draws that a word or number the source never yields would show: a given number of
  // 90 is missed by 4000 fair draws with a chance of about 1e-19.
  for (int i = 0; i < 4000; ++i) {
    const std::string code = generateRoomCode();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(code, parts, shape)) << code;
    EXPECT_TRUE(first.contains(parts[1])) << code;
    EXPECT_TRUE(second.contains(parts[2])) << code;
    const int number = std::stoi(parts[3]);
    EXPECT_GE(number, 10) << code;
    EXPECT_LE(number, 99) << code;
    firstSeen.insert(parts[1]);
    secondSeen.insert(parts[2]);
    numbersSeen.insert(number);
  }
  EXPECT_EQ(firstSeen, first);
  EXPECT_EQ(secondSeen, second);
  EXPECT_EQ(numbersSeen.size(), 90u);
}

TEST(RoomCode, TakesOneDrawPerPartInOrder) {
  std::vector<std::uint32_t> bounds;
  const std::vector<std::uint32_t> answers = {9, 0, 89};
  const auto draw = [&](std::uint32_t bound) {
    bounds.push_back(bound);
    return answers.at(bounds.size() - 1);
  };
  EXPECT_EQ(generateRoomCode(draw), "bolt-falcon-99");
  EXPECT_EQ(bounds, (std::vector<std::uint32_t>{10, 10, 90}));
}

TEST(SecureUniform, StaysBelowItsBoundAndCoversIt) {
  std::map<std::uint32_t, int> counts;
  for (int i = 0; i < 3000; ++i) {
    const std::uint32_t value = secureUniform(3);
    ASSERT_LT(value, 3u);
    ++counts[value];
  }
  // Each third is expected 1000 times; 800 is more than six standard deviations below.
  for (std::uint32_t value = 0; value < 3; ++value) EXPECT_GT(counts[value], 800) << value;
  EXPECT_EQ(secureUniform(1), 0u);
}

}  // namespace
}  // namespace deskplay::ui
