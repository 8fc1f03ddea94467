#include "core/basics/app_paths.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(AppPathsTest, FixedPlacesUnderHomeTemporaryDirectoryAndBundle) {
  const AppPaths paths{"/home/u", "/tmp/t", "/b/Deskplay.app"};
  EXPECT_EQ(paths.applicationLog(), "/tmp/t/deskplay-app.log");
  EXPECT_EQ(paths.gameLog(), "/tmp/t/deskplay-game.log");
  EXPECT_EQ(paths.desktop(), "/home/u/Desktop");
  EXPECT_EQ(paths.stashDirectory(), "/home/u/.deskplay-stash");
  EXPECT_EQ(paths.defaultDataFolder(), "/home/u/Documents/Deskplay");
  EXPECT_EQ(paths.userGamesFolder(), "/home/u/Library/Application Support/Deskplay/games");
  EXPECT_EQ(paths.resources(), "/b/Deskplay.app/Contents/Resources");
  EXPECT_EQ(paths.resourceGamesFolder(), "/b/Deskplay.app/Contents/Resources/games");
  EXPECT_EQ(paths.frondelBin(), "/b/Deskplay.app/Contents/Resources/frondel-bin");
  EXPECT_EQ(paths.bundledNode(), "/b/Deskplay.app/Contents/Resources/node");
}

TEST(AppPathsTest, CurrentUserFollowsHomeAndTmpdir) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir / "tmp");
  const ScopedEnvironment home("HOME", "/somewhere/home");
  const ScopedEnvironment tmp("TMPDIR", (dir / "tmp").c_str());
  const AppPaths paths = AppPaths::forCurrentUser("/b/Deskplay.app");
  EXPECT_EQ(paths.home, "/somewhere/home");
  EXPECT_EQ(paths.temporaryDirectory, std::filesystem::canonical(dir / "tmp"));
  EXPECT_EQ(paths.bundle, "/b/Deskplay.app");
}

TEST(AppPathsTest, MissingTmpdirFallsBackToTmp) {
  const ScopedEnvironment tmp("TMPDIR", "/no/such/folder");
  EXPECT_EQ(AppPaths::forCurrentUser("/b").temporaryDirectory, "/tmp");
}

TEST(AppPathsTest, BundleOfExecutable) {
  EXPECT_EQ(bundleOfExecutable("/b/Deskplay.app/Contents/MacOS/Deskplay"), "/b/Deskplay.app");
  EXPECT_EQ(bundleOfExecutable("/build/bin/Deskplay"), "/build/bin");
  EXPECT_EQ(bundleOfExecutable("/b/MacOS/Deskplay"), "/b/MacOS");
}

}  // namespace
}  // namespace deskplay::core
