#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace deskplay::testing {

// A program started with pipes on its standard input, output and error.
class ChildProcess {
 public:
  // Starts argv[0] (searched in PATH when it has no slash). `environment` entries
  // ("NAME=value") are added to this process's environment.
  ChildProcess(const std::vector<std::string>& argv,
               const std::vector<std::string>& environment = {});
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  pid_t pid() const { return pid_; }

  void write(std::string_view data);
  void writeLine(std::string_view line) { write(std::string(line) + "\n"); }
  void closeStdin();
  // Bytes written to standard input that the program has not read yet.
  std::size_t unreadInput() const;

  // The next line of standard output without its line feed; nothing at end of output or
  // when no whole line arrives in time.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Everything left on standard output until the program closes it.
  std::string readRemainingOutput(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  std::string readStderr();

  // Waits for the end: the exit status, or 128 + the signal number.
  int wait();
  void kill(int signal);

 private:
  bool fillOutput(std::chrono::steady_clock::time_point deadline);

  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  int stderr_ = -1;
  std::string pendingOutput_;
  bool outputClosed_ = false;
  std::optional<int> exitStatus_;
};

struct Completed {
  int status = 0;
  std::string output;
  std::string errors;
};

// Runs a program to its end with `input` on its standard input.
Completed runProgram(const std::vector<std::string>& argv, std::string_view input = {},
                     const std::vector<std::string>& environment = {});

}  // namespace deskplay::testing
