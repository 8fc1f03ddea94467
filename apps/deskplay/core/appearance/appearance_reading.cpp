#include "core/appearance/appearance_reading.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <set>
#include <system_error>

#include "common/url_path.hpp"
#include "core/appearance/appearance_scripts.hpp"
#include "core/appearance/appearance_snapshot.hpp"
#include "platform/running_applications.hpp"

namespace deskplay::core {

namespace {

namespace scripts = appearance_scripts;

// Finder answers within a few seconds of being opened.
constexpr int kFinderTries = 20;
constexpr platform::Clock::Seconds kFinderTryInterval{0.5};
// Elements looked at per walk of Finder's accessibility tree at most.
constexpr std::size_t kWalkElementLimit = 5000;

std::optional<platform::ScriptValue> resultOf(platform::ScriptHost& host, std::string_view source) {
  platform::ScriptRun run = host.run(std::string(source));
  if (run.outcome != platform::ScriptRun::Outcome::succeeded) return std::nullopt;
  return std::move(run.result);
}

std::optional<std::int64_t> readInteger(platform::ScriptHost& host, std::string_view source) {
  const auto result = resultOf(host, source);
  if (!result) return std::nullopt;
  return result->int32Value;
}

std::optional<std::string> readText(platform::ScriptHost& host, std::string_view source) {
  const auto result = resultOf(host, source);
  if (!result || !result->stringValue || result->stringValue->empty()) return std::nullopt;
  return result->stringValue;
}

// A boolean comes back as the text "true" or "false", or else as a number.
std::optional<bool> readBoolean(platform::ScriptHost& host, std::string_view source) {
  const auto result = resultOf(host, source);
  if (!result) return std::nullopt;
  if (result->stringValue == "true") return true;
  if (result->stringValue == "false") return false;
  return result->int32Value != 0;
}

std::optional<FinderPreference> preferenceOf(const platform::PreferenceValue& value) {
  if (const auto* flag = value.get<bool>()) return FinderPreference(*flag);
  if (const auto* integer = value.get<std::int64_t>()) return FinderPreference(*integer);
  if (const auto* real = value.get<double>()) return FinderPreference(*real);
  if (const auto* text = value.get<std::string>()) return FinderPreference(*text);
  return std::nullopt;
}

}  // namespace

bool awaitFinder(AppearanceServices services) {
  if (resultOf(services.scripts, scripts::kFinderReady)) return true;
  // Opening a Finder that is already starting changes nothing.
  services.scripts.run(std::string(scripts::kOpenFinder));
  for (int attempt = 0; attempt < kFinderTries; ++attempt) {
    services.clock.sleepFor(kFinderTryInterval);
    if (resultOf(services.scripts, scripts::kFinderReady)) return true;
  }
  return false;
}

const platform::PreferenceDictionary* dictionaryIn(const platform::PreferenceDictionary* dictionary,
                                                   std::string_view key) {
  if (dictionary == nullptr) return nullptr;
  const auto found = dictionary->find(key);
  return found != dictionary->end() ? found->second.get<platform::PreferenceDictionary>() : nullptr;
}

std::map<std::string, std::optional<FinderPreference>> readFinderPreferences(
    platform::Preferences& preferences) {
  // Others (Finder, the property-list tool) write the domain too: read what is stored now.
  preferences.synchronizeDomain(kFinderDomain);
  const auto settings = preferences.domainValue(kFinderDomain, kDesktopViewSettingsKey);
  const platform::PreferenceDictionary* icons = dictionaryIn(
      settings ? settings->get<platform::PreferenceDictionary>() : nullptr, kIconViewSettingsKey);
  std::map<std::string, std::optional<FinderPreference>> stored;
  for (const char* key : kFinderPreferenceKeys) {
    if (icons == nullptr) {
      stored[key] = std::nullopt;
    } else if (const auto found = icons->find(key); found == icons->end()) {
      stored[key] = std::nullopt;
    } else if (auto value = preferenceOf(found->second)) {
      stored[key] = std::move(value);
    }
  }
  return stored;
}

std::vector<std::string> visibleDesktopItems(const std::filesystem::path& desktop) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(desktop, error)) {
    std::string name = entry.path().filename().string();
    if (!name.starts_with('.')) names.push_back(std::move(name));
  }
  return names;
}

std::vector<IconPosition> readDesktopIconPlaces(platform::Accessibility& accessibility,
                                                platform::Windows& windows,
                                                const std::filesystem::path& desktop) {
  std::vector<IconPosition> places;
  const auto finder = platform::applicationProcess(windows, platform::kFinderBundleIdentifier);
  if (!finder) return places;
  const auto application = accessibility.applicationElement(*finder);
  if (!application) return places;
  const auto childrenOf = [&accessibility](platform::AccessibilityElement element) {
    auto children = accessibility.attribute(element, platform::kAXChildren);
    auto* list = std::get_if<std::vector<platform::AccessibilityElement>>(&children);
    return list != nullptr ? std::move(*list) : std::vector<platform::AccessibilityElement>();
  };
  std::deque<platform::AccessibilityElement> queue;
  for (const auto child : childrenOf(*application)) {
    const auto role = accessibility.attribute(child, platform::kAXRole);
    const auto* text = std::get_if<std::string>(&role);
    if (text == nullptr || *text != platform::kAXMenuBarRole) queue.push_back(child);
  }
  std::set<std::string> seen;
  // A Finder window showing a huge folder must not stall the main thread.
  for (std::size_t examined = 0; !queue.empty() && examined < kWalkElementLimit; ++examined) {
    const platform::AccessibilityElement element = queue.front();
    queue.pop_front();
    const auto filename = accessibility.attribute(element, platform::kAXFilename);
    const auto* name = std::get_if<std::string>(&filename);
    if (name == nullptr) {
      for (const auto child : childrenOf(element)) queue.push_back(child);
      continue;
    }
    const auto url = accessibility.attribute(element, platform::kAXURL);
    const auto* link = std::get_if<platform::AccessibilityUrl>(&url);
    const auto path = link != nullptr ? urlPath(link->text) : std::nullopt;
    if (!path || std::filesystem::path(*path) != desktop / *name) continue;
    const auto position = accessibility.attribute(element, platform::kAXPosition);
    const auto size = accessibility.attribute(element, platform::kAXSize);
    const auto* origin = std::get_if<platform::Point>(&position);
    const auto* extent = std::get_if<platform::Size>(&size);
    if (origin == nullptr || extent == nullptr || !seen.insert(*name).second) continue;
    const double x = origin->x + extent->width * 0.5;
    const double y = origin->y + extent->height * 0.5;
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    places.push_back({*name, std::llround(x), std::llround(y)});
  }
  return places;
}

void readIconViewOptions(platform::ScriptHost& host, DesktopAppearance& appearance) {
  appearance.iconSize = readInteger(host, scripts::kIconSize);
  appearance.textSize = readInteger(host, scripts::kTextSize);
  appearance.labelPosition = readText(host, scripts::kLabelPosition);
  appearance.arrangement = readText(host, scripts::kArrangement);
  appearance.showsItemInfo = readBoolean(host, scripts::kShowsItemInfo);
}

void readSystemSettings(platform::ScriptHost& host, DesktopAppearance& appearance) {
  appearance.desktopPicture = readText(host, scripts::kDesktopPicture);
  appearance.dockAutohide = readBoolean(host, scripts::kDockAutohide);
  appearance.menuBarAutohide = readBoolean(host, scripts::kMenuBarAutohide);
}

DesktopAppearance readDesktopAppearance(AppearanceServices services,
                                        const std::vector<std::string>& items) {
  DesktopAppearance appearance;
  // Finder may still be coming back from a relaunch.
  if (awaitFinder(services)) {
    readIconViewOptions(services.scripts, appearance);
    const std::vector<IconPosition> places = services.iconPlaces();
    for (const std::string& name : items) {
      const auto place =
          std::find_if(places.begin(), places.end(),
                       [&name](const IconPosition& icon) { return icon.name == name; });
      if (place != places.end()) appearance.positions.push_back(*place);
    }
  }
  readSystemSettings(services.scripts, appearance);
  appearance.finderPreferences = readFinderPreferences(services.preferences);
  dropUnrecordableValues(appearance);
  return appearance;
}

}  // namespace deskplay::core
