#include "common/extended_attributes.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>

#include "common/unique_fd.hpp"
#include "support/temp_dir.hpp"

namespace deskplay {
namespace {

using testing::TempDir;

constexpr const char* kName = "user.deskplay.test";

TEST(ExtendedAttributes, ValuesRoundTripByPathAndByDescriptor) {
  TempDir folder;
  const auto file = folder / "a";
  testing::writeFile(file, "");
  const std::string binary("\0\x01\xff zero bytes kept", 20);

  ASSERT_TRUE(writeAttribute(file, kName, binary).ok());
  auto read = readAttribute(file, kName);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), binary);

  UniqueFd fd(::open(file.c_str(), O_RDONLY));
  ASSERT_TRUE(writeAttribute(fd.get(), kName, "").ok());
  auto empty = readAttribute(fd.get(), kName);
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty.value(), std::string());
}

TEST(ExtendedAttributes, AbsentAttributeIsNothingAndRemovingItAgainSucceeds) {
  TempDir folder;
  const auto file = folder / "a";
  testing::writeFile(file, "");
  auto absent = readAttribute(file, kName);
  ASSERT_TRUE(absent.ok());
  EXPECT_FALSE(absent.value().has_value());

  ASSERT_TRUE(writeAttribute(file, kName, "x").ok());
  EXPECT_TRUE(removeAttribute(file, kName).ok());
  EXPECT_TRUE(removeAttribute(file, kName).ok());
  EXPECT_FALSE(readAttribute(file, kName).value().has_value());
}

TEST(ExtendedAttributes, MissingFileIsAnErrorNamingIt) {
  TempDir folder;
  auto read = readAttribute(folder / "gone", kName);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.message().find("gone"), std::string::npos);
  EXPECT_NE(read.message().find("errno " + std::to_string(ENOENT)), std::string::npos);
  EXPECT_FALSE(writeAttribute(folder / "gone", kName, "x").ok());
  EXPECT_FALSE(removeAttribute(folder / "gone", kName).ok());
}

}  // namespace
}  // namespace deskplay
