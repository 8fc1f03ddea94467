#include "app/url_delivery.hpp"

#include <QProcess>

namespace deskplay::app {

Result<QJsonObject> sendStartingInstance(const std::function<Result<QJsonObject>()>& send,
                                         const std::function<void()>& startInstance,
                                         platform::Clock::Seconds timeout, platform::Clock& clock) {
  Result<QJsonObject> reply = send();
  if (reply.ok() || reply.error().kind != ErrorKind::unavailable) return reply;
  startInstance();
  const platform::Clock::Seconds deadline = clock.uptime() + timeout;
  for (;;) {
    clock.sleepFor(kInstanceStartPoll);
    reply = send();
    if (reply.ok() || reply.error().kind != ErrorKind::unavailable) return reply;
    if (clock.uptime() >= deadline) return reply;
  }
}

void startDetachedInstance(const std::filesystem::path& executable) {
  QProcess process;
  process.setProgram(QString::fromStdString(executable.string()));
  // The instance outlives this command; it must not hold its caller's pipes open.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  static_cast<void>(process.startDetached());
}

}  // namespace deskplay::app
