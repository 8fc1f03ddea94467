#pragma once

#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/command_line.hpp"
#include "app/control_protocol.hpp"
#include "common/result.hpp"

namespace deskplay::app {

// The answer to one request, given at once or later (a recording waits for the user). Copies
// share the one answer: only the first send counts, and nothing is sent once the client left.
class ControlReply {
 public:
  explicit ControlReply(QLocalSocket* client);

  // Writes the reply line and closes the connection.
  void send(const QJsonObject& reply) const;
  // `abandoned` runs if the client leaves before it was answered.
  void onAbandoned(std::function<void()> abandoned) const;

 private:
  struct State {
    QPointer<QLocalSocket> client;
    bool answered = false;
  };
  std::shared_ptr<State> state_;
};

// The running instance's side of the control socket: reads one request line per connection,
// hands it to `handler` with the reply to give, and closes once it is answered. Main thread.
class ControlServer final : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void(const ControlCommand&, const ControlReply&)>;

  explicit ControlServer(Handler handler, QObject* parent = nullptr);

  // Listens at `socket`, replacing a stale socket file a finished instance left (the caller
  // holds the instance lock, so no live instance owns it). Only this user may connect.
  Status listen(const std::filesystem::path& socket);

 private:
  void accept();

  Handler handler_;
  QLocalServer server_;
};

}  // namespace deskplay::app
