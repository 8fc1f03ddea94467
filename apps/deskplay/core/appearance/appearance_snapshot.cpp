#include "core/appearance/appearance_snapshot.hpp"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

namespace deskplay::core {

namespace {

using nlohmann::json;

// Far beyond any screen or size Finder knows; a larger number is damage, not a setting.
constexpr std::int64_t kLargestCoordinate = 1'000'000;
constexpr std::int64_t kLargestSize = 10'000;
constexpr double kLargestPreferenceNumber = 1e9;

constexpr std::string_view kArrangements[] = {"not arranged",
                                              "snap to grid",
                                              "arranged by name",
                                              "arranged by kind",
                                              "arranged by modification date",
                                              "arranged by creation date",
                                              "arranged by size",
                                              "arranged by label"};

Error damaged(std::string why) {
  return Error{"the desktop snapshot " + std::move(why)};
}

bool holdsNul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

json preferenceJson(const std::optional<FinderPreference>& value) {
  if (!value) return nullptr;
  return std::visit(
      [](const auto& stored) -> json {
        using T = std::decay_t<decltype(stored)>;
        if constexpr (std::is_same_v<T, bool>) return {{"boolean", stored}};
        if constexpr (std::is_same_v<T, std::int64_t>) return {{"integer", stored}};
        if constexpr (std::is_same_v<T, double>) return {{"real", stored}};
        if constexpr (std::is_same_v<T, std::string>) return {{"string", stored}};
      },
      *value);
}

// A field's reading: nothing when it is absent, an error when it is there but wrong.
template <class T>
using Field = Result<std::optional<T>>;

Field<std::int64_t> integerField(const json& object, const char* key, std::int64_t lowest,
                                 std::int64_t highest) {
  const auto found = object.find(key);
  if (found == object.end()) return std::optional<std::int64_t>();
  if (!found->is_number_integer()) {
    return damaged("has a " + std::string(key) + " that is no whole number");
  }
  // Unsigned values beyond the signed range would wrap round when read as signed.
  const bool tooLarge = found->is_number_unsigned() &&
                        found->get<std::uint64_t>() > static_cast<std::uint64_t>(highest);
  if (tooLarge || found->get<std::int64_t>() < lowest || found->get<std::int64_t>() > highest) {
    return damaged("has a " + std::string(key) + " out of range");
  }
  return std::optional<std::int64_t>(found->get<std::int64_t>());
}

Field<bool> booleanField(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end()) return std::optional<bool>();
  if (!found->is_boolean()) return damaged("has a " + std::string(key) + " that is no boolean");
  return std::optional<bool>(found->get<bool>());
}

Field<std::string> textField(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end()) return std::optional<std::string>();
  if (!found->is_string() || found->get_ref<const std::string&>().empty() ||
      holdsNul(found->get_ref<const std::string&>())) {
    return damaged("has a " + std::string(key) + " that is no text");
  }
  return std::optional<std::string>(found->get<std::string>());
}

Result<std::optional<FinderPreference>> preferenceFrom(const std::string& key, const json& value) {
  if (value.is_null()) return std::optional<FinderPreference>();
  const Error wrong = damaged("has a Finder preference " + key + " of no known type");
  if (!value.is_object() || value.size() != 1) return wrong;
  const std::string& type = value.begin().key();
  const json& stored = value.begin().value();
  if (type == "boolean" && stored.is_boolean()) {
    return std::optional<FinderPreference>(stored.get<bool>());
  }
  if (type == "integer" && stored.is_number_integer()) {
    const auto number = stored.get<double>();
    if (std::abs(number) > kLargestPreferenceNumber) return wrong;
    return std::optional<FinderPreference>(stored.get<std::int64_t>());
  }
  if (type == "real" && stored.is_number()) {
    const auto number = stored.get<double>();
    if (!std::isfinite(number) || std::abs(number) > kLargestPreferenceNumber) return wrong;
    return std::optional<FinderPreference>(number);
  }
  if (type == "string" && stored.is_string() && !holdsNul(stored.get_ref<const std::string&>())) {
    return std::optional<FinderPreference>(stored.get<std::string>());
  }
  return wrong;
}

bool isItemName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         !holdsNul(name);
}

}  // namespace

std::string encodeAppearanceSnapshot(const DesktopAppearance& appearance) {
  json snapshot{{"version", kAppearanceSnapshotVersion}};
  if (appearance.iconSize) snapshot["iconSize"] = *appearance.iconSize;
  if (appearance.textSize) snapshot["textSize"] = *appearance.textSize;
  if (appearance.labelPosition) snapshot["labelPosition"] = *appearance.labelPosition;
  if (appearance.arrangement) snapshot["arrangement"] = *appearance.arrangement;
  if (appearance.showsItemInfo) snapshot["showsItemInfo"] = *appearance.showsItemInfo;
  if (appearance.desktopPicture) snapshot["desktopPicture"] = *appearance.desktopPicture;
  if (appearance.dockAutohide) snapshot["dockAutohide"] = *appearance.dockAutohide;
  if (appearance.menuBarAutohide) snapshot["menuBarAutohide"] = *appearance.menuBarAutohide;
  json preferences = json::object();
  for (const auto& [key, value] : appearance.finderPreferences) {
    preferences[key] = preferenceJson(value);
  }
  snapshot["finderPreferences"] = std::move(preferences);
  json positions = json::array();
  for (const IconPosition& position : appearance.positions) {
    positions.push_back({{"name", position.name}, {"x", position.x}, {"y", position.y}});
  }
  snapshot["positions"] = std::move(positions);
  return snapshot.dump() + "\n";
}

Result<DesktopAppearance> decodeAppearanceSnapshot(std::string_view text) {
  // The parser would take a NUL for the end of the text and accept whatever came before it.
  if (text.find('\0') != std::string_view::npos) return damaged("holds a NUL byte");
  const json snapshot = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!snapshot.is_object()) return damaged("is not a JSON object");
  const auto version = snapshot.find("version");
  if (version == snapshot.end() || !version->is_number_integer()) {
    return damaged("has no version");
  }
  if (version->get<double>() != kAppearanceSnapshotVersion) {
    return damaged("has version " + version->dump() + ", which this version does not know");
  }

  DesktopAppearance appearance;
  std::optional<Error> failure;
  const auto take = [&failure](auto field, auto& into) {
    if (failure) return;
    if (!field.ok()) {
      failure = field.error();
    } else {
      into = std::move(field).value();
    }
  };
  take(integerField(snapshot, "iconSize", 1, kLargestSize), appearance.iconSize);
  take(integerField(snapshot, "textSize", 1, kLargestSize), appearance.textSize);
  take(textField(snapshot, "labelPosition"), appearance.labelPosition);
  take(textField(snapshot, "arrangement"), appearance.arrangement);
  take(booleanField(snapshot, "showsItemInfo"), appearance.showsItemInfo);
  take(textField(snapshot, "desktopPicture"), appearance.desktopPicture);
  take(booleanField(snapshot, "dockAutohide"), appearance.dockAutohide);
  take(booleanField(snapshot, "menuBarAutohide"), appearance.menuBarAutohide);
  if (failure) return *failure;
  if (appearance.labelPosition && *appearance.labelPosition != "bottom" &&
      *appearance.labelPosition != "right") {
    return damaged("has an unknown label position");
  }
  if (appearance.arrangement && std::find(std::begin(kArrangements), std::end(kArrangements),
                                          *appearance.arrangement) == std::end(kArrangements)) {
    return damaged("has an unknown arrangement");
  }

  const auto preferences = snapshot.find("finderPreferences");
  if (preferences == snapshot.end() || !preferences->is_object()) {
    return damaged("has no Finder preferences");
  }
  for (const char* key : kFinderPreferenceKeys) {
    const auto stored = preferences->find(key);
    if (stored == preferences->end()) continue;
    auto value = preferenceFrom(key, *stored);
    if (!value.ok()) return value.error();
    appearance.finderPreferences[key] = std::move(value).value();
  }

  const auto positions = snapshot.find("positions");
  if (positions == snapshot.end() || !positions->is_array()) {
    return damaged("has no positions");
  }
  std::set<std::string> names;
  for (const json& entry : *positions) {
    if (!entry.is_object()) return damaged("has a position that is no object");
    std::optional<std::string> name;
    std::optional<std::int64_t> x;
    std::optional<std::int64_t> y;
    take(textField(entry, "name"), name);
    take(integerField(entry, "x", -kLargestCoordinate, kLargestCoordinate), x);
    take(integerField(entry, "y", -kLargestCoordinate, kLargestCoordinate), y);
    if (failure) return *failure;
    if (!name || !x || !y) return damaged("has an incomplete position");
    if (!isItemName(*name)) return damaged("has a position of no item name");
    if (!names.insert(*name).second) return damaged("has two positions of one name");
    appearance.positions.push_back({*name, *x, *y});
  }
  return appearance;
}

}  // namespace deskplay::core

namespace deskplay::core {

namespace {

// Whether a snapshot holding `part` alone reads back.
bool recordable(const DesktopAppearance& part) {
  return decodeAppearanceSnapshot(encodeAppearanceSnapshot(part)).ok();
}

template <class T>
void dropUnlessRecordable(std::optional<T> DesktopAppearance::*field, DesktopAppearance& whole) {
  DesktopAppearance part;
  part.*field = whole.*field;
  if (!recordable(part)) (whole.*field).reset();
}

}  // namespace

void dropUnrecordableValues(DesktopAppearance& appearance) {
  dropUnlessRecordable(&DesktopAppearance::iconSize, appearance);
  dropUnlessRecordable(&DesktopAppearance::textSize, appearance);
  dropUnlessRecordable(&DesktopAppearance::labelPosition, appearance);
  dropUnlessRecordable(&DesktopAppearance::arrangement, appearance);
  dropUnlessRecordable(&DesktopAppearance::showsItemInfo, appearance);
  dropUnlessRecordable(&DesktopAppearance::desktopPicture, appearance);
  dropUnlessRecordable(&DesktopAppearance::dockAutohide, appearance);
  dropUnlessRecordable(&DesktopAppearance::menuBarAutohide, appearance);
  std::erase_if(appearance.finderPreferences, [](const auto& entry) {
    DesktopAppearance part;
    part.finderPreferences.insert(entry);
    return !recordable(part);
  });
  std::set<std::string> names;
  std::erase_if(appearance.positions, [&names](const IconPosition& position) {
    DesktopAppearance part;
    part.positions.push_back(position);
    return !recordable(part) || !names.insert(position.name).second;
  });
}

}  // namespace deskplay::core
