#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace deskplay::ui {

// The panes of the settings, in the order the settings menu lists them.
enum class SettingsCategory {
  account,
  general,
  permissions,
  controls,
  saved,
  multiplayer,
  desktop
};

// How the settings menu shows one category; `name` is its identifier.
struct SettingsCategoryInfo {
  SettingsCategory category;
  std::string_view name;
  std::string_view title;
  std::string_view subtitle;
  std::string_view symbol;
};

// Every category, in menu order.
std::span<const SettingsCategoryInfo> settingsCategories();
const SettingsCategoryInfo& settingsCategoryInfo(SettingsCategory category);
// The category with that identifier ("account", "general", …), exactly.
std::optional<SettingsCategory> settingsCategoryNamed(std::string_view name);

}  // namespace deskplay::ui
