// A game played from a checkout of the game workspace: Deskplay's bundle sits inside the
// checkout, reads the catalog through the workspace's dump script and starts the game in a
// login shell with node and tsx, as on a developer's machine.
#include <gtest/gtest.h>

#include <set>

#include "played_desktop.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

// A copy of the workspace's sources in `checkout`, sharing the installed packages, with a
// bundle of the built application (no games folder: the development layout) inside it.
fs::path layOutCheckout(const fs::path& checkout) {
  const fs::path source = workspaceSource();
  fs::create_directories(checkout);
  for (const char* file : {"package.json", "pnpm-workspace.yaml", "tsconfig.json"}) {
    fs::copy_file(source / file, checkout / file);
  }
  for (const char* folder : {"engine", "games", "scripts"}) {
    fs::copy(source / folder, checkout / folder,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  fs::create_directory_symlink(source / "node_modules", checkout / "node_modules");

  const fs::path bundle = checkout / "build/default/Deskplay.app";
  const fs::path built = builtBundle();
  fs::create_directories(bundle / "Contents/MacOS");
  fs::create_directories(bundle / "Contents/Resources");
  fs::copy_file(built / "Contents/MacOS/Deskplay", bundle / "Contents/MacOS/Deskplay");
  fs::create_directory_symlink(built / "Contents/Resources/frondel-bin",
                               bundle / "Contents/Resources/frondel-bin");
  return bundle / "Contents/MacOS/Deskplay";
}

TEST(DevelopmentLayout, AGameFromTheCheckoutPlaysThroughALoginShellAndEndsCleanly) {
  TempDir workspace;
  PlayedDesktop desk(layOutCheckout(workspace / "tilestack"));
  // A login shell with a home of its own reads this instead of asking to set zsh up.
  writeFile(desk.home() / ".zshenv", "# zsh for the test's own user\n");
  ASSERT_TRUE(desk.start({"TILESTACK_SEED=3"})) << desk.failure;
  const auto entriesBefore = desk.userEntries();

  ASSERT_TRUE(eventually([&] { return desk.status()["games"].size() == 4; }))
      << desk.status().dump();
  EXPECT_TRUE(desk.status()["refreshError"].is_null()) << desk.status().dump();

  const Completed started = desk.deskplay({"play", "slide"});
  ASSERT_EQ(started.status, 0) << started.errors;
  ASSERT_TRUE(eventually([&] { return desk.tiles().size() == 15; }))
      << "the board never appeared; game log:\n"
      << desk.gameLogText();
  desk.screenshot("development-slide-playing");

  desk.pressStopHotkey();
  ASSERT_TRUE(eventually([&] { return desk.status().value("session", "") == "idle"; }))
      << desk.gameLogText();
  EXPECT_TRUE(desk.status()["lastError"].is_null()) << desk.gameLogText();
  EXPECT_TRUE(eventually([&] { return desk.tiles().empty(); }));
  EXPECT_EQ(desk.userEntries(), entriesBefore);
}

}  // namespace
}  // namespace deskplay::testing
