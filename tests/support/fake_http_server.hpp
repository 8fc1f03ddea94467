#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <functional>
#include <map>
#include <utility>
#include <variant>
#include <vector>

namespace deskplay::testing {

// One request as the server read it. Header names are lower-cased.
struct HttpRequest {
  QByteArray method;
  // The path with its query, as sent.
  QByteArray target;
  std::map<QByteArray, QByteArray> headers;
  QByteArray body;

  QByteArray header(const QByteArray& name) const;
};

// What the server does with a request: answers it; holds it until releaseHeld(); or closes
// the connection without a word.
struct HttpReply {
  int status = 200;
  QList<QPair<QByteArray, QByteArray>> headers;
  QByteArray body;
};
struct HoldRequest {};
struct DropConnection {};
using HttpAction = std::variant<HttpReply, HoldRequest, DropConnection>;
using HttpResponder = std::function<HttpAction(const HttpRequest&)>;

// HttpReply with a JSON body.
HttpReply jsonReply(int status, const QByteArray& json);

// An HTTP/1.1 server on the loopback interface for tests: each method and path (without the
// query) is answered as routed, anything else with 404; every request is recorded. Answers
// close their connection. Lives on the thread that created it, whose event loop must run.
class FakeHttpServer final : public QObject {
  Q_OBJECT

 public:
  explicit FakeHttpServer(QObject* parent = nullptr);

  // "http://127.0.0.1:PORT".
  QUrl url() const;
  quint16 port() const { return server_.serverPort(); }

  void route(const QByteArray& method, const QByteArray& path, HttpAction action);
  void route(const QByteArray& method, const QByteArray& path, HttpResponder responder);
  // Answers every request held so far with `reply`; the number answered.
  int releaseHeld(const HttpReply& reply);
  // How many held requests still have their connection open (the client has not hung up).
  int heldOpen() const;

  const std::vector<HttpRequest>& requests() const { return requests_; }
  // The requests to this method and path.
  std::vector<HttpRequest> requestsTo(const QByteArray& method, const QByteArray& path) const;

 signals:
  void requestReceived(const deskplay::testing::HttpRequest& request);

 private:
  void accept();
  void readFrom(QTcpSocket* socket);
  void act(QTcpSocket* socket, const HttpRequest& request);

  QTcpServer server_;
  std::map<std::pair<QByteArray, QByteArray>, HttpResponder> routes_;
  std::vector<HttpRequest> requests_;
  std::vector<QPointer<QTcpSocket>> held_;
};

// Writes `reply` as an HTTP/1.1 response on `socket` and closes it.
void writeHttpReply(QTcpSocket& socket, const HttpReply& reply);

}  // namespace deskplay::testing
