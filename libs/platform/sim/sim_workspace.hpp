#pragma once

#include "platform/workspace.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// What only Finder and the system do, done in simdesk: revealing files opens a window in its
// Finder, change notices make its Finder reread the path, and URLs go to simdesk, which
// records System Settings panes ("x-apple.systempreferences:") and takes no other scheme.
//
// A file's custom icon and hidden extension are real on Linux and belong to LinuxWorkspace,
// which hands this class only the calls above: here they answer as a workspace that cannot
// read or change file metadata (nothing, false, an error), never touching the file.
// Without simdesk, reveals and notices go nowhere and no URL opens.
class SimWorkspace final : public Workspace {
 public:
  explicit SimWorkspace(simdesk::protocol::Connection& connection) : connection_(connection) {}

  bool openUrl(const std::string& url) override;
  void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) override;
  void noteFileSystemChanged(const std::filesystem::path& path) override;
  std::optional<bool> hasCustomIcon(const std::filesystem::path& file) override;
  std::optional<Image> iconForFile(const std::filesystem::path& file) override;
  std::optional<Image> loadImage(const std::filesystem::path& file) override;
  std::optional<Image> decodeImage(const std::vector<unsigned char>& bytes) override;
  bool setCustomIcon(const std::filesystem::path& file, const std::optional<Image>& icon) override;
  Status setExtensionVisibility(const std::filesystem::path& file,
                                ExtensionVisibility visibility) override;

 private:
  simdesk::protocol::Connection& connection_;
};

}  // namespace deskplay::platform
