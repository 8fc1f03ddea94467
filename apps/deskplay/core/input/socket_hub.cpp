#include "core/input/socket_hub.hpp"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

namespace deskplay::core {

namespace {

// Another program may hold ::1 at the port 127.0.0.1 gave us; a fresh port usually cures it.
constexpr int kListenAttempts = 8;

}  // namespace

SocketHub::SocketHub(qint64 maxPendingBytesPerClient)
    : maxPendingBytes_(maxPendingBytesPerClient) {}

quint16 SocketHub::listen() {
  for (int attempt = 0; attempt < kListenAttempts; ++attempt) {
    auto* ipv4 = new QTcpServer(this);
    if (!ipv4->listen(QHostAddress::LocalHost, 0)) {
      delete ipv4;
      return 0;
    }
    const quint16 port = ipv4->serverPort();
    auto* ipv6 = new QTcpServer(this);
    const bool ipv6Listening = ipv6->listen(QHostAddress::LocalHostIPv6, port);
    if (!ipv6Listening && ipv6->serverError() == QAbstractSocket::AddressInUseError) {
      delete ipv6;
      delete ipv4;
      continue;
    }
    listeners_.push_back(ipv4);
    if (ipv6Listening) {
      listeners_.push_back(ipv6);
    } else {
      // No IPv6 loopback on this host: 127.0.0.1 alone.
      delete ipv6;
    }
    for (QTcpServer* listener : listeners_) {
      connect(listener, &QTcpServer::newConnection, this,
              [this, listener] { acceptPending(listener); });
    }
    return port;
  }
  return 0;
}

void SocketHub::acceptPending(QTcpServer* server) {
  while (QTcpSocket* connection = server->nextPendingConnection()) {
    connection->setParent(this);
    connections_.push_back(connection);
    // Clients have nothing to say; what they send is read and thrown away so that it cannot
    // pile up, and reading is also how a close is noticed.
    connect(connection, &QTcpSocket::readyRead, this, [connection] { connection->readAll(); });
    connect(connection, &QTcpSocket::disconnected, this, [this, connection] { drop(connection); });
    connect(connection, &QTcpSocket::errorOccurred, this, [this, connection] { drop(connection); });
    if (connection->state() != QAbstractSocket::ConnectedState) drop(connection);
  }
  publishCount();
}

void SocketHub::broadcast(const QByteArray& line) {
  // drop() edits the list, so walk a copy.
  const std::vector<QTcpSocket*> recipients = connections_;
  for (QTcpSocket* connection : recipients) {
    if (connection->write(line) != line.size()) {
      drop(connection);
      continue;
    }
    // Hand the bytes to the system at once, so what stays pending is what the client has not
    // taken, however many lines arrive before the worker returns to its loop.
    connection->flush();
    if (connection->bytesToWrite() > maxPendingBytes_) drop(connection);
  }
}

void SocketHub::closeAll() {
  for (QTcpServer* listener : listeners_) delete listener;
  listeners_.clear();
  const std::vector<QTcpSocket*> open = connections_;
  for (QTcpSocket* connection : open) drop(connection);
}

void SocketHub::drop(QTcpSocket* connection) {
  const auto found = std::find(connections_.begin(), connections_.end(), connection);
  if (found == connections_.end()) return;
  connections_.erase(found);
  publishCount();
  connection->disconnect(this);
  connection->abort();
  connection->deleteLater();
}

void SocketHub::publishCount() {
  connectionCount_.store(static_cast<int>(connections_.size()), std::memory_order_release);
}

}  // namespace deskplay::core
