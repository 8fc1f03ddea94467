#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/result.hpp"
#include "platform/image.hpp"

namespace deskplay::platform {

enum class ExtensionVisibility { shown, hidden };

// What the open panel that chooses a folder starts with.
struct FolderChoice {
  std::filesystem::path startingFolder;
  std::string prompt;  // the title of its "choose" button
  enum class Creation { refused, allowed } folderCreation = Creation::refused;
};

// The shared workspace: opening URLs, revealing files in Finder, telling Finder that files
// changed, and the Finder metadata of files (custom icons, hidden extensions).
// Main thread; calls block briefly, and only chooseFolder calls back (later, on the main thread).
class Workspace {
 public:
  virtual ~Workspace() = default;

  // Opens a URL in the application that handles its scheme (web pages in the browser);
  // false when nothing could take it.
  virtual bool openUrl(const std::string& url) = 0;
  // Shows the files selected in a Finder window, bringing Finder to the front.
  virtual void activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) = 0;
  // Tells Finder that something at `path` changed, so that it redraws it.
  virtual void noteFileSystemChanged(const std::filesystem::path& path) = 0;
  // Shows the modal open panel for choosing a folder; `chosen` gets the person's folder, or
  // nothing when they cancel or no panel could be shown.
  virtual void chooseFolder(const FolderChoice& choice,
                            std::function<void(std::optional<std::filesystem::path>)> chosen) = 0;

  // Whether the file has a custom icon; nothing when that cannot be read.
  virtual std::optional<bool> hasCustomIcon(const std::filesystem::path& file) = 0;
  // The icon Finder shows for the file; nothing when there is none to give.
  virtual std::optional<Image> iconForFile(const std::filesystem::path& file) = 0;
  // Reads an image file in any format the platform decodes; nothing when it is no image.
  virtual std::optional<Image> loadImage(const std::filesystem::path& file) = 0;
  // Decodes image bytes; nothing when they are no image.
  virtual std::optional<Image> decodeImage(const std::vector<unsigned char>& bytes) = 0;
  // Gives the file `icon` as its custom icon; nothing removes the custom icon.
  virtual bool setCustomIcon(const std::filesystem::path& file,
                             const std::optional<Image>& icon) = 0;
  // Hides or shows the file's name extension; the error is the file system's.
  virtual Status setExtensionVisibility(const std::filesystem::path& file,
                                        ExtensionVisibility visibility) = 0;
};

}  // namespace deskplay::platform
