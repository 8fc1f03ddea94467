#include "core/input/input_socket.hpp"

#include <pthread.h>

#include <QJsonDocument>
#include <QMetaObject>
#include <string>

#include "core/input/socket_hub.hpp"

namespace deskplay::core {

namespace {

void nameCurrentThread() {
#if defined(__APPLE__)
  ::pthread_setname_np(InputSocket::kQueueLabel);
#else
  // Linux keeps 15 bytes of a thread name plus its terminator.
  constexpr std::size_t kSystemThreadNameBytes = 15;
  const std::string name = std::string(InputSocket::kQueueLabel).substr(0, kSystemThreadNameBytes);
  ::pthread_setname_np(::pthread_self(), name.c_str());
#endif
}

}  // namespace

InputSocket::InputSocket(QObject* parent) : QObject(parent) {
  thread_.setObjectName(QString::fromLatin1(kQueueLabel));
  hub_ = std::make_unique<SocketHub>(kMaxPendingBytesPerClient);
  hub_->moveToThread(&thread_);
  connect(&thread_, &QThread::started, &nameCurrentThread);
  thread_.start();
}

InputSocket::~InputSocket() {
  SocketHub* hub = hub_.get();
  QMetaObject::invokeMethod(
      hub, [hub] { hub->closeAll(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void InputSocket::start() {
  if (started_) return;
  started_ = true;
  SocketHub* hub = hub_.get();
  quint16 opened = 0;
  // Opening a loopback listener takes no time; waiting for it makes the port final on return.
  QMetaObject::invokeMethod(
      hub, [hub, &opened] { opened = hub->listen(); }, Qt::BlockingQueuedConnection);
  if (opened == 0) return;
  port_.store(opened, std::memory_order_release);
  emit portChanged(opened);
}

int InputSocket::connectionCount() const {
  return hub_->connectionCount();
}

void InputSocket::send(int keyCode, const QString& characters) {
  broadcast(QJsonObject{{"type", "keydown"}, {"keyCode", keyCode}, {"char", characters}});
}

void InputSocket::sendMuted(bool muted) {
  broadcast(QJsonObject{{"type", "set-muted"}, {"muted", muted}});
}

void InputSocket::broadcast(const QJsonObject& message) {
  QByteArray line = QJsonDocument(message).toJson(QJsonDocument::Compact);
  line.append('\n');
  SocketHub* hub = hub_.get();
  QMetaObject::invokeMethod(
      hub, [hub, line = std::move(line)] { hub->broadcast(line); }, Qt::QueuedConnection);
}

}  // namespace deskplay::core
