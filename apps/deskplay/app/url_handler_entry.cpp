#include "app/url_handler_entry.hpp"

#include <system_error>

#include "common/atomic_file.hpp"
#include "platform/linux/xdg_autostart_login_items.hpp"

namespace deskplay::app {

namespace fs = std::filesystem;

Result<fs::path> userApplicationsFolder(const QProcessEnvironment& environment) {
  const QString dataHome = environment.value("XDG_DATA_HOME");
  if (dataHome.startsWith('/')) return fs::path(dataHome.toStdString()) / "applications";
  const QString home = environment.value("HOME");
  if (home.startsWith('/')) return fs::path(home.toStdString()) / ".local/share/applications";
  return Error{"no applications folder: neither XDG_DATA_HOME nor HOME is an absolute path"};
}

std::string urlHandlerEntry(const fs::path& executable) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.5\n"
         "Name=Deskplay\n"
         "Comment=Finishes signing in to Deskplay's room server\n"
         "Exec=" +
         platform::desktopEntryExec(executable.string()) +
         " URL %u\n"
         "Terminal=false\n"
         "NoDisplay=true\n"
         "MimeType=x-scheme-handler/deskplay;\n";
}

Result<fs::path> installUrlHandler(const fs::path& executable,
                                   const QProcessEnvironment& environment) {
  const auto folder = userApplicationsFolder(environment);
  if (!folder.ok()) return folder.error();
  std::error_code error;
  fs::create_directories(folder.value(), error);
  if (error) {
    return Error{"cannot create " + folder.value().string() + ": " + error.message()};
  }
  const fs::path entry = folder.value() / kUrlHandlerEntryName;
  const Status written = replaceFileAtomically(entry, urlHandlerEntry(executable));
  if (!written.ok()) return Error{"cannot write " + entry.string() + ": " + written.message()};
  return entry;
}

}  // namespace deskplay::app
