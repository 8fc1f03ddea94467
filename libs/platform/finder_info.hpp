#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace deskplay::platform {

// Finder keeps a file's custom-icon and hidden-extension flags in its FinderInfo, a
// 32-byte extended attribute, and a custom icon's image in the resource-fork attribute.
inline constexpr std::string_view kFinderInfoAttribute = "com.apple.FinderInfo";
inline constexpr std::string_view kResourceForkAttribute = "com.apple.ResourceFork";

// The name under which the platform stores a Finder attribute: Linux keeps users' extended
// attributes only in the "user." namespace.
std::string platformAttributeName(std::string_view finderAttribute);

// The 32 bytes of FinderInfo; the Finder flags are the big-endian 16 bits at offset 8.
class FinderInfo {
 public:
  static constexpr std::size_t kSize = 32;
  static constexpr std::uint16_t kHasCustomIcon = 0x0400;
  static constexpr std::uint16_t kExtensionHidden = 0x0010;

  FinderInfo() { bytes_.fill(0); }
  // Nothing useful comes from a value of another size; it reads as all zeros.
  static FinderInfo fromBytes(std::string_view bytes);

  std::uint16_t flags() const;
  bool has(std::uint16_t flag) const { return (flags() & flag) != 0; }
  void set(std::uint16_t flag, bool on);
  // All zeros: the attribute can go.
  bool isEmpty() const;
  std::string_view bytes() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
  }

 private:
  std::array<unsigned char, kSize> bytes_;
};

}  // namespace deskplay::platform
