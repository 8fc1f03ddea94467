#include "platform/finder_info.hpp"

#include <algorithm>

namespace deskplay::platform {

std::string platformAttributeName(std::string_view finderAttribute) {
#ifdef __APPLE__
  return std::string(finderAttribute);
#else
  return "user." + std::string(finderAttribute);
#endif
}

FinderInfo FinderInfo::fromBytes(std::string_view bytes) {
  FinderInfo info;
  if (bytes.size() == kSize) std::copy(bytes.begin(), bytes.end(), info.bytes_.begin());
  return info;
}

std::uint16_t FinderInfo::flags() const {
  return static_cast<std::uint16_t>((bytes_[8] << 8) | bytes_[9]);
}

void FinderInfo::set(std::uint16_t flag, bool on) {
  const auto updated = static_cast<std::uint16_t>(on ? flags() | flag : flags() & ~flag);
  bytes_[8] = static_cast<unsigned char>(updated >> 8);
  bytes_[9] = static_cast<unsigned char>(updated & 0xFF);
}

bool FinderInfo::isEmpty() const {
  return std::all_of(bytes_.begin(), bytes_.end(), [](unsigned char byte) { return byte == 0; });
}

}  // namespace deskplay::platform
