#include "sim/simdesk/server/socket_claim.hpp"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/system_error.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::simdesk::server {

Status claimSocketPath(const std::filesystem::path& path) {
  const std::string text = path.string();
  sockaddr_un address{};
  if (text.empty() || text.size() >= sizeof(address.sun_path)) {
    return Error{"socket path is too long for a Unix socket: " + text};
  }
  struct stat status{};
  if (::lstat(text.c_str(), &status) != 0) {
    if (errno == ENOENT) return Status::success();
    return Error{errnoMessage(text, errno)};
  }
  if (!S_ISSOCK(status.st_mode)) return Error{text + " exists and is not a socket"};

  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!probe.valid()) return Error{errnoMessage("socket", errno)};
  if (::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
    return Error{"another simdesk is running on " + text};
  }
  if (errno != ECONNREFUSED) return Error{errnoMessage(text, errno)};
  if (::unlink(text.c_str()) != 0 && errno != ENOENT) return Error{errnoMessage(text, errno)};
  return Status::success();
}

}  // namespace deskplay::simdesk::server
