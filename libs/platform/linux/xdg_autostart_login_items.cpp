#include "platform/linux/xdg_autostart_login_items.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include "common/atomic_file.hpp"
#include "common/system_error.hpp"
#include "common/utf8.hpp"

namespace deskplay::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMainGroup = "[Desktop Entry]";
// Characters that make the session's command-line parser treat an argument specially.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";
constexpr std::string_view kBlank = " \t\r";

bool isAbsoluteSetting(const char* value) {
  return value != nullptr && value[0] == '/';
}

// The escapes of a desktop entry string value; the file holds one value per line.
std::string escapeStringValue(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
    }
  }
  if (!escaped.empty() && escaped.front() == ' ') escaped.replace(0, 1, "\\s");
  return escaped;
}

// A desktop entry holds UTF-8 text, and control characters other than the escaped ones
// have no written form.
bool isWritableInEntry(std::string_view text) {
  return isValidUtf8(text) && std::none_of(text.begin(), text.end(), [](char c) {
           const auto byte = static_cast<unsigned char>(c);
           return (byte < 0x20 && c != '\n' && c != '\t' && c != '\r') || byte == 0x7f;
         });
}

std::string entryText(std::string_view program) {
  std::string text;
  text += kMainGroup;
  text += "\nType=Application\nVersion=1.5\nName=Deskplay\n";
  text += "Exec=" + desktopEntryExec(program) + "\n";
  // The session skips the entry rather than failing at login once the application is gone.
  text += "TryExec=" + escapeStringValue(program) + "\n";
  text += "Terminal=false\nX-GNOME-Autostart-enabled=true\n";
  return text;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

// Booleans as the session reads them; anything else leaves the default.
std::optional<bool> parsedBoolean(const std::optional<std::string>& value) {
  if (value == "true" || value == "1") return true;
  if (value == "false" || value == "0") return false;
  return std::nullopt;
}

// Whether the entry file holds a main group that the user has not disabled; later
// duplicates of a key win, as they do for the session.
bool isEnabledEntry(const fs::path& entry) {
  std::error_code error;
  if (!fs::is_regular_file(entry, error)) return false;
  std::ifstream file(entry);
  bool sawMainGroup = false;
  bool inMainGroup = false;
  std::optional<std::string> hidden;
  std::optional<std::string> autostartEnabled;
  for (std::string raw; std::getline(file, raw);) {
    const std::string_view line = trimmed(raw);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inMainGroup = line == kMainGroup;
      sawMainGroup = sawMainGroup || inMainGroup;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inMainGroup || equals == std::string_view::npos) continue;
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string value(trimmed(line.substr(equals + 1)));
    if (key == "Hidden") hidden = value;
    if (key == "X-GNOME-Autostart-enabled") autostartEnabled = value;
  }
  return sawMainGroup && !parsedBoolean(hidden).value_or(false) &&
         parsedBoolean(autostartEnabled).value_or(true);
}

// Creates the missing folders of `folder`, private to the user as autostart folders are.
Status makeFolders(const fs::path& folder) {
  fs::path partial;
  for (const fs::path& part : folder.lexically_normal()) {
    if (part.empty()) continue;
    partial /= part;
    std::error_code error;
    if (fs::is_directory(partial, error)) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
      return Error{errnoMessage("create folder " + partial.string(), errno)};
    }
  }
  return Status::success();
}

}  // namespace

Result<fs::path> autostartFolder(const char* xdgConfigHome, const char* home) {
  if (isAbsoluteSetting(xdgConfigHome)) return fs::path(xdgConfigHome) / "autostart";
  if (isAbsoluteSetting(home)) return fs::path(home) / ".config" / "autostart";
  return Error{"no autostart folder: neither XDG_CONFIG_HOME nor HOME is an absolute path"};
}

Result<fs::path> defaultAutostartFolder() {
  return autostartFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string desktopEntryExec(std::string_view program) {
  std::string argument;
  for (const char c : program) {
    argument += c;
    // A lone percent sign would start a field code.
    if (c == '%') argument += '%';
  }
  if (argument.find_first_of(kReservedInExec) != std::string::npos) {
    std::string quoted = "\"";
    for (const char c : argument) {
      if (kEscapedInQuotes.find(c) != std::string_view::npos) quoted += '\\';
      quoted += c;
    }
    quoted += '"';
    argument = std::move(quoted);
  }
  return escapeStringValue(argument);
}

XdgAutostartLoginItems::XdgAutostartLoginItems(fs::path executable, fs::path folder)
    : executable_(std::move(executable)),
      folder_(std::move(folder)),
      entry_(folder_ / kEntryName) {}

LoginItems::ServiceStatus XdgAutostartLoginItems::status() {
  return isEnabledEntry(entry_) ? ServiceStatus::enabled : ServiceStatus::notRegistered;
}

Status XdgAutostartLoginItems::registerMainApp() {
  const std::string program = executable_.string();
  if (!isWritableInEntry(program)) {
    return Error{"cannot write a login item for " + replacingInvalidUtf8(program) +
                 ": the path has characters a desktop entry cannot hold"};
  }
  if (Status made = makeFolders(folder_); !made.ok()) return made;
  return replaceFileAtomically(entry_, entryText(program), 0644);
}

Status XdgAutostartLoginItems::unregisterMainApp() {
  if (::unlink(entry_.c_str()) != 0) {
    return Error{errnoMessage("remove login item " + entry_.string(), errno)};
  }
  return Status::success();
}

}  // namespace deskplay::platform
