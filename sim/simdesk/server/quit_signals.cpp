#include "sim/simdesk/server/quit_signals.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>

namespace deskplay::simdesk::server {

namespace {

// Written by the handler, which may do nothing but write.
int signalWriteEnd = -1;

void onSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &byte, 1);
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readEnd_.reset(ends[0]);
  signalWriteEnd = ends[1];
  notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char drained[16];
    while (::read(readEnd_.get(), drained, sizeof(drained)) > 0) {
    }
    QCoreApplication::quit();
  });
  struct sigaction action{};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGINT, SIG_DFL);
  if (signalWriteEnd >= 0) ::close(signalWriteEnd);
  signalWriteEnd = -1;
}

}  // namespace deskplay::simdesk::server
