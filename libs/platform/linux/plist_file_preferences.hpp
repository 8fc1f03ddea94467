#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/preferences.hpp"

namespace deskplay::platform {

// User defaults kept as property-list files, as macOS keeps them: the application's own in
// one file, each named domain in "<domain>.plist" in the preferences folder (so Finder's is
// where the property-list editor and the simulated Finder read it). Every read goes to the
// file, so values written by another process are seen at once; every write is a locked
// read-modify-write and an atomic replace, so concurrent writers lose nothing.
class PlistFilePreferences final : public Preferences {
 public:
  PlistFilePreferences(std::filesystem::path defaultsFile, std::filesystem::path domainsFolder);

  std::optional<PreferenceValue> value(std::string_view key) override;
  Status setValue(std::string_view key, const PreferenceValue& value) override;
  Status removeValue(std::string_view key) override;
  std::optional<PreferenceValue> domainValue(std::string_view domain,
                                             std::string_view key) override;
  void setDomainValue(std::string_view domain, std::string_view key,
                      const PreferenceValue& value) override;
  bool synchronizeDomain(std::string_view domain) override;

 private:
  std::filesystem::path defaultsFile_;
  std::filesystem::path domainsFolder_;
  std::map<std::string, PreferenceDictionary, std::less<>> pending_;

  std::optional<std::filesystem::path> domainFile(std::string_view domain) const;
};

// $XDG_CONFIG_HOME/Deskplay/UserDefaults.plist, with ~/.config when that is unset or relative.
std::filesystem::path defaultUserDefaultsFile();
// ~/Library/Preferences, where the domains live.
std::filesystem::path defaultPreferencesFolder();

}  // namespace deskplay::platform
