#include "ui/models/settings_category.hpp"

#include <algorithm>
#include <array>

namespace deskplay::ui {
namespace {

constexpr std::array categories{
    SettingsCategoryInfo{SettingsCategory::account, "account", "Account",
                         "Sign in to keep your seat online", "person.crop.circle.fill"},
    SettingsCategoryInfo{SettingsCategory::general, "general", "General",
                         "Launch at login, game sounds", "gearshape.fill"},
    SettingsCategoryInfo{SettingsCategory::permissions, "permissions", "Permissions",
                         "Accessibility, input monitoring", "lock.shield.fill"},
    SettingsCategoryInfo{SettingsCategory::controls, "controls", "Controls", "Stop hotkey",
                         "keyboard.fill"},
    SettingsCategoryInfo{SettingsCategory::saved, "saved", "Saved Games & Exports",
                         "Where games save your work", "folder.fill"},
    SettingsCategoryInfo{SettingsCategory::multiplayer, "multiplayer", "Multiplayer",
                         "Room server for online play", "person.2.fill"},
    SettingsCategoryInfo{SettingsCategory::desktop, "desktop", "Desktop Safety",
                         "Backup & restore your files", "checkmark.shield.fill"},
};

}  // namespace

std::span<const SettingsCategoryInfo> settingsCategories() {
  return categories;
}

const SettingsCategoryInfo& settingsCategoryInfo(SettingsCategory category) {
  return *std::ranges::find(categories, category, &SettingsCategoryInfo::category);
}

std::optional<SettingsCategory> settingsCategoryNamed(std::string_view name) {
  const auto found = std::ranges::find(categories, name, &SettingsCategoryInfo::name);
  if (found == categories.end()) return std::nullopt;
  return found->category;
}

}  // namespace deskplay::ui
