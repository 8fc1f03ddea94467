#include "support/fake_http_server.hpp"

#include <QHostAddress>
#include <algorithm>
#include <optional>

namespace deskplay::testing {

namespace {

QByteArray pathOf(const QByteArray& target) {
  const qsizetype query = target.indexOf('?');
  return query < 0 ? target : target.left(query);
}

QByteArray reasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

// The request at the start of `buffer`, removing it; nothing while it is incomplete.
std::optional<HttpRequest> takeRequest(QByteArray& buffer) {
  const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
  if (headEnd < 0) return std::nullopt;
  const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
  HttpRequest request;
  const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
  request.method = requestLine.value(0);
  request.target = requestLine.value(1);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines[i].indexOf(':');
    if (colon < 0) continue;
    request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
  }
  const qsizetype length = request.header("content-length").toLongLong();
  const qsizetype bodyStart = headEnd + 4;
  if (buffer.size() < bodyStart + length) return std::nullopt;
  request.body = buffer.mid(bodyStart, length);
  buffer.remove(0, bodyStart + length);
  return request;
}

}  // namespace

QByteArray HttpRequest::header(const QByteArray& name) const {
  const auto found = headers.find(name.toLower());
  return found == headers.end() ? QByteArray() : found->second;
}

HttpReply jsonReply(int status, const QByteArray& json) {
  return HttpReply{status, {{"Content-Type", "application/json"}}, json};
}

void writeHttpReply(QTcpSocket& socket, const HttpReply& reply) {
  QByteArray response =
      "HTTP/1.1 " + QByteArray::number(reply.status) + " " + reasonPhrase(reply.status) + "\r\n";
  for (const auto& [name, value] : reply.headers) response += name + ": " + value + "\r\n";
  response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
  response += "Connection: close\r\n\r\n";
  response += reply.body;
  socket.write(response);
  socket.disconnectFromHost();
}

FakeHttpServer::FakeHttpServer(QObject* parent) : QObject(parent) {
  connect(&server_, &QTcpServer::newConnection, this, &FakeHttpServer::accept);
  server_.listen(QHostAddress::LocalHost, 0);
}

QUrl FakeHttpServer::url() const {
  return QUrl("http://127.0.0.1:" + QString::number(port()));
}

void FakeHttpServer::route(const QByteArray& method, const QByteArray& path, HttpAction action) {
  route(method, path, [action](const HttpRequest&) { return action; });
}

void FakeHttpServer::route(const QByteArray& method, const QByteArray& path,
                           HttpResponder responder) {
  routes_[{method, path}] = std::move(responder);
}

int FakeHttpServer::releaseHeld(const HttpReply& reply) {
  int answered = 0;
  for (const auto& socket : held_) {
    if (socket == nullptr || socket->state() != QAbstractSocket::ConnectedState) continue;
    writeHttpReply(*socket, reply);
    ++answered;
  }
  held_.clear();
  return answered;
}

int FakeHttpServer::heldOpen() const {
  return static_cast<int>(std::count_if(held_.begin(), held_.end(), [](const auto& socket) {
    return socket != nullptr && socket->state() == QAbstractSocket::ConnectedState;
  }));
}

std::vector<HttpRequest> FakeHttpServer::requestsTo(const QByteArray& method,
                                                    const QByteArray& path) const {
  std::vector<HttpRequest> matching;
  for (const HttpRequest& request : requests_) {
    if (request.method == method && pathOf(request.target) == path) matching.push_back(request);
  }
  return matching;
}

void FakeHttpServer::accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
  }
}

void FakeHttpServer::readFrom(QTcpSocket* socket) {
  QByteArray buffer = socket->property("pending").toByteArray() + socket->readAll();
  while (const auto request = takeRequest(buffer)) {
    requests_.push_back(*request);
    emit requestReceived(*request);
    act(socket, *request);
  }
  socket->setProperty("pending", buffer);
}

void FakeHttpServer::act(QTcpSocket* socket, const HttpRequest& request) {
  const auto route = routes_.find({request.method, pathOf(request.target)});
  const HttpAction action = route == routes_.end() ? HttpAction{HttpReply{404, {}, "no such page"}}
                                                   : route->second(request);
  if (const auto* reply = std::get_if<HttpReply>(&action)) {
    writeHttpReply(*socket, *reply);
  } else if (std::holds_alternative<HoldRequest>(action)) {
    held_.emplace_back(socket);
  } else {
    socket->abort();
  }
}

}  // namespace deskplay::testing
