#include "plist_files/plist_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "plist_files/plist_values.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::plist {
namespace {

using deskplay::testing::TempDir;

PlistNode sampleDictionary() {
  PlistNode root(plist_new_dict());
  plist_dict_set_item(root.get(), "name", plist_new_string("Finder"));
  plist_dict_set_item(root.get(), "size", plist_new_real(64.0));
  return root;
}

std::string stringAt(plist_t dict, const char* key) {
  return stringValue(plist_dict_get_item(dict, key));
}

class PlistFileFormats : public ::testing::TestWithParam<PlistFormat> {};

TEST_P(PlistFileFormats, WrittenFileReadsBackWithItsFormat) {
  TempDir folder;
  const auto path = folder / "a.plist";
  ASSERT_TRUE(writePlistFile(path, sampleDictionary().get(), GetParam()).ok());

  auto read = readPlistFile(path);
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_TRUE(read.value().has_value());
  EXPECT_EQ(read.value()->format, GetParam());
  EXPECT_EQ(stringAt(read.value()->root.get(), "name"), "Finder");
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644u);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PlistFileFormats,
                         ::testing::Values(PlistFormat::xml, PlistFormat::binary));

TEST(PlistFile, MissingFileIsNothingAndGarbageIsAnError) {
  TempDir folder;
  auto missing = readPlistFile(folder / "none.plist");
  ASSERT_TRUE(missing.ok());
  EXPECT_FALSE(missing.value().has_value());

  deskplay::testing::writeFile(folder / "bad.plist", "not a plist at all");
  auto bad = readPlistFile(folder / "bad.plist");
  ASSERT_FALSE(bad.ok());
  EXPECT_NE(bad.message().find("bad.plist"), std::string::npos);
}

TEST(PlistFile, AFifoInTheFilesPlaceIsAnErrorNotAWait) {
  TempDir folder;
  const auto path = folder / "a.plist";
  // No writer ever comes: an open that waited for one would never return.
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  auto read = readPlistFile(path);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.message().find("not a regular file"), std::string::npos) << read.message();
}

TEST(PlistFile, ReplaceLeavesNoStagingFileBehind) {
  TempDir folder;
  const auto path = folder / "a.plist";
  ASSERT_TRUE(writePlistFile(path, sampleDictionary().get(), PlistFormat::xml).ok());
  ASSERT_TRUE(writePlistFile(path, sampleDictionary().get(), PlistFormat::binary).ok());
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(PlistFile, WriteIntoMissingFolderFails) {
  TempDir folder;
  EXPECT_FALSE(
      writePlistFile(folder / "no" / "a.plist", sampleDictionary().get(), PlistFormat::xml).ok());
  EXPECT_FALSE(PlistFolderLock::acquire(folder / "no").ok());
}

}  // namespace
}  // namespace deskplay::plist
