#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

#include "platform/qt/loop_inbox.hpp"

namespace deskplay::core {

class SocketHub;

// The loopback TCP listener through which captured keys and the sound switch reach the game
// engine: every message is one JSON line sent to every connected client. The listener, the
// connections and all sends live on one serial worker thread, which takes its work from an
// inbox; the main thread only hands lines over and never waits for a client.
class InputSocket final : public QObject {
  Q_OBJECT
  Q_PROPERTY(quint16 port READ port NOTIFY portChanged)

 public:
  // The worker's name. Linux keeps at most 15 bytes of a thread's name, so the system sees
  // the first 15 bytes of it ("quillon.deskpla").
  static constexpr const char* kQueueLabel = "quillon.deskplay.socket";
  // A client that leaves this much unread is stuck; it is dropped rather than letting its
  // backlog grow without bound.
  static constexpr qint64 kMaxPendingBytesPerClient = 1 << 20;

  explicit InputSocket(QObject* parent = nullptr);
  ~InputSocket() override;
  InputSocket(const InputSocket&) = delete;
  InputSocket& operator=(const InputSocket&) = delete;

  // Opens the listener on a free loopback port; only the first call does anything. Returns
  // once the listener is open or has failed, so port() is final by then. Main thread.
  void start();

  // The listening port, 0 while there is none (not started, or the listener could not open).
  // Stable for the life of this object. Any thread.
  quint16 port() const { return port_.load(std::memory_order_acquire); }
  bool hasPort() const { return port() != 0; }

  // Clients currently connected; closed and dropped clients no longer count. Any thread.
  int connectionCount() const;

  // {"type":"keydown","keyCode":keyCode,"char":characters} to every client.
  void send(int keyCode, const QString& characters);
  // {"type":"set-muted","muted":muted} to every client.
  void sendMuted(bool muted);
  // Any message object, serialised compactly as one line, to every client connected when the
  // worker gets to it. Never waits; with no clients the line is dropped.
  void broadcast(const QJsonObject& message);

 signals:
  // Emitted on the main thread when start() got a port.
  void portChanged(quint16 port);

 private:
  std::atomic<quint16> port_{0};
  // Main thread only.
  bool started_ = false;
  QThread thread_;
  // Lives on thread_; owns the listeners and the connections, touched only by the tasks of
  // inbox_. Declared after thread_, so they go first, once the destructor has stopped it.
  std::unique_ptr<SocketHub> hub_;
  platform::LoopInbox inbox_;
};

}  // namespace deskplay::core
