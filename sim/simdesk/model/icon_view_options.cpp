#include "sim/simdesk/model/icon_view_options.hpp"

#include <plist/plist.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "plist_files/plist_file.hpp"
#include "plist_files/plist_values.hpp"

namespace deskplay::simdesk {

namespace {

struct ArrangementNames {
  Arrangement arrangement;
  std::string_view constant;
  std::string_view preference;
};

constexpr std::array<ArrangementNames, 8> kArrangements{{
    {Arrangement::notArranged, "not arranged", "none"},
    {Arrangement::snapToGrid, "snap to grid", "grid"},
    {Arrangement::byName, "arranged by name", "name"},
    {Arrangement::byKind, "arranged by kind", "kind"},
    {Arrangement::byDateModified, "arranged by modification date", "dateModified"},
    {Arrangement::byDateCreated, "arranged by creation date", "dateCreated"},
    {Arrangement::bySize, "arranged by size", "size"},
    {Arrangement::byLabel, "arranged by label", "label"},
}};

std::optional<double> numberOf(plist_t node) {
  if (node == nullptr) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      if (!std::isfinite(value)) return std::nullopt;
      return value;
    }
    case PLIST_UINT:
      return static_cast<double>(plist::integerValue(node));
    default:
      return std::nullopt;
  }
}

std::optional<bool> boolOf(plist_t node) {
  if (node == nullptr) return std::nullopt;
  if (plist_get_node_type(node) == PLIST_BOOLEAN) {
    std::uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
  }
  // Preferences written as numbers still read as booleans, as CFPreferences does.
  if (auto number = numberOf(node)) return *number != 0;
  return std::nullopt;
}

long long toInteger(double value) {
  return static_cast<long long>(std::clamp(std::round(value), -1e9, 1e9));
}

}  // namespace

int clampIconSize(long long size) {
  return static_cast<int>(
      std::clamp<long long>(size, IconViewOptions::kMinIconSize, IconViewOptions::kMaxIconSize));
}

int clampTextSize(long long size) { return static_cast<int>(std::clamp<long long>(size, 10, 16)); }

std::string_view arrangementConstant(Arrangement arrangement) {
  for (const auto& names : kArrangements) {
    if (names.arrangement == arrangement) return names.constant;
  }
  return "not arranged";
}

std::optional<Arrangement> arrangementFromConstant(std::string_view constant) {
  for (const auto& names : kArrangements) {
    if (names.constant == constant) return names.arrangement;
  }
  return std::nullopt;
}

std::string_view arrangementPreference(Arrangement arrangement) {
  for (const auto& names : kArrangements) {
    if (names.arrangement == arrangement) return names.preference;
  }
  return "none";
}

std::optional<Arrangement> arrangementFromPreference(std::string_view value) {
  for (const auto& names : kArrangements) {
    if (names.preference == value) return names.arrangement;
  }
  return std::nullopt;
}

std::string_view labelPositionConstant(LabelPosition position) {
  return position == LabelPosition::right ? "right" : "bottom";
}

std::filesystem::path finderPreferencesFile(const std::filesystem::path& home) {
  return home / "Library" / "Preferences" / "com.apple.finder.plist";
}

IconViewOptions readDesktopIconViewOptions(const std::filesystem::path& preferencesFile) {
  IconViewOptions options;
  auto document = plist::readPlistFile(preferencesFile);
  if (!document.ok() || !document.value()) return options;
  plist_t root = document.value()->root.get();
  if (plist_get_node_type(root) != PLIST_DICT) return options;
  plist_t desktop = plist_dict_get_item(root, "DesktopViewSettings");
  if (desktop == nullptr || plist_get_node_type(desktop) != PLIST_DICT) return options;
  plist_t icons = plist_dict_get_item(desktop, "IconViewSettings");
  if (icons == nullptr || plist_get_node_type(icons) != PLIST_DICT) return options;
  auto item = [icons](const char* key) { return plist_dict_get_item(icons, key); };

  if (auto size = numberOf(item("iconSize"))) options.iconSize = clampIconSize(toInteger(*size));
  if (auto size = numberOf(item("textSize"))) options.textSize = clampTextSize(toInteger(*size));
  if (auto spacing = numberOf(item("gridSpacing"))) {
    options.gridSpacing = std::clamp(*spacing, 1.0, 100.0);
  }
  if (auto onBottom = boolOf(item("labelOnBottom"))) {
    options.labelPosition = *onBottom ? LabelPosition::bottom : LabelPosition::right;
  }
  if (plist_t arrangeBy = item("arrangeBy");
      arrangeBy != nullptr && plist_get_node_type(arrangeBy) == PLIST_STRING) {
    if (auto arrangement = arrangementFromPreference(plist::stringValue(arrangeBy))) {
      options.arrangement = *arrangement;
    }
  }
  if (auto shows = boolOf(item("showItemInfo"))) options.showsItemInfo = *shows;
  if (auto shows = boolOf(item("showIconPreview"))) options.showsIconPreview = *shows;
  // backgroundType 1 is a colour; 0 (the default) lets the desktop picture show.
  if (auto type = numberOf(item("backgroundType")); type && toInteger(*type) == 1) {
    auto channel = [&](const char* key) {
      return std::clamp(numberOf(item(key)).value_or(1.0), 0.0, 1.0);
    };
    options.backgroundColor = platform::Color{channel("backgroundColorRed"),
                                              channel("backgroundColorGreen"),
                                              channel("backgroundColorBlue"), 1.0};
  }
  return options;
}

}  // namespace deskplay::simdesk
