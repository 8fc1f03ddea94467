#include "platform/testing/fake_preferences.hpp"

namespace deskplay::platform::testing {

namespace {

std::optional<PreferenceValue> lookUp(const PreferenceDictionary& dictionary,
                                      std::string_view key) {
  auto found = dictionary.find(key);
  if (found == dictionary.end()) return std::nullopt;
  return found->second;
}

}  // namespace

std::optional<PreferenceValue> FakePreferences::value(std::string_view key) {
  return lookUp(defaults_, key);
}

Status FakePreferences::setValue(std::string_view key, const PreferenceValue& value) {
  defaults_.insert_or_assign(std::string(key), value);
  return Status::success();
}

Status FakePreferences::removeValue(std::string_view key) {
  if (auto found = defaults_.find(key); found != defaults_.end()) defaults_.erase(found);
  return Status::success();
}

std::optional<PreferenceValue> FakePreferences::domainValue(std::string_view domain,
                                                            std::string_view key) {
  if (auto pending = pending_.find(domain); pending != pending_.end()) {
    if (auto value = lookUp(pending->second, key)) return value;
  }
  auto stored = stored_.find(domain);
  if (stored == stored_.end()) return std::nullopt;
  return lookUp(stored->second, key);
}

void FakePreferences::setDomainValue(std::string_view domain, std::string_view key,
                                     const PreferenceValue& value) {
  pending_[std::string(domain)].insert_or_assign(std::string(key), value);
}

bool FakePreferences::synchronizeDomain(std::string_view domain) {
  ++synchronizes_;
  if (failSynchronizing_) return false;
  if (auto pending = pending_.find(domain); pending != pending_.end()) {
    for (auto& [key, value] : pending->second) {
      stored_[std::string(domain)].insert_or_assign(key, value);
    }
    pending_.erase(pending);
  }
  return true;
}

void FakePreferences::storeDomainValue(const std::string& domain, const std::string& key,
                                       PreferenceValue value) {
  stored_[domain].insert_or_assign(key, std::move(value));
}

std::optional<PreferenceValue> FakePreferences::storedDomainValue(const std::string& domain,
                                                                  const std::string& key) const {
  auto stored = stored_.find(domain);
  if (stored == stored_.end()) return std::nullopt;
  return lookUp(stored->second, key);
}

}  // namespace deskplay::platform::testing
