#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/geometry.hpp"

namespace deskplay::simdesk {

enum class ItemKind { file, folder, symbolicLink };

// One icon on the desktop: an entry of $HOME/Desktop and what Finder knows about it.
struct DesktopItem {
  // Unique for the life of the item within one Finder launch; never reused.
  std::uint64_t id = 0;
  std::string name;
  std::filesystem::path path;
  ItemKind kind = ItemKind::file;
  // The icon's centre, in global points with the top-left origin (Finder's `desktop
  // position`).
  platform::Point position;
  int labelIndex = 0;  // 0 none, 1 orange, 2 red, 3 yellow, 4 blue, 5 purple, 6 green, 7 gray
  std::string comment;
  bool extensionHidden = false;
  // The custom icon's PNG from the resource fork, when the custom-icon flag is set.
  std::optional<std::string> customIconPng;
  std::int64_t size = 0;    // bytes (0 for folders)
  double modified = 0;      // seconds since 1970
  double created = 0;       // seconds since 1970 (birth time, else the change time)
  std::int64_t folderEntries = 0;  // visible entries of a folder, for item info
  // The file's device and inode, by which Finder follows an item across a rename.
  std::uint64_t fileId = 0;

  bool isFolder() const { return kind == ItemKind::folder; }
  // The name as Finder shows it: without its extension when that is hidden.
  std::string displayName() const;
  // Finder's `kind`: "Folder", "Alias", or the extension's upper-cased text + " file"
  // ("Document" without one).
  std::string kindName() const;
  // "file:///…" with the path percent-encoded as macOS encodes file URLs, a trailing slash
  // for folders.
  std::string fileUrl() const;
};

// Percent-encodes a path for a file URL: unreserved characters, "/" and the sub-delimiters
// macOS leaves alone stay, every other byte becomes %XX (upper-case hex).
std::string fileUrlForPath(const std::filesystem::path& path, bool directory);

}  // namespace deskplay::simdesk
