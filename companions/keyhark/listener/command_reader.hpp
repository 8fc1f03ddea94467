#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace deskplay::keyhark {

// A background thread that reads lines from a file descriptor until its end and hands each
// one (without its line feed; a last line without one counts too) to `onLine`, on the
// reader's thread. A line longer than kMaxLineBytes is dropped whole: no command is that long.
class CommandReader {
 public:
  static constexpr std::size_t kMaxLineBytes = 16 * 1024 * 1024;

  CommandReader(int fd, std::function<void(std::string line)> onLine);
  CommandReader(const CommandReader&) = delete;
  CommandReader& operator=(const CommandReader&) = delete;
  // Waits for the thread: the input must have ended, or be about to.
  ~CommandReader();

  void start();

 private:
  void readLines();

  int fd_;
  std::function<void(std::string line)> onLine_;
  std::thread thread_;
};

}  // namespace deskplay::keyhark
