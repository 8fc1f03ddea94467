#include "finder/finder_services.hpp"

namespace deskplay::glyphon {

std::filesystem::path finderPreferencesFile(const std::filesystem::path& home) {
  return home / "Library/Preferences/com.apple.finder.plist";
}

}  // namespace deskplay::glyphon
