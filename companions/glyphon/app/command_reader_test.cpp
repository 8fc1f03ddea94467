#include "app/command_reader.hpp"

#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>

#include <future>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/fd_io.hpp"
#include "finder/testing/recording_glyphon_io.hpp"

namespace deskplay::glyphon {
namespace {

// A log that several threads may write.
class SharedLog final : public LogLines {
 public:
  void logLine(std::string_view text) override {
    const std::lock_guard lock(mutex_);
    lines_.emplace_back(text);
  }
  std::vector<std::string> lines() const {
    const std::lock_guard lock(mutex_);
    return lines_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

struct Reading {
  std::vector<std::string> lines;
  std::vector<std::string> log;
  int finishedCount = 0;
};

// Feeds `input` to a reader through a pipe, closes the pipe, and collects what it handed over.
Reading readAll(const std::string& input) {
  int ends[2];
  EXPECT_EQ(::pipe(ends), 0);
  SharedLog log;
  Reading reading;
  std::promise<void> finished;
  {
    CommandReader reader(
        ends[0], log,
        {[&reading](std::string line) { reading.lines.push_back(std::move(line)); },
         [&reading, &finished] {
           ++reading.finishedCount;
           finished.set_value();
         }});
    EXPECT_TRUE(reader.start());
    EXPECT_EQ(writeAll(ends[1], input), 0);
    ::close(ends[1]);
    finished.get_future().wait();
  }
  ::close(ends[0]);
  reading.log = log.lines();
  return reading;
}

struct Case {
  const char* name;
  std::string input;
  std::vector<std::string> lines;
};

class CommandReaderLinesTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandReaderLinesTest, HandsOverEachLineUntilTheEnd) {
  const Reading reading = readAll(GetParam().input);
  EXPECT_EQ(reading.lines, GetParam().lines);
  EXPECT_EQ(reading.finishedCount, 1);
  EXPECT_EQ(reading.log,
            std::vector<std::string>(GetParam().lines.size(), "[ORVEL] command line received"));
}

INSTANTIATE_TEST_SUITE_P(Inputs, CommandReaderLinesTest,
                         ::testing::Values(Case{"Nothing", "", {}},
                                           Case{"Lines",
                                                "{\"type\":\"a\"}\n{\"type\":\"b\"}\n",
                                                {"{\"type\":\"a\"}", "{\"type\":\"b\"}"}},
                                           Case{"EmptyLinesAreLines", "\n\nx\n", {"", "", "x"}},
                                           Case{"CarriageReturnLineFeed", "a\r\nb\r\n", {"a", "b"}},
                                           Case{"LastLineWithoutLineFeed", "a\nb", {"a", "b"}},
                                           Case{"ExitStops", "a\nEXIT\nb\n", {"a"}},
                                           Case{"ExitWithCarriageReturn", "EXIT\r\nb\n", {}},
                                           Case{"ExitAtTheEndWithoutLineFeed", "a\nEXIT", {"a"}},
                                           Case{"ExitMustBeTheWholeLine",
                                                "EXIT \nexit\n EXIT\n",
                                                {"EXIT ", "exit", " EXIT"}}),
                         [](const ::testing::TestParamInfo<Case>& tested) {
                           return tested.param.name;
                         });

TEST(CommandReaderTest, LongLinesArriveWhole) {
  const std::string wide(300000, 'x');
  const Reading reading = readAll(wide + "\n" + wide + "y\n");
  ASSERT_EQ(reading.lines.size(), 2u);
  EXPECT_EQ(reading.lines[0], wide);
  EXPECT_EQ(reading.lines[1], wide + "y");
}

TEST(CommandReaderTest, RunsOnANamedThreadWithItsOwnStack) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  testing::RecordingLog log;
  std::promise<std::pair<std::string, std::size_t>> seen;
  std::promise<void> finished;
  {
    CommandReader reader(ends[0], log,
                         {[&seen](std::string) {
                            char name[16] = {};
                            (void)::pthread_getname_np(::pthread_self(), name, sizeof name);
                            pthread_attr_t attributes;
                            std::size_t stack = 0;
                            if (::pthread_getattr_np(::pthread_self(), &attributes) == 0) {
                              (void)::pthread_attr_getstacksize(&attributes, &stack);
                              (void)::pthread_attr_destroy(&attributes);
                            }
                            seen.set_value({name, stack});
                          },
                          [&finished] { finished.set_value(); }});
    ASSERT_TRUE(reader.start());
    ASSERT_EQ(writeAll(ends[1], "x\n"), 0);
    ::close(ends[1]);
    finished.get_future().wait();
  }
  ::close(ends[0]);
  const auto [name, stack] = seen.get_future().get();
  // Linux keeps the first 15 bytes of "quillon.icon-commands".
  EXPECT_EQ(name, "quillon.icon-co");
  EXPECT_EQ(stack, CommandReader::kStackBytes);
}

}  // namespace
}  // namespace deskplay::glyphon
