#include "core/settings/data_folder.hpp"

#include <string>
#include <system_error>
#include <utility>

#include "core/basics/data_dir.hpp"
#include "core/settings/legacy_migration.hpp"

namespace deskplay::core {

namespace fs = std::filesystem;

DataFolder::DataFolder(AppPaths paths, platform::Preferences& preferences,
                       platform::Workspace& workspace, QObject* parent)
    : QObject(parent),
      paths_(std::move(paths)),
      preferences_(preferences),
      workspace_(workspace),
      url_(resolvedDataDirPath(preferences_, paths_)) {}

bool DataFolder::isDefault() const {
  return standardizedPath(url_) == standardizedPath(paths_.defaultDataFolder());
}

fs::path DataFolder::legacyFolder() const {
  return paths_.applicationSupportFolder();
}

void DataFolder::set(const fs::path& folder) {
  // An empty stored path reads as the default everywhere else; publishing it would show a
  // folder no game uses.
  if (folder.empty()) {
    resetToDefault();
    return;
  }
  publish(folder);
  static_cast<void>(preferences_.setValue(kDataDirKey, folder.string()));
}

void DataFolder::resetToDefault() {
  publish(paths_.defaultDataFolder());
  static_cast<void>(preferences_.removeValue(kDataDirKey));
}

void DataFolder::reveal() {
  std::error_code error;
  fs::create_directories(url_, error);
  workspace_.activateFileViewerSelecting({url_});
}

void DataFolder::migrateLegacyIfNeeded() {
  // The user games folder sits in the legacy folder; moving it would take the user's
  // installed games out of the catalog. The desktop's look waiting to be put back stays too.
  const MigrationExclusions exclusions{{paths_.userGamesFolder().filename().string(),
                                        paths_.desktopLookFolder().filename().string()}};
  migrateLegacyFolder(legacyFolder(), url_, exclusions);
}

void DataFolder::publish(fs::path url) {
  if (url == url_) return;
  url_ = std::move(url);
  emit urlChanged();
}

}  // namespace deskplay::core
