#include "sim/simdesk/server/client_channel.hpp"

#include <fcntl.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace deskplay::simdesk::server {

ClientChannel::ClientChannel(UniqueFd socket, std::function<void()> readable,
                             std::function<void()> closed)
    : socket_(std::move(socket)), readable_(std::move(readable)), closed_(std::move(closed)) {
  const int flags = ::fcntl(socket_.get(), F_GETFL);
  if (flags >= 0) ::fcntl(socket_.get(), F_SETFL, flags | O_NONBLOCK);
  ::fcntl(socket_.get(), F_SETFD, FD_CLOEXEC);
  readNotifier_ = std::make_unique<QSocketNotifier>(socket_.get(), QSocketNotifier::Read);
  QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, [this] { readable_(); });
  writeNotifier_ = std::make_unique<QSocketNotifier>(socket_.get(), QSocketNotifier::Write);
  writeNotifier_->setEnabled(false);
  QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, [this] { sendQueued(); });
}

ClientChannel::~ClientChannel() {
  readNotifier_.reset();
  writeNotifier_.reset();
}

bool ClientChannel::read(std::string& bytes, std::deque<UniqueFd>& descriptors) {
  if (!socket_.valid() || closing_) return false;
  char chunk[65536];
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxDescriptorsPerRead)];
  while (true) {
    iovec vector{chunk, sizeof(chunk)};
    msghdr message{};
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    const ssize_t got = ::recvmsg(socket_.get(), &message, MSG_CMSG_CLOEXEC);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      return false;
    }
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
      if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) continue;
      const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
      for (std::size_t i = 0; i < count; ++i) {
        int fd = -1;
        std::memcpy(&fd, CMSG_DATA(header) + i * sizeof(int), sizeof(int));
        descriptors.emplace_back(fd);
      }
    }
    if (got == 0) return false;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

void ClientChannel::write(std::string_view bytes) {
  if (!socket_.valid()) return;
  outgoing_.append(bytes);
  sendQueued();
}

void ClientChannel::sendQueued() {
  while (!outgoing_.empty() && socket_.valid()) {
    const ssize_t sent =
        ::send(socket_.get(), outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent >= 0) {
      outgoing_.erase(0, static_cast<std::size_t>(sent));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      writeNotifier_->setEnabled(true);
      return;
    }
    fail();
    return;
  }
  if (writeNotifier_) writeNotifier_->setEnabled(false);
  if (closing_ && outgoing_.empty()) fail();
}

void ClientChannel::closeAfterWriting() {
  closing_ = true;
  readNotifier_->setEnabled(false);
  sendQueued();
}

void ClientChannel::fail() {
  if (!socket_.valid()) return;
  readNotifier_->setEnabled(false);
  writeNotifier_->setEnabled(false);
  socket_.reset();
  outgoing_.clear();
  closed_();
}

void DescriptorServer::incomingConnection(quintptr socketDescriptor) {
  accepted_(UniqueFd(static_cast<int>(socketDescriptor)));
}

}  // namespace deskplay::simdesk::server
