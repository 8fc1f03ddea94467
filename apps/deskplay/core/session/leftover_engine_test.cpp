#include "core/session/leftover_engine.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/session/engine_record.hpp"
#include "core/session/process_identity.hpp"
#include "platform/testing/fake_clock.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;

// The end of an engine left behind by an earlier run, where nothing is left to end; the
// running engines are in the session host's tests.
class EndEngineLeftBehind : public ::testing::Test {
 protected:
  fs::path recordFile() const { return dir_ / "deskplay-engine.json"; }
  std::string logText() const {
    return fs::exists(log_.file()) ? testing::readFile(log_.file()) : std::string();
  }

  testing::TempDir dir_;
  platform::testing::FakeClock clock_;
  ArcadeLog log_{dir_ / "deskplay-app.log", clock_};
};

TEST_F(EndEngineLeftBehind, NoRecordNothingToDo) {
  EXPECT_TRUE(endEngineLeftBehind(recordFile(), log_));
  EXPECT_EQ(logText(), "");
}

TEST_F(EndEngineLeftBehind, AnEngineThatHasEndedIsForgotten) {
  // A process that has come and gone, as an engine that ended after the application died.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const auto boot = currentBootId();
  ASSERT_TRUE(boot);
  ASSERT_TRUE(writeEngineRecord(recordFile(), {gone, "12345", *boot, gone, "12345"}).ok());

  EXPECT_TRUE(endEngineLeftBehind(recordFile(), log_));
  EXPECT_FALSE(fs::exists(recordFile()));
  EXPECT_NE(logText().find("the engine of an earlier run (process group " + std::to_string(gone) +
                           ") has ended"),
            std::string::npos)
      << logText();
}

}  // namespace
}  // namespace deskplay::core
