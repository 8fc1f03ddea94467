#include "sim/simdesk/model/text_measure.hpp"

#include <cstddef>

namespace deskplay::simdesk {

double estimatedTextWidth(std::string_view text, double size, platform::FontWeight weight) {
  std::size_t codePoints = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++codePoints;
  }
  const double perCharacter = weight == platform::FontWeight::semibold ? 0.63 : 0.6;
  return static_cast<double>(codePoints) * size * perCharacter;
}

}  // namespace deskplay::simdesk
