#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/result.hpp"
#include "platform/login_items.hpp"

namespace deskplay::platform {

// The user's autostart folder: $XDG_CONFIG_HOME/autostart, or $HOME/.config/autostart when
// XDG_CONFIG_HOME is unset, empty or not absolute. The arguments are the two variables'
// values, nullptr when unset. Fails when neither gives an absolute folder.
Result<std::filesystem::path> autostartFolder(const char* xdgConfigHome, const char* home);
// The same from this process's environment.
Result<std::filesystem::path> defaultAutostartFolder();

// The Exec value of a desktop entry that starts `program` without arguments, quoted and
// escaped so that the session passes exactly `program` on.
std::string desktopEntryExec(std::string_view program);

// The application as a login item of the desktop session: an XDG autostart entry in
// `folder` that starts `executable`. The entry counts as registered while it exists and
// the user has not disabled it.
class XdgAutostartLoginItems final : public LoginItems {
 public:
  static constexpr const char* kEntryName = "deskplay.desktop";

  XdgAutostartLoginItems(std::filesystem::path executable, std::filesystem::path folder);

  ServiceStatus status() override;
  // Writes the entry whole or not at all, creating the folder when needed.
  Status registerMainApp() override;
  // Removes the entry, also a disabled one; fails when there is none.
  Status unregisterMainApp() override;

  const std::filesystem::path& entryPath() const { return entry_; }

 private:
  std::filesystem::path executable_;
  std::filesystem::path folder_;
  std::filesystem::path entry_;
};

}  // namespace deskplay::platform
