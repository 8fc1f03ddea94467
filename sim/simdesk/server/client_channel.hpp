#pragma once

#include <QLocalServer>
#include <QSocketNotifier>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/unique_fd.hpp"

namespace deskplay::simdesk::server {

// simdesk's end of one client's socket, on the main thread's event loop. It reads with
// recvmsg so that descriptors the client passes along (SCM_RIGHTS: the shared memory of its
// windows) arrive with the bytes they came with; a QLocalSocket would close them unseen.
// Writes go out at once as far as the socket takes them; the rest follows when it can.
class ClientChannel final {
 public:
  // The most descriptors taken from one read; more are closed by the system.
  static constexpr int kMaxDescriptorsPerRead = 8;

  // `readable` runs when bytes (or the peer's close) wait; `closed` when the peer has gone
  // or the socket failed. Either may be called from inside the other's work: callers defer
  // destroying the channel to the event loop.
  ClientChannel(UniqueFd socket, std::function<void()> readable, std::function<void()> closed);
  ClientChannel(const ClientChannel&) = delete;
  ClientChannel& operator=(const ClientChannel&) = delete;
  ~ClientChannel();

  // What arrived: bytes appended to `bytes`, descriptors in arrival order to `descriptors`.
  // False once the peer has closed its end (what came before is still given).
  bool read(std::string& bytes, std::deque<UniqueFd>& descriptors);
  void write(std::string_view bytes);
  // Stops reading; what is queued still goes out, then the socket closes.
  void closeAfterWriting();
  bool isOpen() const { return socket_.valid(); }

 private:
  void sendQueued();
  void fail();

  UniqueFd socket_;
  std::function<void()> readable_;
  std::function<void()> closed_;
  std::unique_ptr<QSocketNotifier> readNotifier_;
  std::unique_ptr<QSocketNotifier> writeNotifier_;
  std::string outgoing_;
  bool closing_ = false;
};

// A local server that hands over the accepted sockets' descriptors instead of QLocalSockets.
class DescriptorServer final : public QLocalServer {
 public:
  explicit DescriptorServer(std::function<void(UniqueFd socket)> accepted)
      : accepted_(std::move(accepted)) {}

 protected:
  void incomingConnection(quintptr socketDescriptor) override;

 private:
  std::function<void(UniqueFd)> accepted_;
};

}  // namespace deskplay::simdesk::server
