#include "core/session/engine_process.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <QStringList>

#include "common/unique_fd.hpp"

namespace deskplay::core {

namespace {

UniqueFd openGameLog(const std::filesystem::path& gameLog) {
  return UniqueFd(
      ::open(gameLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
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
  if (log.valid()) {
    const int fd = log.get();
    process.setChildProcessModifier([fd] {
      ::dup2(fd, STDOUT_FILENO);
      ::dup2(fd, STDERR_FILENO);
    });
  }

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
