#include "app/url_delivery.hpp"

#include <QProcess>

namespace deskplay::app {

Result<QJsonObject> sendStartingInstance(const std::function<Result<QJsonObject>()>& send,
                                         const std::function<Status()>& startInstance,
                                         platform::Clock::Seconds timeout, platform::Clock& clock) {
  Result<QJsonObject> reply = send();
  if (reply.ok() || reply.error().kind != ErrorKind::unavailable) return reply;
  if (const Status started = startInstance(); !started.ok()) return started.error();
  const platform::Clock::Seconds deadline = clock.uptime() + timeout;
  for (;;) {
    clock.sleepFor(kInstanceStartPoll);
    reply = send();
    if (reply.ok() || reply.error().kind != ErrorKind::unavailable) return reply;
    if (clock.uptime() >= deadline) return reply;
  }
}

Status startDetachedInstance(const std::filesystem::path& executable) {
  QProcess process;
  process.setProgram(QString::fromStdString(executable.string()));
  // The instance outlives this command; it must not hold its caller's pipes open.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  if (!process.startDetached()) {
    return Error{"cannot start " + executable.string() + ": " +
                 process.errorString().toStdString()};
  }
  return Status::success();
}

}  // namespace deskplay::app
