#include "platform/testing/fake_workspace.hpp"

#include <algorithm>
#include <array>

namespace deskplay::platform::testing {

namespace {

constexpr std::array<unsigned char, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                        '\r', '\n', 0x1A, '\n'};

int bigEndian32(const std::vector<unsigned char>& bytes, std::size_t at) {
  return static_cast<int>((static_cast<unsigned>(bytes[at]) << 24) |
                          (static_cast<unsigned>(bytes[at + 1]) << 16) |
                          (static_cast<unsigned>(bytes[at + 2]) << 8) | bytes[at + 3]);
}

}  // namespace

bool FakeWorkspace::openUrl(const std::string& url) {
  if (refuseUrls_) return false;
  openedUrls_.push_back(url);
  return true;
}

void FakeWorkspace::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
  reveals_.push_back(files);
}

void FakeWorkspace::noteFileSystemChanged(const std::filesystem::path& path) {
  changes_.push_back(path);
}

std::optional<bool> FakeWorkspace::hasCustomIcon(const std::filesystem::path& file) {
  if (std::find(unreadable_.begin(), unreadable_.end(), file) != unreadable_.end()) {
    return std::nullopt;
  }
  return customIcons_.count(file) != 0;
}

std::optional<Image> FakeWorkspace::iconForFile(const std::filesystem::path& file) {
  return customIcon(file);
}

std::optional<Image> FakeWorkspace::loadImage(const std::filesystem::path& file) {
  auto found = imageFiles_.find(file);
  if (found == imageFiles_.end()) return std::nullopt;
  return found->second;
}

std::optional<Image> FakeWorkspace::decodeImage(const std::vector<unsigned char>& bytes) {
  // Signature, then the IHDR chunk's length and type, then width and height.
  if (bytes.size() < 24 || !std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin())) {
    return std::nullopt;
  }
  return Image{bytes, bigEndian32(bytes, 16), bigEndian32(bytes, 20)};
}

bool FakeWorkspace::setCustomIcon(const std::filesystem::path& file,
                                  const std::optional<Image>& icon) {
  if (failCustomIcons_) return false;
  if (icon) {
    customIcons_.insert_or_assign(file, *icon);
  } else {
    customIcons_.erase(file);
  }
  return true;
}

Status FakeWorkspace::setExtensionVisibility(const std::filesystem::path& file,
                                             ExtensionVisibility visibility) {
  if (extensionFailure_) {
    Error failure{*extensionFailure_};
    extensionFailure_.reset();
    return failure;
  }
  extensions_.insert_or_assign(file, visibility);
  return Status::success();
}

void FakeWorkspace::setImageFile(const std::filesystem::path& file, Image image) {
  imageFiles_.insert_or_assign(file, std::move(image));
}

std::optional<Image> FakeWorkspace::customIcon(const std::filesystem::path& file) const {
  auto found = customIcons_.find(file);
  if (found == customIcons_.end()) return std::nullopt;
  return found->second;
}

std::optional<ExtensionVisibility> FakeWorkspace::extensionVisibility(
    const std::filesystem::path& file) const {
  auto found = extensions_.find(file);
  if (found == extensions_.end()) return std::nullopt;
  return found->second;
}

void FakeWorkspace::chooseFolder(const FolderChoice& choice,
                                 std::function<void(std::optional<std::filesystem::path>)> chosen) {
  panels_.push_back({choice, std::move(chosen)});
}

bool FakeWorkspace::answerOpenPanel(std::optional<std::filesystem::path> folder) {
  if (panels_.empty()) return false;
  Panel panel = std::move(panels_.front());
  panels_.pop_front();
  if (panel.chosen) panel.chosen(std::move(folder));
  return true;
}

std::vector<FolderChoice> FakeWorkspace::openPanels() const {
  std::vector<FolderChoice> choices;
  for (const Panel& panel : panels_) choices.push_back(panel.choice);
  return choices;
}

}  // namespace deskplay::platform::testing
