#pragma once

#include <QByteArray>
#include <QObject>
#include <QtGlobal>
#include <atomic>
#include <vector>

class QTcpServer;
class QTcpSocket;

namespace deskplay::core {

// The input socket's worker side: the loopback listeners and every accepted connection.
// Everything but connectionCount() runs on the thread the hub lives on.
class SocketHub final : public QObject {
 public:
  explicit SocketHub(qint64 maxPendingBytesPerClient);

  // Listens on 127.0.0.1 at a free port, and on ::1 at the same port where the host has IPv6
  // loopback, so a client reaching "localhost" either way gets here. The port, or 0.
  quint16 listen();
  // Writes the line to every connection, in order of arrival, without waiting.
  void broadcast(const QByteArray& line);
  // Closes the listeners and every connection.
  void closeAll();

  int connectionCount() const { return connectionCount_.load(std::memory_order_acquire); }

 private:
  void acceptPending(QTcpServer* server);
  void drop(QTcpSocket* connection);
  void publishCount();

  qint64 maxPendingBytes_;
  std::vector<QTcpServer*> listeners_;
  std::vector<QTcpSocket*> connections_;
  std::atomic<int> connectionCount_{0};
};

}  // namespace deskplay::core
