#include "core/settings/relaunch.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/eventually.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;

// A stand-in for the application: writes its arguments, one a line, beside itself.
fs::path standIn(const testing::TempDir& dir) {
  const fs::path program = dir / "Deskplay";
  testing::writeFile(program,
                     "#!/bin/sh\n"
                     "printf '%s\\n' \"$@\" > \"$0.arguments.partial\"\n"
                     "mv \"$0.arguments.partial\" \"$0.arguments\"\n");
  fs::permissions(program, fs::perms::owner_all);
  return program;
}

std::string awaitFile(const fs::path& file) {
  return testing::eventually([&] { return fs::exists(file); }) ? testing::readFile(file)
                                                               : std::string("(never written)");
}

TEST(Relaunch, StartsANewInstanceThatWaitsAndQuitsThisOne) {
  testing::TempDir dir;
  const fs::path program = standIn(dir);
  int quits = 0;
  relaunchApplication(program, {"--headless", "two words"}, [&quits] { ++quits; });
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(awaitFile(dir / "Deskplay.arguments"), "--relaunched\n--headless\ntwo words\n");
}

TEST(Relaunch, QuitsEvenWhenTheNewInstanceCannotStart) {
  testing::TempDir dir;
  int quits = 0;
  relaunchApplication(dir / "missing" / "Deskplay", {}, [&quits] { ++quits; });
  EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace deskplay::core
