#include "core/appearance/appearance_restore.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "core/appearance/appearance_reading.hpp"
#include "core/appearance/appearance_scripts.hpp"
#include "core/feedback/tile_layout.hpp"

namespace deskplay::core {

namespace {

namespace scripts = appearance_scripts;
namespace setting = appearance_setting;

// An item just put back on the Desktop reaches Finder a moment later.
constexpr int kItemTries = 20;
constexpr platform::Clock::Seconds kItemTryInterval{0.1};

class Restorer {
 public:
  Restorer(AppearanceServices services, const TouchedSettings& touched)
      : services_(services), touched_(touched) {}

  bool mayPutBack(std::string_view name) const { return !touched_ || touched_->contains(name); }

  // Runs `script` when the value now (`current`) differs from `before`.
  template <class T>
  void putBack(std::string_view name, const std::optional<T>& before,
               const std::optional<T>& current,
               const std::function<std::string(const T&)>& script) {
    if (!before || !mayPutBack(name) || current == before) return;
    run(std::string(name), script(*before));
  }

  void run(const std::string& what, const std::string& script) {
    const platform::ScriptRun done = services_.scripts.run(script);
    if (done.outcome == platform::ScriptRun::Outcome::succeeded) {
      outcome_.putBack.push_back(what);
    } else {
      outcome_.problems.push_back(what + ": " +
                                  done.error.message.value_or(done.error.description));
    }
  }

  void problem(std::string text) { outcome_.problems.push_back(std::move(text)); }
  void putBackDone(std::string what) { outcome_.putBack.push_back(std::move(what)); }
  AppearanceServices& services() { return services_; }
  AppearanceRestore outcome() && { return std::move(outcome_); }

 private:
  AppearanceServices services_;
  const TouchedSettings& touched_;
  AppearanceRestore outcome_;
};

// Writes back the stored settings that differ; true when any did.
bool putBackFinderPreferences(Restorer& restorer, const DesktopAppearance& before) {
  if (!restorer.mayPutBack(setting::kFinderPreferences)) return false;
  platform::Preferences& preferences = restorer.services().preferences;
  const auto current = readFinderPreferences(preferences);
  std::vector<std::string> differing;
  for (const auto& [key, value] : before.finderPreferences) {
    const auto now = current.find(key);
    if (now == current.end() || now->second != value) differing.push_back(key);
  }
  if (differing.empty()) return false;

  const auto stored = preferences.domainValue(kFinderDomain, kDesktopViewSettingsKey);
  const platform::PreferenceDictionary* storedDesktop =
      stored ? stored->get<platform::PreferenceDictionary>() : nullptr;
  const platform::PreferenceDictionary* storedIcons =
      dictionaryIn(storedDesktop, kIconViewSettingsKey);
  platform::PreferenceDictionary desktop =
      storedDesktop ? *storedDesktop : platform::PreferenceDictionary();
  platform::PreferenceDictionary icons =
      storedIcons ? *storedIcons : platform::PreferenceDictionary();
  for (const std::string& key : differing) {
    const std::optional<FinderPreference>& value = before.finderPreferences.at(key);
    if (!value) {
      icons.erase(key);
      continue;
    }
    icons[key] =
        std::visit([](const auto& kept) { return platform::PreferenceValue(kept); }, *value);
  }
  desktop[std::string(kIconViewSettingsKey)] = std::move(icons);
  preferences.setDomainValue(kFinderDomain, kDesktopViewSettingsKey, std::move(desktop));
  if (!preferences.synchronizeDomain(kFinderDomain)) {
    restorer.problem("Finder's stored settings could not be written");
    return false;
  }
  for (const std::string& key : differing) restorer.putBackDone("finderPreferences." + key);
  return true;
}

void putBackIconViewOptions(Restorer& restorer, const DesktopAppearance& before,
                            const DesktopAppearance& now) {
  restorer.putBack<std::int64_t>(setting::kIconSize, before.iconSize, now.iconSize,
                                 scripts::setIconSize);
  restorer.putBack<std::int64_t>(setting::kTextSize, before.textSize, now.textSize,
                                 scripts::setTextSize);
  restorer.putBack<std::string>(
      setting::kLabelPosition, before.labelPosition, now.labelPosition,
      [](const std::string& value) { return scripts::setLabelPosition(value); });
  restorer.putBack<std::string>(
      setting::kArrangement, before.arrangement, now.arrangement,
      [](const std::string& value) { return scripts::setArrangement(value); });
  restorer.putBack<bool>(setting::kShowsItemInfo, before.showsItemInfo, now.showsItemInfo,
                         scripts::setShowsItemInfo);
}

void putBackSystemSettings(Restorer& restorer, const DesktopAppearance& before,
                           const DesktopAppearance& now) {
  restorer.putBack<std::string>(setting::kDesktopPicture, before.desktopPicture, now.desktopPicture,
                                scripts::setDesktopPicture);
  restorer.putBack<bool>(setting::kDockAutohide, before.dockAutohide, now.dockAutohide,
                         scripts::setDockAutohide);
  restorer.putBack<bool>(setting::kMenuBarAutohide, before.menuBarAutohide, now.menuBarAutohide,
                         scripts::setMenuBarAutohide);
}

void putBackPositions(Restorer& restorer, const DesktopAppearance& before,
                      const std::filesystem::path& desktop) {
  AppearanceServices& services = restorer.services();
  // A name that is no longer there (removed or renamed meanwhile) has nothing to put back.
  std::vector<IconPosition> wanted;
  for (const IconPosition& position : before.positions) {
    struct stat status {};
    if (::lstat((desktop / position.name).c_str(), &status) == 0) wanted.push_back(position);
  }
  const auto placeOf = [](const std::vector<IconPosition>& places, const std::string& name) {
    return std::find_if(places.begin(), places.end(),
                        [&name](const IconPosition& place) { return place.name == name; });
  };
  std::vector<IconPosition> places = services.iconPlaces();
  for (int attempt = 1; attempt < kItemTries; ++attempt) {
    const bool allShown = std::all_of(wanted.begin(), wanted.end(), [&](const IconPosition& item) {
      return placeOf(places, item.name) != places.end();
    });
    if (allShown) break;
    services.clock.sleepFor(kItemTryInterval);
    places = services.iconPlaces();
  }
  for (const IconPosition& position : wanted) {
    const auto now = placeOf(places, position.name);
    if (now != places.end() && *now == position) continue;
    restorer.run(
        "position of " + position.name,
        desktopPositionScript({{(desktop / position.name).string(), position.x, position.y}}));
  }
}

}  // namespace

AppearanceRestore putBackDesktopAppearance(AppearanceServices services,
                                           const DesktopAppearance& before,
                                           const std::filesystem::path& desktop,
                                           const TouchedSettings& touched) {
  Restorer restorer(services, touched);
  bool finderUp = awaitFinder(services);
  if (putBackFinderPreferences(restorer, before) && finderUp) {
    // Finder reads its stored settings only when it starts.
    services.scripts.run(std::string(scripts::kQuitFinder));
    services.scripts.run(std::string(scripts::kOpenFinder));
    finderUp = awaitFinder(services);
  }
  DesktopAppearance now;
  readSystemSettings(services.scripts, now);
  if (finderUp) {
    readIconViewOptions(services.scripts, now);
    putBackIconViewOptions(restorer, before, now);
  } else {
    restorer.problem("Finder did not answer; its settings and the icons' places stay as they are");
  }
  putBackSystemSettings(restorer, before, now);
  if (finderUp) putBackPositions(restorer, before, desktop);
  return std::move(restorer).outcome();
}

}  // namespace deskplay::core
