#pragma once

#include <QJsonObject>
#include <QLocalServer>
#include <QObject>
#include <functional>

#include "app/command_line.hpp"
#include "app/control_protocol.hpp"
#include "common/result.hpp"

namespace deskplay::app {

// The running instance's side of the control socket: reads one request line per connection,
// answers it with one reply line from `handler`, and closes. Main thread.
class ControlServer final : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<QJsonObject(const ControlCommand&)>;

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
