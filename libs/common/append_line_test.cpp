#include "common/append_line.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.hpp"

namespace deskplay {
namespace {

TEST(AppendToFileTest, CreatesThenAppends) {
  testing::TempDir dir;
  const auto file = dir / "log.txt";
  ASSERT_TRUE(appendToFile(file, "one\n").ok());
  ASSERT_TRUE(appendToFile(file, "two\n").ok());
  EXPECT_EQ(testing::readFile(file), "one\ntwo\n");
}

TEST(AppendToFileTest, ReportsAFolderThatIsMissing) {
  testing::TempDir dir;
  const Status status = appendToFile(dir / "missing" / "log.txt", "x");
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("missing/log.txt"), std::string::npos);
}

}  // namespace
}  // namespace deskplay
