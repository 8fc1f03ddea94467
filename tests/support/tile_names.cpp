#include "support/tile_names.hpp"

namespace deskplay::testing {

bool isTileName(const std::string& name) {
  // U+2009 and U+200A are E2 80 89 and E2 80 8A in UTF-8.
  if (name.empty() || name.size() % 3 != 0) return false;
  for (std::size_t at = 0; at < name.size(); at += 3) {
    if (name.compare(at, 2, "\xE2\x80") != 0) return false;
    if (name[at + 2] != '\x89' && name[at + 2] != '\x8A') return false;
  }
  return true;
}

}  // namespace deskplay::testing
