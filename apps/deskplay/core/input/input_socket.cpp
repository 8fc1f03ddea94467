#include "core/input/input_socket.hpp"

#include <QJsonDocument>
#include <string>
#include <string_view>

#include "common/one_line.hpp"
#include "common/thread_name.hpp"
#include "core/input/socket_hub.hpp"

namespace deskplay::core {

InputSocket::InputSocket(QObject* parent)
    : QObject(parent),
      hub_(std::make_unique<SocketHub>(kMaxPendingBytesPerClient)),
      inbox_(thread_) {
  thread_.setObjectName(QString::fromLatin1(kQueueLabel));
  hub_->moveToThread(&thread_);
  connect(&thread_, &QThread::started, [] { nameCurrentThread(kQueueLabel); });
  thread_.start();
}

InputSocket::~InputSocket() {
  SocketHub* hub = hub_.get();
  inbox_.postAndWait([hub] { hub->closeAll(); });
  thread_.quit();
  thread_.wait();
}

void InputSocket::start() {
  if (started_) return;
  started_ = true;
  SocketHub* hub = hub_.get();
  quint16 opened = 0;
  // Opening a loopback listener takes no time; waiting for it makes the port final on return.
  inbox_.postAndWait([hub, &opened] { opened = hub->listen(); });
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
  // The JSON writer leaves U+2028, U+2029 and NEL as they are, and some line readers split
  // at them: escaped, they mean the same and the message stays one line.
  const QByteArray json = QJsonDocument(message).toJson(QJsonDocument::Compact);
  std::string text =
      oneLine(std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
  text += '\n';
  QByteArray line(text.data(), static_cast<qsizetype>(text.size()));
  SocketHub* hub = hub_.get();
  inbox_.post([hub, line = std::move(line)] { hub->broadcast(line); });
}

}  // namespace deskplay::core
