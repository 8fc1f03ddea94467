#include "burrowd_process.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "common/fd_io.hpp"

extern char** environ;

namespace deskplay::bench {

namespace {

// Room for the line feed and for whatever small reply may follow the largest one.
constexpr std::size_t kReplySlack = 1 << 16;

std::runtime_error systemFailure(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

BurrowdProcess::BurrowdProcess(const std::string& burrowdPath, const std::string& desktop,
                               const std::string& stash, std::size_t largestReply)
    : received_(std::make_unique_for_overwrite<char[]>(largestReply + kReplySlack)),
      capacity_(largestReply + kReplySlack) {
  int input[2];
  int output[2];
  if (::pipe2(input, O_CLOEXEC) != 0) throw systemFailure("pipe");
  if (::pipe2(output, O_CLOEXEC) != 0) {
    ::close(input[0]);
    ::close(input[1]);
    throw systemFailure("pipe");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  const char* argv[] = {burrowdPath.c_str(), desktop.c_str(), stash.c_str(), nullptr};
  const int spawned = ::posix_spawn(&pid_, burrowdPath.c_str(), &actions, nullptr,
                                    const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(input[0]);
  ::close(output[1]);
  toBurrowd_ = input[1];
  fromBurrowd_ = output[0];
  if (spawned != 0) {
    pid_ = -1;
    stop();
    throw std::runtime_error("cannot start " + burrowdPath + ": " + std::strerror(spawned));
  }

  try {
    const std::string_view ready = readLine();
    if (!ready.starts_with(R"({"ok":true,)")) {
      throw std::runtime_error("Burrowd did not start: " + std::string(ready));
    }
  } catch (...) {
    stop();
    throw;
  }
}

BurrowdProcess::~BurrowdProcess() {
  stop();
}

void BurrowdProcess::stop() {
  // End of input is Burrowd's signal to release its locks and exit.
  if (toBurrowd_ >= 0) ::close(toBurrowd_);
  if (pid_ > 0) {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (fromBurrowd_ >= 0) ::close(fromBurrowd_);
  toBurrowd_ = fromBurrowd_ = -1;
  pid_ = -1;
}

std::string_view BurrowdProcess::exchange(std::string_view requestLine) {
  if (writeAll(toBurrowd_, requestLine) != 0) throw systemFailure("write to Burrowd");
  return readLine();
}

std::string_view BurrowdProcess::readLine() {
  std::memmove(received_.get(), received_.get() + consumed_, length_ - consumed_);
  length_ -= consumed_;
  consumed_ = 0;
  std::size_t searched = 0;
  for (;;) {
    if (const void* newline = std::memchr(received_.get() + searched, '\n', length_ - searched)) {
      const auto lineLength =
          static_cast<std::size_t>(static_cast<const char*>(newline) - received_.get());
      consumed_ = lineLength + 1;
      return {received_.get(), lineLength};
    }
    searched = length_;
    if (length_ == capacity_) throw std::runtime_error("Burrowd's reply is larger than expected");
    const ssize_t got = ::read(fromBurrowd_, received_.get() + length_, capacity_ - length_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw systemFailure("read from Burrowd");
    if (got == 0) throw std::runtime_error("Burrowd ended without a reply");
    length_ += static_cast<std::size_t>(got);
  }
}

std::size_t BurrowdProcess::peakResidentBytes() const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  for (std::string line; std::getline(status, line);) {
    // "VmHWM:     41234 kB"
    if (line.starts_with("VmHWM:")) return std::stoul(line.substr(6)) * 1024;
  }
  throw std::runtime_error("no VmHWM for Burrowd's process");
}

}  // namespace deskplay::bench
