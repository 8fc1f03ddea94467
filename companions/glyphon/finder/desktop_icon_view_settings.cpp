#include "finder/desktop_icon_view_settings.hpp"

#include <sstream>

namespace deskplay::glyphon {

namespace {

using platform::PreferenceDictionary;
using platform::PreferenceValue;

// Absent entries and entries of another type both read as an empty dictionary.
PreferenceDictionary dictionaryOrEmpty(const PreferenceValue* value) {
  if (value == nullptr) return {};
  if (const auto* dictionary = value->get<PreferenceDictionary>()) return *dictionary;
  return {};
}

std::string describeValue(const PreferenceValue& value) {
  std::ostringstream text;
  std::visit(
      [&text](const auto& held) {
        using Held = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Held, std::string>) {
          text << held;
        } else if constexpr (std::is_same_v<Held, bool>) {
          text << (held ? "true" : "false");
        } else if constexpr (std::is_same_v<Held, std::int64_t> || std::is_same_v<Held, double>) {
          text << held;
        } else {
          text << "…";
        }
      },
      value.value);
  return text.str();
}

}  // namespace

bool writeDesktopIconViewSettings(platform::Preferences& preferences,
                                  const PreferenceDictionary& settings) {
  const std::optional<PreferenceValue> stored =
      preferences.domainValue(kFinderDomain, kDesktopViewSettingsKey);
  PreferenceDictionary desktop = dictionaryOrEmpty(stored ? &*stored : nullptr);
  const auto iconViewEntry = desktop.find(kIconViewSettingsKey);
  PreferenceDictionary iconView =
      dictionaryOrEmpty(iconViewEntry == desktop.end() ? nullptr : &iconViewEntry->second);
  for (const auto& [key, value] : settings) iconView.insert_or_assign(key, value);
  desktop.insert_or_assign(std::string(kIconViewSettingsKey), std::move(iconView));
  preferences.setDomainValue(kFinderDomain, kDesktopViewSettingsKey, std::move(desktop));
  return preferences.synchronizeDomain(kFinderDomain);
}

std::string describeSettings(const PreferenceDictionary& settings) {
  std::string text;
  for (const auto& [key, value] : settings) {
    if (!text.empty()) text += ", ";
    text += key + "=" + describeValue(value);
  }
  return text;
}

}  // namespace deskplay::glyphon
