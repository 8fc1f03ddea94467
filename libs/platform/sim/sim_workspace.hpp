#pragma once

#include <memory>
#include <set>

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
// The open panel is simdesk's; its answer comes as a pushed event, delivered when the
// connection's events are dispatched (SimdeskEventPump).
// Without simdesk, reveals and notices go nowhere, no URL opens and the open panel answers
// nothing at once.
class SimWorkspace final : public Workspace {
 public:
  explicit SimWorkspace(simdesk::protocol::Connection& connection) : connection_(connection) {}
  SimWorkspace(const SimWorkspace&) = delete;
  SimWorkspace& operator=(const SimWorkspace&) = delete;
  ~SimWorkspace() override;

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
  simdesk::protocol::Connection& connection_;
  // The listeners of open panels not answered yet, shared with them.
  std::shared_ptr<std::set<int>> panelListeners_ = std::make_shared<std::set<int>>();
};

}  // namespace deskplay::platform
