#include "finder/process_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/unique_fd.hpp"
#include "common/utf8.hpp"

extern char** environ;

namespace deskplay::glyphon {

namespace {

struct Pipe {
  UniqueFd read;
  UniqueFd write;
};

std::optional<Pipe> openPipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  return Pipe{UniqueFd(ends[0]), UniqueFd(ends[1])};
}

ProcessRun startFailure(const std::filesystem::path& executable, int error) {
  return {std::nullopt,
          "The process " + executable.string() + " could not be started: " + std::strerror(error),
          -1};
}

std::optional<std::string> asText(std::string bytes) {
  if (!isValidUtf8(bytes)) return std::nullopt;
  return bytes;
}

// Reads both pipes together until each is closed, so a tool that fills one of them never
// waits on us while we wait on the other.
void drain(int outputFd, int errorFd, std::string& output, std::string& error) {
  pollfd streams[2] = {{outputFd, POLLIN, 0}, {errorFd, POLLIN, 0}};
  std::string* sinks[2] = {&output, &error};
  int open = 2;
  char buffer[4096];
  while (open > 0) {
    if (::poll(streams, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (streams[i].fd < 0 || streams[i].revents == 0) continue;
      const ssize_t got = ::read(streams[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        streams[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProcessRun runProcess(const std::filesystem::path& executable,
                      const std::vector<std::string>& arguments) {
  std::optional<Pipe> output = openPipe();
  std::optional<Pipe> error = openPipe();
  if (!output || !error) return startFailure(executable, errno);

  std::vector<std::string> argv{executable.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> argvPointers;
  for (std::string& argument : argv) argvPointers.push_back(argument.data());
  argvPointers.push_back(nullptr);

  // Our standard input carries the engine's commands; a tool must never read from it.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output->write.get(), STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, error->write.get(), STDERR_FILENO);
  pid_t child = -1;
  const int spawned =
      ::posix_spawn(&child, argv.front().c_str(), &actions, nullptr, argvPointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return startFailure(executable, spawned);

  output->write.reset();
  error->write.reset();
  std::string outputBytes;
  std::string errorBytes;
  drain(output->read.get(), error->read.get(), outputBytes, errorBytes);

  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  const std::int32_t exitStatus = WIFEXITED(status)     ? WEXITSTATUS(status)
                                  : WIFSIGNALED(status) ? WTERMSIG(status)
                                                        : -1;
  return {asText(std::move(outputBytes)), asText(std::move(errorBytes)), exitStatus};
}

}  // namespace deskplay::glyphon
