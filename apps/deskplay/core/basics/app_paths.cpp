#include "core/basics/app_paths.hpp"

#include <QDir>
#include <utility>

namespace deskplay::core {

namespace {

std::filesystem::path fromQt(const QString& path) {
  return std::filesystem::path(path.toStdString());
}

}  // namespace

AppPaths AppPaths::forCurrentUser(std::filesystem::path bundle) {
  std::filesystem::path temporary = fromQt(QDir::tempPath());
  // Qt answers nothing when $TMPDIR names a folder that does not exist; logs would then land
  // in whatever the working directory is.
  if (temporary.empty()) temporary = "/tmp";
  return {fromQt(QDir::homePath()), std::move(temporary), std::move(bundle)};
}

std::filesystem::path bundleOfExecutable(const std::filesystem::path& executable) {
  const std::filesystem::path folder = executable.parent_path();
  if (folder.filename() == "MacOS" && folder.parent_path().filename() == "Contents") {
    return folder.parent_path().parent_path();
  }
  return folder;
}

}  // namespace deskplay::core
