#pragma once

#include <string>
#include <string_view>

namespace deskplay::glyphon {

// `text` with A to Z lowered; the words it is compared with are all ASCII.
inline std::string asciiLowercased(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

}  // namespace deskplay::glyphon
