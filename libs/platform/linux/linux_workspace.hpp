#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/workspace.hpp"

namespace deskplay::platform {

// The workspace parts that are real on Linux: web pages open in the browsers $BROWSER
// lists, else through xdg-open, images decode with whatever formats Qt reads, and a file's custom
// icon and hidden extension live in its Finder attributes as on macOS (the custom-icon flag in
// FinderInfo, the icon as PNG in the resource-fork attribute). What only Finder can do —
// revealing files, change notices, the open panel, other URL schemes such as System Settings panes
// — goes to `desktop`, the simulated desktop's workspace.
class LinuxWorkspace final : public Workspace {
 public:
  explicit LinuxWorkspace(Workspace& desktop);

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

 private:
  Workspace& desktop_;
};

}  // namespace deskplay::platform
