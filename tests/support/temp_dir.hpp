#pragma once

#include <filesystem>
#include <string>

namespace deskplay::testing {

// A fresh directory under the build's temporary folder, removed with everything in it.
class TempDir {
 public:
  // `parent` defaults to $TMPDIR or /tmp.
  explicit TempDir(const std::filesystem::path& parent = {});
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Writes `content` to `path`, replacing what was there.
void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);

}  // namespace deskplay::testing
