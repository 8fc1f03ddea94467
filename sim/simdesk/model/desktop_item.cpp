#include "sim/simdesk/model/desktop_item.hpp"

#include <cctype>

namespace deskplay::simdesk {

namespace {

// The extension Finder hides: the part after the last dot, when that dot is neither first
// nor last.
std::string::size_type extensionDot(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return std::string::npos;
  return dot;
}

bool keptInFileUrl(unsigned char c) {
  if (std::isalnum(c)) return true;
  switch (c) {
    case '-': case '.': case '_': case '~': case '/': case '!': case '$': case '&':
    case '\'': case '(': case ')': case '*': case '+': case ',': case ';': case '=':
    case ':': case '@':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string DesktopItem::displayName() const {
  if (!extensionHidden || kind == ItemKind::folder) return name;
  const auto dot = extensionDot(name);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string DesktopItem::kindName() const {
  if (kind == ItemKind::folder) return "Folder";
  if (kind == ItemKind::symbolicLink) return "Alias";
  const auto dot = extensionDot(name);
  if (dot == std::string::npos) return "Document";
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension + " file";
}

std::string DesktopItem::fileUrl() const { return fileUrlForPath(path, isFolder()); }

std::string fileUrlForPath(const std::filesystem::path& path, bool directory) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (char c : path.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if (keptInFileUrl(byte)) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0x0F];
    }
  }
  if (directory && url.back() != '/') url += '/';
  return url;
}

}  // namespace deskplay::simdesk
