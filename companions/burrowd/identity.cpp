#include "identity.hpp"

#include <string>

namespace deskplay::burrowd {

IdentityMap identityOf(const FileStatus& status) {
  return {
      {"dev", std::to_string(status.device)},
      {"ino", std::to_string(status.inode)},
      {"birth",
       std::to_string(status.birthSeconds) + ":" + std::to_string(status.birthNanoseconds)},
  };
}

}  // namespace deskplay::burrowd
