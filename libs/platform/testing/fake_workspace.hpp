#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/workspace.hpp"

namespace deskplay::platform::testing {

// Records what was opened, revealed and noted, and keeps files' icons and extension flags
// in memory. Image decoding accepts PNG bytes only (reading the size from their header).
class FakeWorkspace final : public Workspace {
 public:
  bool openUrl(const std::string& url) override;
  void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) override;
  void noteFileSystemChanged(const std::filesystem::path& path) override;
  void chooseFolder(const FolderChoice& choice,
                    std::function<void(std::optional<std::filesystem::path>)> chosen) override;
  std::optional<bool> hasCustomIcon(const std::filesystem::path& file) override;
  std::optional<Image> iconForFile(const std::filesystem::path& file) override;
  std::optional<Image> loadImage(const std::filesystem::path& file) override;
  std::optional<Image> decodeImage(const std::vector<unsigned char>& bytes) override;
  bool setCustomIcon(const std::filesystem::path& file, const std::optional<Image>& icon) override;
  Status setExtensionVisibility(const std::filesystem::path& file,
                                ExtensionVisibility visibility) override;

  void refuseUrls(bool refused) { refuseUrls_ = refused; }
  void failCustomIcons(bool failing) { failCustomIcons_ = failing; }
  // Files whose metadata cannot be read: hasCustomIcon gives nothing.
  void makeUnreadable(const std::filesystem::path& file) { unreadable_.push_back(file); }
  // The next extension change fails with `message`.
  void failExtensionChange(std::string message) { extensionFailure_ = std::move(message); }
  void setImageFile(const std::filesystem::path& file, Image image);
  // Answers the oldest open panel still shown: a folder, or nothing (cancel). False when no
  // panel is shown.
  bool answerOpenPanel(std::optional<std::filesystem::path> folder);
  // The choices of the panels shown and not yet answered, oldest first.
  std::vector<FolderChoice> openPanels() const;

  const std::vector<std::string>& openedUrls() const { return openedUrls_; }
  const std::vector<std::vector<std::filesystem::path>>& reveals() const { return reveals_; }
  const std::vector<std::filesystem::path>& fileSystemChanges() const { return changes_; }
  std::optional<Image> customIcon(const std::filesystem::path& file) const;
  std::optional<ExtensionVisibility> extensionVisibility(const std::filesystem::path& file) const;

 private:
  bool refuseUrls_ = false;
  bool failCustomIcons_ = false;
  std::vector<std::filesystem::path> unreadable_;
  std::optional<std::string> extensionFailure_;
  std::map<std::filesystem::path, Image> imageFiles_;
  std::map<std::filesystem::path, Image> customIcons_;
  std::map<std::filesystem::path, ExtensionVisibility> extensions_;
  std::vector<std::string> openedUrls_;
  std::vector<std::vector<std::filesystem::path>> reveals_;
  std::vector<std::filesystem::path> changes_;
  struct Panel {
    FolderChoice choice;
    std::function<void(std::optional<std::filesystem::path>)> chosen;
  };
  std::deque<Panel> panels_;
};

}  // namespace deskplay::platform::testing
