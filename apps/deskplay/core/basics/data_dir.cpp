#include "core/basics/data_dir.hpp"

namespace deskplay::core {

std::string resolvedDataDirPath(platform::Preferences& preferences, const AppPaths& paths) {
  if (const auto stored = preferences.value(kDataDirKey)) {
    if (const auto* text = stored->get<std::string>(); text != nullptr && !text->empty()) {
      return *text;
    }
  }
  return paths.defaultDataFolder().string();
}

}  // namespace deskplay::core
