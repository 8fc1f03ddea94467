#include "file_icons/icon_template.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>

#include "common/extended_attributes.hpp"
#include "platform/finder_info.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::glyphon {
namespace {

using deskplay::testing::TempDir;
using platform::platformAttributeName;

#ifdef __APPLE__
constexpr int kNoSuchAttribute = ENOATTR;
#else
constexpr int kNoSuchAttribute = ENODATA;
#endif

const std::string kFinderInfo = platformAttributeName(platform::kFinderInfoAttribute);
const std::string kResourceFork = platformAttributeName(platform::kResourceForkAttribute);

std::string finderInfoWithCustomIcon() {
  platform::FinderInfo info;
  info.set(platform::FinderInfo::kHasCustomIcon, true);
  return std::string(info.bytes());
}

// A template file carrying the given attributes (an empty text leaves one out).
std::filesystem::path makeTemplate(const TempDir& folder, const std::string& finderInfo,
                                   const std::string& resourceFork) {
  const auto file = folder / "template.sprite";
  deskplay::testing::writeFile(file, "");
  if (!finderInfo.empty()) {
    EXPECT_TRUE(writeAttribute(file, kFinderInfo, finderInfo).ok());
  }
  if (!resourceFork.empty()) {
    EXPECT_TRUE(writeAttribute(file, kResourceFork, resourceFork).ok());
  }
  return file;
}

std::string attribute(const std::filesystem::path& file, const std::string& name) {
  auto read = readAttribute(file, name);
  EXPECT_TRUE(read.ok());
  return read.ok() && read.value() ? *read.value() : "(absent)";
}

TEST(CopyIconTemplate, CreatesAnEmptyFileCarryingBothAttributes) {
  TempDir folder;
  const std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR icon bytes", 27);
  const auto from = makeTemplate(folder, finderInfoWithCustomIcon(), png);
  const auto to = folder / "copy.sprite";

  EXPECT_FALSE(copyIconTemplate(from, to));
  EXPECT_EQ(std::filesystem::file_size(to), 0u);
  EXPECT_EQ(attribute(to, kFinderInfo), finderInfoWithCustomIcon());
  EXPECT_EQ(attribute(to, kResourceFork), png);
  struct stat status {};
  ASSERT_EQ(::stat(to.c_str(), &status), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(status.st_mode & 0777, 0644 & ~mask);
}

TEST(CopyIconTemplate, LeavesAnExistingDestinationUntouched) {
  TempDir folder;
  const auto from = makeTemplate(folder, finderInfoWithCustomIcon(), "fork");
  const auto to = folder / "taken.sprite";
  deskplay::testing::writeFile(to, "someone's work");

  EXPECT_EQ(copyIconTemplate(from, to), std::error_code(EEXIST, std::generic_category()));
  EXPECT_EQ(deskplay::testing::readFile(to), "someone's work");
  EXPECT_EQ(attribute(to, kFinderInfo), "(absent)");
}

struct Unreadable {
  std::string name;
  std::string finderInfo;
  std::string resourceFork;
  bool templateExists = true;
  int error = 0;
};

void PrintTo(const Unreadable& unreadable, std::ostream* out) {
  *out << unreadable.name;
}

class UnreadableTemplate : public ::testing::TestWithParam<Unreadable> {};

TEST_P(UnreadableTemplate, FailsBeforeCreatingAnything) {
  TempDir folder;
  const auto from = GetParam().templateExists
                        ? makeTemplate(folder, GetParam().finderInfo, GetParam().resourceFork)
                        : folder / "missing.sprite";
  const auto to = folder / "copy.sprite";
  EXPECT_EQ(copyIconTemplate(from, to), std::error_code(GetParam().error, std::generic_category()));
  EXPECT_FALSE(std::filesystem::exists(to));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, UnreadableTemplate,
    ::testing::Values(Unreadable{"NoResourceFork", finderInfoWithCustomIcon(), "", true,
                                 kNoSuchAttribute},
                      Unreadable{"NoFinderInfo", "", "fork", true, kNoSuchAttribute},
                      Unreadable{"NoTemplate", "", "", false, ENOENT}),
    [](const ::testing::TestParamInfo<Unreadable>& test) { return test.param.name; });

TEST(CopyIconTemplate, FailsWhenTheDestinationFolderIsMissing) {
  TempDir folder;
  const auto from = makeTemplate(folder, finderInfoWithCustomIcon(), "fork");
  EXPECT_EQ(copyIconTemplate(from, folder / "no-such-folder" / "copy"),
            std::error_code(ENOENT, std::generic_category()));
}

// A resource fork too large for the destination's file system: the template lives in shared
// memory (tmpfs takes large values), the destination on the build's disk (ext4 keeps all of
// a file's attributes within one block).
TEST(CopyIconTemplate, RemovesTheDestinationWhenAnAttributeCannotBeWritten) {
  const std::string largeFork(6000, 'x');
  TempDir templates("/dev/shm");
  const auto from = templates / "large.sprite";
  deskplay::testing::writeFile(from, "");
  if (!writeAttribute(from, kFinderInfo, finderInfoWithCustomIcon()).ok() ||
      !writeAttribute(from, kResourceFork, largeFork).ok()) {
    GTEST_SKIP() << "/dev/shm takes no large extended attributes here";
  }
  TempDir folder;
  const auto probe = folder / "probe";
  deskplay::testing::writeFile(probe, "");
  if (writeAttribute(probe, kResourceFork, largeFork).ok()) {
    GTEST_SKIP() << "the build's disk takes large extended attributes";
  }

  const auto to = folder / "copy.sprite";
  EXPECT_TRUE(copyIconTemplate(from, to));
  EXPECT_FALSE(std::filesystem::exists(to));
}

}  // namespace
}  // namespace deskplay::glyphon
