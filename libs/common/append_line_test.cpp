#include "common/append_line.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <ostream>

#include "common/unique_fd.hpp"
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

// Something planted under the log's name in a shared folder before the first line.
struct PlantedCase {
  const char* name;
  std::function<void(const testing::TempDir& dir, const std::filesystem::path& log)> plant;
};

// Test names in the output, not bytes.
void PrintTo(const PlantedCase& c, std::ostream* os) {
  *os << c.name;
}

class AppendToFilePlantedTest : public ::testing::TestWithParam<PlantedCase> {};

TEST_P(AppendToFilePlantedTest, IsRefusedAndLeftAsItWas) {
  testing::TempDir dir;
  testing::writeFile(dir / "victim", "precious\n");
  const auto log = dir / "log.txt";
  GetParam().plant(dir, log);

  EXPECT_FALSE(appendToFile(log, "line\n").ok());

  EXPECT_EQ(testing::readFile(dir / "victim"), "precious\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "created-through-link"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppendToFilePlantedTest,
    ::testing::Values(
        PlantedCase{"LinkToAFile",
                    [](const testing::TempDir& dir, const std::filesystem::path& log) {
                      std::filesystem::create_symlink(dir / "victim", log);
                    }},
        PlantedCase{"DanglingLink",
                    [](const testing::TempDir& dir, const std::filesystem::path& log) {
                      std::filesystem::create_symlink(dir / "created-through-link", log);
                    }},
        PlantedCase{"Folder",
                    [](const testing::TempDir&, const std::filesystem::path& log) {
                      std::filesystem::create_directory(log);
                    }}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST(AppendToFileTest, AFifoInTheLogsPlaceGetsNothing) {
  testing::TempDir dir;
  const auto log = dir / "log.txt";
  ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
  // A reader at the other end, so that an open for writing would not wait for one.
  const UniqueFd reader(::open(log.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  ASSERT_TRUE(reader.valid());

  EXPECT_FALSE(appendToFile(log, "line\n").ok());

  char byte = 0;
  EXPECT_EQ(::read(reader.get(), &byte, 1), 0) << "the line went into the FIFO";
}

}  // namespace
}  // namespace deskplay
