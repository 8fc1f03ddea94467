#include "platform/linux/plist_file_preferences.hpp"

#include <cstdlib>
#include <system_error>

#include "platform/linux/preference_plist.hpp"
#include "plist_files/plist_file.hpp"

namespace deskplay::platform {

namespace {

using plist::PlistDocument;
using plist::PlistFormat;
using plist::PlistNode;

// The value under `key` of the dictionary stored in `file`; nothing when the file, the key
// or a dictionary at the top is missing, or the file cannot be read.
std::optional<PreferenceValue> readKey(const std::filesystem::path& file, std::string_view key) {
  auto document = plist::readPlistFile(file);
  if (!document.ok() || !document.value()) return std::nullopt;
  plist_t root = document.value()->root.get();
  if (plist_get_node_type(root) != PLIST_DICT) return std::nullopt;
  const std::string name(key);
  plist_t item = plist_dict_get_item(root, name.c_str());
  if (item == nullptr) return std::nullopt;
  return preferenceFromPlist(item);
}

// Applies `changes` (a value, or nothing to remove the key) to the dictionary in `file` under
// the folder's lock. A file that exists but is no dictionary plist is left alone: replacing it
// would throw away whatever it holds.
Status updateKeys(
    const std::filesystem::path& file,
    const std::map<std::string, std::optional<PreferenceValue>, std::less<>>& changes) {
  const std::filesystem::path folder = file.parent_path();
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  auto lock = plist::PlistFolderLock::acquire(folder);
  if (!lock.ok()) return lock.error();

  auto read = plist::readPlistFile(file);
  if (!read.ok()) return read.error();
  PlistDocument document = read.value()
                               ? std::move(*read.value())
                               : PlistDocument{PlistNode(plist_new_dict()), PlistFormat::xml};
  plist_t root = document.root.get();
  if (plist_get_node_type(root) != PLIST_DICT) return Error{file.string() + ": not a dictionary"};

  bool changed = false;
  for (const auto& [key, value] : changes) {
    if (value) {
      plist_dict_set_item(root, key.c_str(), plistFromPreference(*value).release());
      changed = true;
    } else if (plist_dict_get_item(root, key.c_str()) != nullptr) {
      plist_dict_remove_item(root, key.c_str());
      changed = true;
    }
  }
  if (!changed) return Status::success();
  return plist::writePlistFile(file, root, document.format);
}

std::filesystem::path homeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr && *home != '\0' ? std::filesystem::path(home)
                                          : std::filesystem::path("/");
}

}  // namespace

PlistFilePreferences::PlistFilePreferences(std::filesystem::path defaultsFile,
                                           std::filesystem::path domainsFolder)
    : defaultsFile_(std::move(defaultsFile)), domainsFolder_(std::move(domainsFolder)) {}

std::optional<PreferenceValue> PlistFilePreferences::value(std::string_view key) {
  return readKey(defaultsFile_, key);
}

Status PlistFilePreferences::setValue(std::string_view key, const PreferenceValue& value) {
  return updateKeys(defaultsFile_, {{std::string(key), value}});
}

Status PlistFilePreferences::removeValue(std::string_view key) {
  return updateKeys(defaultsFile_, {{std::string(key), std::nullopt}});
}

std::optional<PreferenceValue> PlistFilePreferences::domainValue(std::string_view domain,
                                                                 std::string_view key) {
  if (auto pending = pending_.find(domain); pending != pending_.end()) {
    if (auto found = pending->second.find(key); found != pending->second.end()) {
      return found->second;
    }
  }
  const auto file = domainFile(domain);
  if (!file) return std::nullopt;
  return readKey(*file, key);
}

void PlistFilePreferences::setDomainValue(std::string_view domain, std::string_view key,
                                          const PreferenceValue& value) {
  pending_[std::string(domain)].insert_or_assign(std::string(key), value);
}

bool PlistFilePreferences::synchronizeDomain(std::string_view domain) {
  const auto file = domainFile(domain);
  if (!file) return false;
  auto pending = pending_.find(domain);
  if (pending == pending_.end()) return true;
  std::map<std::string, std::optional<PreferenceValue>, std::less<>> changes;
  for (const auto& [key, value] : pending->second) changes.emplace(key, value);
  if (!updateKeys(*file, changes).ok()) return false;
  pending_.erase(pending);
  return true;
}

std::optional<std::filesystem::path> PlistFilePreferences::domainFile(
    std::string_view domain) const {
  // A domain names a file in the folder, never a path out of it.
  if (domain.empty() || domain.front() == '.' || domain.find('/') != std::string_view::npos ||
      domain.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  return domainsFolder_ / (std::string(domain) + ".plist");
}

std::filesystem::path defaultUserDefaultsFile() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path folder = configHome != nullptr ? std::filesystem::path(configHome) : "";
  if (!folder.is_absolute()) folder = homeFolder() / ".config";
  return folder / "Deskplay" / "UserDefaults.plist";
}

std::filesystem::path defaultPreferencesFolder() {
  return homeFolder() / "Library" / "Preferences";
}

}  // namespace deskplay::platform
