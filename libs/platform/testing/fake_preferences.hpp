#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/preferences.hpp"

namespace deskplay::platform::testing {

// User defaults and domains in memory. Domain writes wait for a synchronisation, which the
// test can make fail; what a synchronisation stored is readable as the domain's stored state.
class FakePreferences final : public Preferences {
 public:
  std::optional<PreferenceValue> value(std::string_view key) override;
  Status setValue(std::string_view key, const PreferenceValue& value) override;
  Status removeValue(std::string_view key) override;
  std::optional<PreferenceValue> domainValue(std::string_view domain,
                                             std::string_view key) override;
  void setDomainValue(std::string_view domain, std::string_view key,
                      const PreferenceValue& value) override;
  bool synchronizeDomain(std::string_view domain) override;

  // Puts a value into a domain's store, as another process would.
  void storeDomainValue(const std::string& domain, const std::string& key, PreferenceValue value);
  std::optional<PreferenceValue> storedDomainValue(const std::string& domain,
                                                   const std::string& key) const;
  void failSynchronizing(bool failing) { failSynchronizing_ = failing; }
  int synchronizeCount() const { return synchronizes_; }
  const PreferenceDictionary& defaults() const { return defaults_; }

 private:
  PreferenceDictionary defaults_;
  std::map<std::string, PreferenceDictionary, std::less<>> stored_;
  std::map<std::string, PreferenceDictionary, std::less<>> pending_;
  bool failSynchronizing_ = false;
  int synchronizes_ = 0;
};

}  // namespace deskplay::platform::testing
