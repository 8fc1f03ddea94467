#pragma once

#include <QObject>
#include <filesystem>

#include "core/basics/app_paths.hpp"
#include "platform/preferences.hpp"
#include "platform/workspace.hpp"

namespace deskplay::core {

// The folder in which games keep the user's saved work, as the settings show and change it.
// Stored under "dataDir" (the key resolvedDataDirPath() reads for every game launch); absent
// or empty means home + "Documents/Deskplay". Main thread only.
class DataFolder final : public QObject {
  Q_OBJECT
  Q_PROPERTY(std::filesystem::path url READ url NOTIFY urlChanged)

 public:
  // `preferences` and `workspace` must outlive the object.
  DataFolder(AppPaths paths, platform::Preferences& preferences, platform::Workspace& workspace,
             QObject* parent = nullptr);

  const std::filesystem::path& url() const { return url_; }
  // The folder is the default one, once "." and ".." components and trailing separators
  // are resolved.
  bool isDefault() const;
  // Where earlier versions kept games' work: home + "Library/Application Support/Deskplay".
  std::filesystem::path legacyFolder() const;

  // Uses `folder` from now on, without creating it; an empty path means the default.
  void set(const std::filesystem::path& folder);
  void resetToDefault();
  // Creates the folder when missing and shows it selected in a file viewer.
  void reveal();
  // Start-up: moves work left in the legacy folder into an empty data folder. The user games
  // folder, which also lives there, belongs to the catalog and stays.
  void migrateLegacyIfNeeded();

 signals:
  void urlChanged();

 private:
  void publish(std::filesystem::path url);

  AppPaths paths_;
  platform::Preferences& preferences_;
  platform::Workspace& workspace_;
  std::filesystem::path url_;
};

}  // namespace deskplay::core
