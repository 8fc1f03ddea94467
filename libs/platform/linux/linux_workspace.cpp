#include "platform/linux/linux_workspace.hpp"

#include <spawn.h>
#include <sys/wait.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/finder_info.hpp"
#include "platform/linux/file_icons.hpp"

extern char** environ;

namespace deskplay::platform {

namespace {

// The largest icon kept; Finder draws none bigger.
constexpr int kLargestIconSide = 512;
// Below this side an icon that still does not fit is given up on.
constexpr int kSmallestIconSide = 16;

bool isWebUrl(const std::string& url) {
  std::string scheme = url.substr(0, url.find(':'));
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return url.find(':') != std::string::npos && (scheme == "http" || scheme == "https");
}

// Runs a program that hands a URL on. It usually passes the page to a running browser and ends
// at once, and then its status says whether anything took the URL; one that keeps running (it
// started the browser itself) is taken to have worked and is reaped in the background.
bool runOpener(const std::vector<std::string>& command) {
  std::vector<char*> arguments;
  for (const std::string& argument : command)
    arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0) {
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t ended = ::waitpid(child, &status, WNOHANG);
    if (ended == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ended < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::thread([child] {
    int status = 0;
    ::waitpid(child, &status, 0);
  }).detach();
  return true;
}

// One command of $BROWSER run by the shell, the URL given as its own argument so that nothing
// in it is read as shell syntax: "%s" stands for the URL, and without one the URL comes last.
std::vector<std::string> browserCommand(std::string command, const std::string& url) {
  const auto placeholder = command.find("%s");
  if (placeholder == std::string::npos) {
    command += " \"$1\"";
  } else {
    command.replace(placeholder, 2, "\"$1\"");
  }
  return {"/bin/sh", "-c", command, "sh", url};
}

// Opens a web page with the browsers that $BROWSER lists (separated by colons, tried in turn
// until one takes the page), as desktop tools agree; without it, with xdg-open.
bool openInBrowser(const std::string& url) {
  const char* browsers = std::getenv("BROWSER");
  if (browsers == nullptr || *browsers == '\0') return runOpener({"xdg-open", url});
  std::string_view remaining(browsers);
  while (!remaining.empty()) {
    const auto colon = remaining.find(':');
    const std::string command(remaining.substr(0, colon));
    remaining = colon == std::string_view::npos ? std::string_view() : remaining.substr(colon + 1);
    if (!command.empty() && runOpener(browserCommand(command, url))) return true;
  }
  return false;
}

std::optional<std::string> encodePng(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG", 0)) return std::nullopt;
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<Image> imageFrom(const QImage& image) {
  if (image.isNull()) return std::nullopt;
  auto png = encodePng(image);
  if (!png) return std::nullopt;
  return Image{std::vector<unsigned char>(png->begin(), png->end()), image.width(), image.height()};
}

QImage decoded(const std::vector<unsigned char>& bytes) {
  return QImage::fromData(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                     static_cast<qsizetype>(bytes.size())));
}

}  // namespace

LinuxWorkspace::LinuxWorkspace(Workspace& desktop) : desktop_(desktop) {}

bool LinuxWorkspace::openUrl(const std::string& url) {
  if (isWebUrl(url)) return openInBrowser(url);
  return desktop_.openUrl(url);
}

void LinuxWorkspace::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
  desktop_.activateFileViewerSelecting(files);
}

void LinuxWorkspace::noteFileSystemChanged(const std::filesystem::path& path) {
  desktop_.noteFileSystemChanged(path);
}

void LinuxWorkspace::chooseFolder(
    const FolderChoice& choice, std::function<void(std::optional<std::filesystem::path>)> chosen) {
  desktop_.chooseFolder(choice, std::move(chosen));
}

std::optional<bool> LinuxWorkspace::hasCustomIcon(const std::filesystem::path& file) {
  return readHasCustomIcon(file);
}

std::optional<Image> LinuxWorkspace::iconForFile(const std::filesystem::path& file) {
  auto png = readCustomIconPng(file);
  if (!png) return std::nullopt;
  return decodeImage(std::vector<unsigned char>(png->begin(), png->end()));
}

std::optional<Image> LinuxWorkspace::loadImage(const std::filesystem::path& file) {
  return imageFrom(QImage(QString::fromStdString(file.string())));
}

std::optional<Image> LinuxWorkspace::decodeImage(const std::vector<unsigned char>& bytes) {
  return imageFrom(decoded(bytes));
}

bool LinuxWorkspace::setCustomIcon(const std::filesystem::path& file,
                                   const std::optional<Image>& icon) {
  std::error_code missing;
  if (!std::filesystem::exists(file, missing)) return false;
  if (!icon) return clearCustomIcon(file).ok();

  const QImage image = decoded(icon->png);
  if (image.isNull()) return false;
  // Extended attributes are small (about 4 KiB on ext4): halve the icon until it fits.
  int side = std::min(kLargestIconSide, std::max(image.width(), image.height()));
  while (true) {
    const QImage scaled =
        std::max(image.width(), image.height()) <= side
            ? image
            : image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (auto png = encodePng(scaled); png && writeCustomIcon(file, *png).ok()) return true;
    if (side <= kSmallestIconSide) break;
    side /= 2;
  }
  return false;
}

Status LinuxWorkspace::setExtensionVisibility(const std::filesystem::path& file,
                                              ExtensionVisibility visibility) {
  return setFinderFlag(file, FinderInfo::kExtensionHidden,
                       visibility == ExtensionVisibility::hidden);
}

}  // namespace deskplay::platform
