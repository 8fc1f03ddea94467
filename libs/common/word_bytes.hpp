#pragma once

#include <cstdint>

namespace deskplay {

// Tests on eight bytes at a time, for scanners that skip long runs of ordinary text.
inline constexpr std::uint64_t kEveryByteOne = 0x0101010101010101ULL;
inline constexpr std::uint64_t kEveryByteHighBit = 0x8080808080808080ULL;

// Whether any byte of `word` is below `limit` (limit <= 0x80).
constexpr bool hasByteBelow(std::uint64_t word, std::uint8_t limit) {
  return ((word - kEveryByteOne * limit) & ~word & kEveryByteHighBit) != 0;
}

// Whether any byte of `word` is `byte`.
constexpr bool hasByte(std::uint64_t word, std::uint8_t byte) {
  return hasByteBelow(word ^ (kEveryByteOne * byte), 1);
}

}  // namespace deskplay
