#include "protocol/log_file.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "support/temp_dir.hpp"

namespace deskplay::glyphon {
namespace {

using deskplay::testing::readFile;
using deskplay::testing::TempDir;
using deskplay::testing::writeFile;

TEST(LogFileTest, AppendsLinesAndCreatesAMissingFile) {
  TempDir folder;
  LogFile log(folder / "frondel.log");
  log.logLine("[ORVEL] command icon_size id=1");
  log.logLine("[ORVEL] zoë");
  EXPECT_EQ(readFile(folder / "frondel.log"), "[ORVEL] command icon_size id=1\n[ORVEL] zoë\n");
}

TEST(LogFileTest, KeepsWhatTheFileHeld) {
  TempDir folder;
  writeFile(folder / "frondel.log", "earlier\n");
  LogFile(folder / "frondel.log").logLine("later");
  EXPECT_EQ(readFile(folder / "frondel.log"), "earlier\nlater\n");
}

TEST(LogFileTest, IgnoresALogThatCannotBeWrittenAndCreatesNoFolders) {
  TempDir folder;
  LogFile(folder / "missing" / "frondel.log").logLine("lost");
  LogFile("").logLine("lost");
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST(LogFileTest, ALineBreakInsideTheTextStaysInsideItsLine) {
  TempDir folder;
  LogFile log(folder / "frondel.log");
  log.logLine("[ORVEL] command nope id=a\nb\r\n[ORVEL] forged");
  log.logLine(
      "[ORVEL] extension_hidden cocoa ok path=/Desktop/a\xE2\x80\xA9"
      "b hidden=true");
  EXPECT_EQ(readFile(folder / "frondel.log"),
            "[ORVEL] command nope id=a\\nb\\r\\n[ORVEL] forged\n"
            "[ORVEL] extension_hidden cocoa ok path=/Desktop/a\\u2029b hidden=true\n");
}

// The log's path comes from the environment and its folder may be shared: a link planted
// there must not turn log lines into writes to another file.
TEST(LogFileTest, RefusesALogThatIsASymbolicLink) {
  TempDir folder;
  writeFile(folder / "elsewhere", "kept\n");
  std::filesystem::create_symlink(folder / "elsewhere", folder / "frondel.log");
  std::filesystem::create_symlink(folder / "absent", folder / "dangling.log");
  LogFile(folder / "frondel.log").logLine("lost");
  LogFile(folder / "dangling.log").logLine("lost");
  EXPECT_EQ(readFile(folder / "elsewhere"), "kept\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "absent"));
}

TEST(LogFileTest, PathComesFromTheEnvironment) {
  ASSERT_EQ(::setenv("FRONDEL_LOG_FILE", "/var/tmp/game.log", 1), 0);
  EXPECT_EQ(logFilePathFromEnvironment(), "/var/tmp/game.log");
  ASSERT_EQ(::unsetenv("FRONDEL_LOG_FILE"), 0);
  EXPECT_EQ(logFilePathFromEnvironment(), "/tmp/frondel.log");
}

}  // namespace
}  // namespace deskplay::glyphon
