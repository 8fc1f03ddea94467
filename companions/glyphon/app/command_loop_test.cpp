#include "app/command_loop.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "common/fd_io.hpp"
#include "finder/testing/recording_glyphon_io.hpp"

namespace deskplay::glyphon {
namespace {

class CommandLoopTest : public ::testing::Test {
 protected:
  CommandLoopTest() { EXPECT_EQ(::pipe(ends_), 0); }
  ~CommandLoopTest() override {
    ::close(ends_[0]);
    if (ends_[1] >= 0) ::close(ends_[1]);
  }

  // Runs the loop over `input`; the write end stays open unless `closeInput`.
  bool run(const std::string& input, bool closeInput) {
    EXPECT_EQ(writeAll(ends_[1], input), 0);
    if (closeInput) {
      ::close(ends_[1]);
      ends_[1] = -1;
    }
    return runCommandLoop(application_, ends_[0], log_, [this](const std::string& line) {
      // Main thread state, as the dispatcher's is: a handler run anywhere else, or two at
      // once, shows here (and to ThreadSanitizer).
      ++running_;
      handled_.push_back(line);
      threads_.push_back(std::this_thread::get_id());
      overlapped_ = overlapped_ || running_ > 1;
      --running_;
    });
  }

  int ends_[2] = {-1, -1};
  int argc_ = 1;
  char name_[16] = "glyphon";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication application_{argc_, argv_};
  testing::RecordingLog log_;
  std::vector<std::string> handled_;
  std::vector<std::thread::id> threads_;
  int running_ = 0;
  bool overlapped_ = false;
};

TEST_F(CommandLoopTest, HandsEachLineToTheMainThreadInOrderOneAtATime) {
  std::string input;
  std::vector<std::string> lines;
  for (int i = 0; i < 200; ++i) {
    lines.push_back("{\"id\":\"" + std::to_string(i) + "\"}");
    input += lines.back() + "\n";
  }

  ASSERT_TRUE(run(input, true));

  EXPECT_EQ(handled_, lines);
  EXPECT_FALSE(overlapped_);
  for (const std::thread::id& thread : threads_) EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST_F(CommandLoopTest, EndsTheLoopAtExitWithTheInputStillOpen) {
  ASSERT_TRUE(run("a\nEXIT\nb\n", false));
  EXPECT_EQ(handled_, std::vector<std::string>{"a"});
}

TEST_F(CommandLoopTest, EndsTheLoopWithTheInputAfterNoLines) {
  ASSERT_TRUE(run("", true));
  EXPECT_TRUE(handled_.empty());
}

}  // namespace
}  // namespace deskplay::glyphon
