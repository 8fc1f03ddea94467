#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>
#include <string>

#include "protocol/log_lines.hpp"

namespace deskplay::glyphon {

// The thread that reads command lines from standard input: it hands each line over and
// waits until it has been handled, so commands never overlap and the next line is read only
// after the previous command returned. At the line "EXIT" or the end of input (a read error
// counts as the end) it reports the end once and stops.
class CommandReader {
 public:
  static constexpr const char* kThreadName = "quillon.icon-commands";
  static constexpr std::size_t kStackBytes = 4 * 1024 * 1024;
  // No command comes close, not even an icon's image data: a longer line is dropped whole
  // rather than held in memory, and reading goes on after it.
  static constexpr std::size_t kMaxLineBytes = 64 * 1024 * 1024;

  struct Callbacks {
    // Carries out one line (without its terminator) and returns when it is done.
    std::function<void(std::string line)> handOver;
    // The input ended or said "EXIT"; called on the reader thread.
    std::function<void()> finished;
  };

  CommandReader(int fd, LogLines& log, Callbacks callbacks);
  CommandReader(const CommandReader&) = delete;
  CommandReader& operator=(const CommandReader&) = delete;
  // Waits for the thread, which must have finished or be about to.
  ~CommandReader();

  // Starts the thread; false when it could not be created.
  bool start();

 private:
  static void* threadMain(void* reader);
  void readLines();

  int fd_;
  LogLines& log_;
  Callbacks callbacks_;
  pthread_t thread_{};
  bool started_ = false;
};

}  // namespace deskplay::glyphon
