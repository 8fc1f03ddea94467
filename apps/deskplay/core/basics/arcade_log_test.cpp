#include "core/basics/arcade_log.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_clock.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

using platform::Clock;
using platform::testing::FakeClock;

TEST(ArcadeLogTest, FirstLineCreatesTheLogAndLaterLinesAppend) {
  testing::TempDir dir;
  // 2026-03-01T09:30:00Z, a little past the whole second.
  FakeClock clock(Clock::Seconds(1000), Clock::Seconds(1772357400.4));
  const auto file = dir / "deskplay-app.log";

  arcadeLog(file, clock, "first");
  EXPECT_EQ(testing::readFile(file), "[2026-03-01T09:30:00Z] first\n");

  clock.advance(Clock::Seconds(61));
  const ArcadeLog log(file, clock);
  log.write("catalog: ünïcode");
  EXPECT_EQ(testing::readFile(file),
            "[2026-03-01T09:30:00Z] first\n[2026-03-01T09:31:01Z] catalog: ünïcode\n");
}

TEST(ArcadeLogTest, ALineBreakInsideAMessageNeverStartsALineOfItsOwn) {
  testing::TempDir dir;
  FakeClock clock(Clock::Seconds(1000), Clock::Seconds(1772357400));
  const auto file = dir / "deskplay-app.log";

  arcadeLog(file, clock, "catalog: skipped /games/x\n[2026-01-01T00:00:00Z] forged\rline");
  EXPECT_EQ(testing::readFile(file),
            "[2026-03-01T09:30:00Z] catalog: skipped /games/x\\n[2026-01-01T00:00:00Z] "
            "forged\\rline\n");
}

TEST(ArcadeLogTest, UnwritableLogIsSwallowed) {
  testing::TempDir dir;
  FakeClock clock;
  // A folder where the file should be, and a file in a missing folder: neither may fail.
  arcadeLog(dir.path(), clock, "x");
  arcadeLog(dir / "missing" / "deskplay-app.log", clock, "x");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(ArcadeLogTest, ALinkPlantedInTheLogsPlaceIsNotFollowed) {
  testing::TempDir dir;
  FakeClock clock;
  testing::writeFile(dir / "victim", "precious\n");
  std::filesystem::create_symlink(dir / "victim", dir / "deskplay-app.log");

  arcadeLog(dir / "deskplay-app.log", clock, "catalog: scanned");

  EXPECT_EQ(testing::readFile(dir / "victim"), "precious\n");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "deskplay-app.log"));
}

}  // namespace
}  // namespace deskplay::core
