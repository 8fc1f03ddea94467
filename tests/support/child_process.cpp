#include "support/child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace deskplay::testing {

namespace {

void makePipe(int fds[2]) {
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
  std::map<std::string, std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text(*entry);
    entries[text.substr(0, text.find('='))] = text;
  }
  for (const auto& text : extra) entries[text.substr(0, text.find('='))] = text;
  std::vector<std::string> merged;
  for (auto& [name, text] : entries) merged.push_back(text);
  return merged;
}

int decodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment) {
  // A child that exits early must not kill the test with SIGPIPE.
  ::signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  makePipe(in);
  makePipe(out);
  makePipe(err);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);

  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const std::vector<std::string> env = mergedEnvironment(environment);
  std::vector<char*> envp;
  for (const auto& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  const int spawned = ::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  stdin_ = in[1];
  stdout_ = out[0];
  stderr_ = err[0];
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawned));
  }
}

ChildProcess::~ChildProcess() {
  if (!exitStatus_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    wait();
  }
  for (int fd : {stdin_, stdout_, stderr_}) {
    if (fd >= 0) ::close(fd);
  }
}

void ChildProcess::write(std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(stdin_, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("write to child failed: ") + std::strerror(errno));
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
}

void ChildProcess::closeStdin() {
  if (stdin_ >= 0) ::close(stdin_);
  stdin_ = -1;
}

std::size_t ChildProcess::unreadInput() const {
  int unread = 0;
  if (stdin_ < 0 || ::ioctl(stdin_, FIONREAD, &unread) != 0) return 0;
  return static_cast<std::size_t>(unread);
}

bool ChildProcess::fillOutput(std::chrono::steady_clock::time_point deadline) {
  if (outputClosed_) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) return false;
  pollfd entry{stdout_, POLLIN, 0};
  const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
  if (ready <= 0) return ready < 0 && errno == EINTR;
  char buffer[1 << 16];
  const ssize_t got = ::read(stdout_, buffer, sizeof buffer);
  if (got <= 0) {
    outputClosed_ = got == 0 || errno != EINTR;
    return !outputClosed_;
  }
  pendingOutput_.append(buffer, static_cast<size_t>(got));
  return true;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  size_t searched = 0;
  for (;;) {
    const size_t newline = pendingOutput_.find('\n', searched);
    if (newline != std::string::npos) {
      std::string line = pendingOutput_.substr(0, newline);
      pendingOutput_.erase(0, newline + 1);
      return line;
    }
    searched = pendingOutput_.size();
    if (!fillOutput(deadline)) return std::nullopt;
  }
}

std::string ChildProcess::readRemainingOutput(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (fillOutput(deadline)) {
  }
  return std::exchange(pendingOutput_, {});
}

std::string ChildProcess::readStderr() {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(stderr_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return text;
    text.append(buffer, static_cast<size_t>(got));
  }
}

int ChildProcess::wait() {
  if (exitStatus_) return *exitStatus_;
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  exitStatus_ = decodeStatus(raw);
  return *exitStatus_;
}

void ChildProcess::kill(int signal) {
  if (!exitStatus_) ::kill(pid_, signal);
}

Completed runProgram(const std::vector<std::string>& argv, std::string_view input,
                     const std::vector<std::string>& environment) {
  ChildProcess child(argv, environment);
  // Feed input from a second thread so a program that answers as it reads cannot block us.
  std::thread feeder([&] {
    try {
      child.write(input);
    } catch (const std::runtime_error&) {
      // The program stopped reading; what it wrote still counts.
    }
    child.closeStdin();
  });
  Completed completed;
  completed.output = child.readRemainingOutput(std::chrono::minutes(2));
  feeder.join();
  completed.errors = child.readStderr();
  completed.status = child.wait();
  return completed;
}

}  // namespace deskplay::testing
