// How long a headless Deskplay takes from its start until it takes commands: the time to its
// ready line, and to the first `Deskplay status` it answers (the same road a script takes).
// Each run gets a fresh home, temporary and runtime folder. The baseline is the same program
// started for `--help`: loading it and its libraries, with none of its own start-up. Prints
// the medians and the goal; never fails on a missed goal, only when something does not work.
//
// Usage: deskplay_startup_bench [RUNS]   (default 20)

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

#include "bench/support/bench_support.hpp"

namespace {

namespace fs = std::filesystem;
using deskplay::bench::median;
using deskplay::bench::systemFailure;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr double kGoalMs = 300.0;

// A run's private folders, removed at the end.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "deskplay-startup-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw systemFailure("mkdtemp");
    path_ = pattern;
    for (const char* folder : {"home/Desktop", "tmp", "runtime"})
      fs::create_directories(path_ / folder);
    fs::permissions(path_ / "runtime", fs::perms::owner_all);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }

  // This process's environment with the run's folders in place of the user's.
  std::vector<std::string> environment() const {
    std::vector<std::string> entries;
    const std::vector<std::string> replaced{
        "HOME=",           "TMPDIR=",          "XDG_RUNTIME_DIR=",         "XDG_CONFIG_HOME=",
        "SIMDESK_SOCKET=", "QT_QPA_PLATFORM=", "DBUS_SESSION_BUS_ADDRESS="};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text(*entry);
      if (std::none_of(replaced.begin(), replaced.end(),
                       [&](const std::string& name) { return text.starts_with(name); })) {
        entries.push_back(text);
      }
    }
    entries.push_back("HOME=" + (path_ / "home").string());
    entries.push_back("TMPDIR=" + (path_ / "tmp").string());
    entries.push_back("XDG_RUNTIME_DIR=" + (path_ / "runtime").string());
    entries.push_back("XDG_CONFIG_HOME=" + (path_ / "home/.config").string());
    entries.push_back("SIMDESK_SOCKET=" + (path_ / "runtime/no-simdesk").string());
    entries.push_back("QT_QPA_PLATFORM=offscreen");
    // No keyring of the user's: no session token at all.
    entries.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + (path_ / "runtime/no-bus").string());
    return entries;
  }

 private:
  fs::path path_;
};

// Starts `argv` with `environment`; standard output to `outputFd` (or /dev/null when -1).
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            int outputFd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (outputFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    errno = failed;
    throw systemFailure("posix_spawn " + argv[0]);
  }
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw systemFailure("waitpid");
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct StartupRun {
  double readyMs = 0;
  double answeredMs = 0;
};

StartupRun measureStartup(const std::string& deskplay) {
  const Scratch scratch;
  const auto environment = scratch.environment();
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw systemFailure("pipe");

  const auto start = Clock::now();
  const pid_t instance = spawn({deskplay, "--headless"}, environment, pipeFds[1]);
  ::close(pipeFds[1]);
  std::string output;
  char buffer[256];
  while (output.find('\n') == std::string::npos) {
    const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    output.append(buffer, static_cast<std::size_t>(got));
  }
  const auto ready = Clock::now();
  if (!output.starts_with("DESKPLAY_READY ")) {
    ::kill(instance, SIGKILL);
    waitFor(instance);
    throw std::runtime_error("Deskplay printed no ready line");
  }
  int answered = 1;
  for (int attempt = 0; attempt < 1000 && answered != 0; ++attempt) {
    answered = waitFor(spawn({deskplay, "status"}, environment, -1));
  }
  const auto done = Clock::now();
  ::kill(instance, SIGTERM);
  waitFor(instance);
  ::close(pipeFds[0]);
  if (answered != 0) throw std::runtime_error("Deskplay never answered status");
  return {Milliseconds(ready - start).count(), Milliseconds(done - start).count()};
}

double measureBaseline(const std::string& deskplay) {
  const Scratch scratch;
  const auto start = Clock::now();
  waitFor(spawn({deskplay, "--help"}, scratch.environment(), -1));
  return Milliseconds(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string deskplay = DESKPLAY_EXECUTABLE;
    std::vector<double> ready;
    std::vector<double> answered;
    std::vector<double> baseline;
    // One unmeasured start warms the page cache.
    measureStartup(deskplay);
    for (int run = 0; run < runs; ++run) {
      const StartupRun measured = measureStartup(deskplay);
      ready.push_back(measured.readyMs);
      answered.push_back(measured.answeredMs);
      baseline.push_back(measureBaseline(deskplay));
    }
    const double base = median(baseline);
    std::printf("Deskplay headless start-up, median of %d runs\n", runs);
    std::printf("  baseline: Deskplay --help          %8.1f ms\n", base);
    std::printf("  start to ready line                %8.1f ms  (%.1fx baseline)\n", median(ready),
                median(ready) / base);
    std::printf(
        "  start to first answered status     %8.1f ms  (%.1fx baseline)  goal <= %.0f ms: %s\n",
        median(answered), median(answered) / base, kGoalMs,
        median(answered) <= kGoalMs ? "met" : "missed");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "deskplay_startup_bench: %s\n", error.what());
    return 1;
  }
}
