#include "common/small_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "support/temp_dir.hpp"

namespace deskplay {
namespace {

constexpr std::size_t kLimit = 16;

// What is found at the path, how links are taken, and what the read gives: the bytes,
// nothing, or an error whose message holds `refusal`.
struct SmallFileCase {
  const char* name;
  std::function<void(const testing::TempDir& dir, const std::filesystem::path& path)> make;
  FinalLink links;
  std::optional<std::string> content;
  const char* refusal = nullptr;
};

// Test names in the output, not bytes.
void PrintTo(const SmallFileCase& c, std::ostream* os) {
  *os << c.name;
}

class SmallFileTest : public ::testing::TestWithParam<SmallFileCase> {};

TEST_P(SmallFileTest, ReadsOnlyASmallRegularFile) {
  testing::TempDir dir;
  const auto path = dir / "record.json";
  GetParam().make(dir, path);

  const auto read = readSmallFile(path, kLimit, GetParam().links);

  if (GetParam().refusal != nullptr) {
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.message().find(path.string()), std::string::npos) << read.message();
    EXPECT_NE(read.message().find(GetParam().refusal), std::string::npos) << read.message();
  } else {
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read.value(), GetParam().content);
  }
}

void write(const std::filesystem::path& path, const std::string& content) {
  testing::writeFile(path, content);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmallFileTest,
    ::testing::Values(
        SmallFileCase{"Missing", [](const auto&, const auto&) {}, FinalLink::refuse, std::nullopt},
        SmallFileCase{"Empty", [](const auto&, const auto& path) { write(path, ""); },
                      FinalLink::refuse, ""},
        SmallFileCase{"AtTheLimit",
                      [](const auto&, const auto& path) { write(path, std::string(kLimit, 'x')); },
                      FinalLink::refuse, std::string(kLimit, 'x')},
        SmallFileCase{
            "OneByteOver",
            [](const auto&, const auto& path) { write(path, std::string(kLimit + 1, 'x')); },
            FinalLink::refuse, std::nullopt, "larger than 16 bytes"},
        SmallFileCase{"Huge",
                      [](const auto&, const auto& path) {
                        write(path, "");
                        std::filesystem::resize_file(path, std::uintmax_t{1} << 32);
                      },
                      FinalLink::refuse, std::nullopt, "larger than 16 bytes"},
        SmallFileCase{
            "Folder",
            [](const auto&, const auto& path) { std::filesystem::create_directory(path); },
            FinalLink::refuse, std::nullopt, "not a regular file"},
        // No writer ever comes: an open that waited for one would never return.
        SmallFileCase{
            "Fifo",
            [](const auto&, const auto& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
            FinalLink::refuse, std::nullopt, "not a regular file"},
        SmallFileCase{"LinkToZeroes",
                      [](const auto&, const auto& path) {
                        std::filesystem::create_symlink("/dev/zero", path);
                      },
                      FinalLink::follow, std::nullopt, "not a regular file"},
        SmallFileCase{"LinkFollowed",
                      [](const auto& dir, const auto& path) {
                        write(dir / "target", "linked");
                        std::filesystem::create_symlink(dir / "target", path);
                      },
                      FinalLink::follow, "linked"},
        SmallFileCase{"LinkRefused",
                      [](const auto& dir, const auto& path) {
                        write(dir / "target", "linked");
                        std::filesystem::create_symlink(dir / "target", path);
                      },
                      FinalLink::refuse, std::nullopt, "symbolic link"}),
    [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
}  // namespace deskplay
