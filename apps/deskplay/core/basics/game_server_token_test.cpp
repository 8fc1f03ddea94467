#include "core/basics/game_server_token.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

struct TokenCase {
  const char* name;
  std::string content;
  std::optional<std::string> expected;
};

class GameServerTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(GameServerTokenTest, ReadsTheTrimmedToken) {
  testing::TempDir dir;
  testing::writeFile(dir / ".game-server-token", GetParam().content);
  EXPECT_EQ(readGameServerToken(dir / ".game-server-token"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, GameServerTokenTest,
                         ::testing::Values(TokenCase{"TrailingNewline", "s3cret\n", "s3cret"},
                                           TokenCase{"SurroundingSpace", " \t s3cret \r\n\n",
                                                     "s3cret"},
                                           TokenCase{"InnerSpaceKept", "a b", "a b"},
                                           TokenCase{"OnlySpaces", "    ", std::nullopt},
                                           TokenCase{"Empty", "", std::nullopt},
                                           TokenCase{"NotUtf8", "tok\xFF\n", std::nullopt}),
                         [](const auto& entry) { return std::string(entry.param.name); });

TEST(GameServerTokenUnreadableTest, MissingFileOrFolderYieldsNothing) {
  testing::TempDir dir;
  EXPECT_EQ(readGameServerToken(dir / "missing"), std::nullopt);
  EXPECT_EQ(readGameServerToken(dir.path()), std::nullopt);
}

TEST(GameServerTokenUnreadableTest, NeitherWaitsOnAFifoNorReadsEndlessZeroes) {
  testing::TempDir dir;
  // No writer ever comes: an open that waited for one would never return.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(readGameServerToken(dir / "fifo"), std::nullopt);
  std::filesystem::create_symlink("/dev/zero", dir / "zeroes");
  EXPECT_EQ(readGameServerToken(dir / "zeroes"), std::nullopt);
  testing::writeFile(dir / "huge", "token\n");
  std::filesystem::resize_file(dir / "huge", 2 << 20);
  EXPECT_EQ(readGameServerToken(dir / "huge"), std::nullopt);
}

}  // namespace
}  // namespace deskplay::core
