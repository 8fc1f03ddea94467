#include "core/session/engine_record.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/session/process_identity.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

class EngineRecordTest : public ::testing::Test {
 protected:
  fs::path file() const { return dir_ / "deskplay-engine.json"; }

  TempDir dir_;
};

TEST_F(EngineRecordTest, WrittenPrivatelyAndReadBack) {
  const EngineRecord first{4242, "987654", "boot-a", 4000, "987000"};
  ASSERT_TRUE(writeEngineRecord(file(), first).ok());
  auto read = readEngineRecord(file());
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), first);
  EXPECT_EQ(fs::status(file()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  const EngineRecord second{77, "1", "boot-b", 76, "0"};
  ASSERT_TRUE(writeEngineRecord(file(), second).ok());
  read = readEngineRecord(file());
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(read.value(), second);
  // Nothing of the replacement is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}

TEST_F(EngineRecordTest, NoRecordIsNothingAndRemovingItTwiceIsFine) {
  auto read = readEngineRecord(file());
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_FALSE(read.value());

  ASSERT_TRUE(writeEngineRecord(file(), {4242, "1", "b", 4000, "0"}).ok());
  EXPECT_TRUE(removeEngineRecord(file()).ok());
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_TRUE(removeEngineRecord(file()).ok());
}

TEST_F(EngineRecordTest, WhatIsNotAWholeRecordIsRejected) {
  // A whole record, with one field changed to `value` (or left out when it is empty).
  const auto recordWith = [](const std::string& field, const std::string& value) {
    std::string text = "{";
    for (const auto& [name, good] :
         std::vector<std::pair<std::string, std::string>>{{"processGroup", "4242"},
                                                          {"startTime", R"("1")"},
                                                          {"bootId", R"("b")"},
                                                          {"owner", "4000"},
                                                          {"ownerStartTime", R"("0")"}}) {
      const std::string& shown = name == field ? value : good;
      if (shown.empty()) continue;
      if (text.size() > 1) text += ",";
      text += "\"" + name + "\":" + shown;
    }
    return text + "}";
  };
  writeFile(file(), recordWith("", ""));
  ::chmod(file().c_str(), 0600);
  ASSERT_TRUE(readEngineRecord(file()).ok());

  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"cut short", R"({"processGroup":4242,"startTime":"1")"},
      {"not an object", R"([4242,"1","b",4000,"0"])"},
      {"no boot", recordWith("bootId", "")},
      {"no owner", recordWith("owner", "")},
      {"no owner's start", recordWith("ownerStartTime", "")},
      {"group as text", recordWith("processGroup", R"("4242")")},
      {"start as a number", recordWith("startTime", "1")},
      {"empty start", recordWith("startTime", R"("")")},
      {"empty owner's start", recordWith("ownerStartTime", R"("")")},
      // Signalled, these would reach this process's own group, every process, or init.
      {"group 0", recordWith("processGroup", "0")},
      {"group 1", recordWith("processGroup", "1")},
      {"group -1", recordWith("processGroup", "-1")},
      {"owner -1", recordWith("owner", "-1")},
      {"group beyond any id", recordWith("processGroup", "99999999999")},
      {"group not whole", recordWith("processGroup", "42.5")},
      {"far too long", recordWith("bootId", "\"" + std::string(5000, 'b') + "\"")},
      {"a whole record, then a NUL and more", recordWith("owner", "4000") + std::string(1, '\0') + "junk"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(file(), c.text);
    ::chmod(file().c_str(), 0600);
    EXPECT_FALSE(readEngineRecord(file()).ok());
  }
}

TEST_F(EngineRecordTest, OnlyAPrivateFileOfThisUserCounts) {
  const std::string good =
      R"({"processGroup":4242,"startTime":"1","bootId":"b","owner":4000,"ownerStartTime":"0"})";
  writeFile(dir_ / "elsewhere.json", good);
  ::chmod((dir_ / "elsewhere.json").c_str(), 0600);

  const struct {
    const char* name;
    std::function<bool()> plant;
  } cases[] = {
      {"writable by the group",
       [&] {
         writeFile(file(), good);
         return ::chmod(file().c_str(), 0620) == 0;
       }},
      {"writable by everyone",
       [&] {
         writeFile(file(), good);
         return ::chmod(file().c_str(), 0606) == 0;
       }},
      {"a symbolic link to a good record",
       [&] {
         fs::create_symlink(dir_ / "elsewhere.json", file());
         return true;
       }},
      {"a folder",
       [&] {
         fs::create_directory(file());
         return true;
       }},
      // Only a privileged test run can give a file to another user.
      {"another user's",
       [&] {
         writeFile(file(), good);
         ::chmod(file().c_str(), 0600);
         return ::chown(file().c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(file());
    if (!c.plant()) continue;
    EXPECT_FALSE(readEngineRecord(file()).ok());
  }
}

TEST(EngineRecordOf, ARunningProcessInThisBoot) {
  const auto record = engineRecordOf(::getpid());
  ASSERT_TRUE(record.ok()) << record.message();
  EXPECT_EQ(record.value().processGroup, ::getpid());
  EXPECT_EQ(record.value().startTime, processStatus(::getpid())->startTime);
  EXPECT_EQ(record.value().bootId, currentBootId());
  EXPECT_EQ(record.value().owner, ::getpid());
  EXPECT_EQ(record.value().ownerStartTime, processStatus(::getpid())->startTime);

  EXPECT_FALSE(engineRecordOf(-1).ok());
}

}  // namespace
}  // namespace deskplay::core
