// A room server's sign-in side for tests, on the loopback interface, and a page fetcher for
// the browser stand-in.
//
//   fake_room_server serve RECORD_FILE
//     Prints "FAKE_ROOM_SERVER_READY <port>", then serves until killed. The sign-in page links
//     to deskplay://signin?token=one-time-1; that token verifies once, for the session
//     "session-abc", whose account is Ada's until it signs out. Every request is appended to
//     RECORD_FILE as one JSON line: {"method","path","authorization","body"}.
//   fake_room_server fetch URL
//     Prints the body of the page at URL; exits 1 when there is none.
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <iostream>
#include <set>
#include <string>

#include "support/fake_http_server.hpp"

namespace {

using deskplay::testing::FakeHttpServer;
using deskplay::testing::HttpAction;
using deskplay::testing::HttpReply;
using deskplay::testing::HttpRequest;
using deskplay::testing::jsonReply;

constexpr const char* kOneTimeToken = "one-time-1";
constexpr const char* kSessionToken = "session-abc";

void record(const QString& file, const HttpRequest& request) {
  QFile out(file);
  if (!out.open(QIODevice::Append)) return;
  const QJsonObject line{{"method", QString::fromUtf8(request.method)},
                         {"path", QString::fromUtf8(request.target)},
                         {"authorization", QString::fromUtf8(request.header("authorization"))},
                         {"body", QString::fromUtf8(request.body)}};
  out.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}

int serve(const QString& recordFile) {
  FakeHttpServer server;
  std::set<QByteArray> usedTokens;
  bool signedOut = false;
  QObject::connect(&server, &FakeHttpServer::requestReceived,
                   [recordFile](const HttpRequest& request) { record(recordFile, request); });
  server.route("GET", "/app-signin",
               HttpReply{200,
                         {{"Content-Type", "text/html"}},
                         QByteArray("<html><body><a href=\"deskplay://signin?token=") +
                             kOneTimeToken + "\">Return to Deskplay</a></body></html>"});
  server.route("POST", "/api/auth/one-time-token/verify", [&](const HttpRequest& request) {
    const QByteArray token =
        QJsonDocument::fromJson(request.body).object().value("token").toString().toUtf8();
    if (token != kOneTimeToken || !usedTokens.insert(token).second) {
      return HttpAction{jsonReply(400, "{}")};
    }
    return HttpAction{
        jsonReply(200, QByteArray(R"({"session":{"token":")") + kSessionToken + "\"}}")};
  });
  server.route("GET", "/api/me", [&](const HttpRequest& request) {
    if (signedOut || request.header("authorization") != QByteArray("Bearer ") + kSessionToken) {
      return HttpAction{jsonReply(200, R"({"user":null})")};
    }
    return HttpAction{
        jsonReply(200, R"({"user":{"id":"u1","name":"Ada Lovelace","email":"ada@example.com"}})")};
  });
  server.route("POST", "/api/auth/sign-out", [&](const HttpRequest&) {
    signedOut = true;
    return HttpAction{jsonReply(200, "{}")};
  });
  std::cout << "FAKE_ROOM_SERVER_READY " << server.port() << std::endl;
  return QCoreApplication::exec();
}

int fetch(const QString& url) {
  QNetworkAccessManager network;
  QNetworkReply* reply = network.get(QNetworkRequest(QUrl(url)));
  QObject::connect(reply, &QNetworkReply::finished, QCoreApplication::instance(),
                   &QCoreApplication::quit);
  QCoreApplication::exec();
  if (reply->error() != QNetworkReply::NoError) return 1;
  std::cout << reply->readAll().toStdString();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() == 3 && arguments[1] == "serve") return serve(arguments[2]);
  if (arguments.size() == 3 && arguments[1] == "fetch") return fetch(arguments[2]);
  std::cerr << "usage: fake_room_server serve RECORD_FILE | fetch URL\n";
  return 2;
}
