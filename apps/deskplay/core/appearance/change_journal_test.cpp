#include "core/appearance/change_journal.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using Touched = std::set<std::string, std::less<>>;

TEST(ChangeJournalTest, StartsEmptyAndPrivateBesideTheSnapshot) {
  testing::TempDir folder;
  const fs::path journal = changeJournalFile(folder / "desktop-snapshot.json");
  EXPECT_EQ(journal, folder / "desktop-changes");
  testing::writeFile(journal, "glyphon\niconSize\n");
  ASSERT_TRUE(startChangeJournal(journal).ok());
  EXPECT_EQ(testing::readFile(journal), "");
  struct stat status {};
  ASSERT_EQ(::stat(journal.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600U);
}

// Only a journal whose notes were kept narrows what is put back.
TEST(ChangeJournalTest, SaysWhatTheGameChangedOnlyWhenItsNotesWereKept) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    TouchedSettings touched;
  };
  const auto text = [](std::string content) {
    return [content](const fs::path& at) { testing::writeFile(at, content); };
  };
  const std::vector<Case> cases = {
      {"no journal", [](const fs::path&) {}, std::nullopt},
      {"an empty journal: no icon controller kept notes", text(""), std::nullopt},
      {"notes without the marker", text("iconSize\n"), std::nullopt},
      {"kept, nothing changed", text("glyphon\n"), Touched{}},
      {"two changes, one twice", text("glyphon\niconSize\ndockAutohide\niconSize\n"),
       Touched{"dockAutohide", "iconSize"}},
      {"a second icon controller", text("glyphon\niconSize\nglyphon\ndesktopPicture\n"),
       Touched{"desktopPicture", "iconSize"}},
      {"a last line cut short", text("glyphon\niconSize\ndockAuto"),
       Touched{"dockAuto", "iconSize"}},
      {"a directory", [](const fs::path& at) { fs::create_directory(at); }, std::nullopt},
      {"a link to a journal",
       [](const fs::path& at) {
         testing::writeFile(at.parent_path() / "other", "glyphon\n");
         fs::create_symlink("other", at);
       },
       std::nullopt},
  };
  for (const auto& [what, make, touched] : cases) {
    testing::TempDir folder;
    const fs::path journal = folder / "desktop-changes";
    make(journal);
    EXPECT_EQ(readChangeJournal(journal), touched) << what;
  }
}

}  // namespace
}  // namespace deskplay::core
