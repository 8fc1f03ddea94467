#include "ui/models/room_code.hpp"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>
#include <limits>
#include <random>

namespace deskplay::ui {
namespace {

std::uint32_t secureWord() {
  std::uint32_t word = 0;
  auto* bytes = reinterpret_cast<unsigned char*>(&word);
  std::size_t filled = 0;
  while (filled < sizeof word) {
    const ssize_t got = ::getrandom(bytes + filled, sizeof word - filled, 0);
    if (got > 0) {
      filled += static_cast<std::size_t>(got);
    } else if (errno != EINTR) {
      // Only a kernel without getrandom gets here; the library's device reads the same pool.
      return std::random_device{}();
    }
  }
  return word;
}

}  // namespace

std::uint32_t secureUniform(std::uint32_t bound) {
  // Words at or above the largest multiple of `bound` would favour the low numbers.
  const std::uint32_t limit =
      std::numeric_limits<std::uint32_t>::max() - std::numeric_limits<std::uint32_t>::max() % bound;
  std::uint32_t word = secureWord();
  while (word >= limit) word = secureWord();
  return word % bound;
}

std::string generateRoomCode(const UniformDraw& draw) {
  const auto first =
      kRoomCodeFirstWords.at(draw(static_cast<std::uint32_t>(kRoomCodeFirstWords.size())));
  const auto second =
      kRoomCodeSecondWords.at(draw(static_cast<std::uint32_t>(kRoomCodeSecondWords.size())));
  const std::uint32_t number = 10 + draw(90);
  return std::string(first) + "-" + std::string(second) + "-" + std::to_string(number);
}

}  // namespace deskplay::ui
