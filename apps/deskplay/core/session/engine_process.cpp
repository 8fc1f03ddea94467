#include "core/session/engine_process.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>

#include "common/unique_fd.hpp"

namespace deskplay::core {

namespace {

// Only a regular file becomes the log: the open does not wait (a FIFO planted in the shared
// temporary folder would otherwise hold the main thread until someone read it), and what is
// not a regular file is refused, so the engine keeps the application's own outputs.
UniqueFd openGameLog(const std::filesystem::path& gameLog) {
  UniqueFd log(::open(gameLog.c_str(),
                      O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
  struct stat info {};
  if (!log.valid() || ::fstat(log.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  if (::ftruncate(log.get(), 0) != 0) return {};
  const int flags = ::fcntl(log.get(), F_GETFL);
  if (flags < 0 || ::fcntl(log.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return {};
  return log;
}

QString toQString(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace

Status startEngineProcess(QProcess& process, const EngineCommand& command,
                          const QProcessEnvironment& environment,
                          const std::filesystem::path& gameLog) {
  QStringList arguments;
  for (const auto& argument : command.arguments) arguments << QString::fromStdString(argument);
  process.setProgram(toQString(command.program));
  process.setArguments(arguments);
  if (command.workingDirectory) process.setWorkingDirectory(toQString(*command.workingDirectory));
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());

  // One descriptor for both outputs, so the engine's lines interleave as it wrote them.
  const UniqueFd log = openGameLog(gameLog);
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  const int fd = log.valid() ? log.get() : -1;
  process.setChildProcessModifier([fd] {
    // A group of its own, with the companions it starts: whatever ends the engine without
    // the application (a start-up after a crash) ends them all, and only them.
    ::setpgid(0, 0);
    if (fd >= 0) {
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
    }
  });

  process.start();
  const bool started = process.waitForStarted(-1);
  if (!started) return Error{process.errorString().toStdString()};
  return Status::success();
}

EngineExit engineExit(const QProcess& process) {
  if (process.exitStatus() == QProcess::CrashExit) {
    return {EngineExit::Kind::signalled, process.exitCode()};
  }
  return {EngineExit::Kind::exited, process.exitCode()};
}

}  // namespace deskplay::core
