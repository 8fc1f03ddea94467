#include "common/uuid.hpp"

#include <cerrno>
#include <cstdint>

#include "common/system_error.hpp"

#if defined(__APPLE__)
#include <stdlib.h>
#else
#include <sys/random.h>
#endif

namespace deskplay {

namespace {

Status fillRandom(std::uint8_t* bytes, size_t size) {
#if defined(__APPLE__)
  arc4random_buf(bytes, size);
  return Status::success();
#else
  size_t filled = 0;
  while (filled < size) {
    const ssize_t got = ::getrandom(bytes + filled, size - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Error{errnoMessage("read secure random bytes", errno)};
    }
    filled += static_cast<size_t>(got);
  }
  return Status::success();
#endif
}

}  // namespace

Result<std::string> randomUuid() {
  std::uint8_t bytes[16];
  if (Status filled = fillRandom(bytes, sizeof bytes); !filled.ok()) return filled.error();
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant

  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(36);
  for (size_t i = 0; i < sizeof bytes; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace deskplay
