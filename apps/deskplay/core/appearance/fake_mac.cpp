#include "core/appearance/fake_mac.hpp"

#include <functional>
#include <regex>
#include <utility>
#include <vector>

#include "core/appearance/appearance_scripts.hpp"

namespace deskplay::testing {

namespace {

namespace scripts = core::appearance_scripts;
using platform::ScriptRun;
using platform::ScriptValue;

ScriptRun text(const std::string& value) {
  return ScriptRun::success(ScriptValue{value, 0, "'utxt'(\"" + value + "\")"});
}

ScriptRun number(std::int64_t value) {
  return ScriptRun::success(
      ScriptValue{std::to_string(value), static_cast<std::int32_t>(value), "'long'"});
}

ScriptRun truth(bool value) {
  return ScriptRun::success(ScriptValue{value ? "true" : "false", value ? 1 : 0, "'bool'"});
}

ScriptRun notRunning() {
  return ScriptRun::runFailure({"Finder got an error: Application isn't running.", -600, ""});
}

// The text after `prefix`, when `source` starts with it.
std::optional<std::string> after(const std::string& source, std::string prefix) {
  if (!source.starts_with(prefix)) return std::nullopt;
  return source.substr(prefix.size());
}

std::string without(std::string script, std::size_t tail) {
  script.resize(script.size() - tail);
  return script;
}

}  // namespace

std::vector<core::IconPosition> FakeMac::places() {
  std::vector<core::IconPosition> shown;
  if (!finderRunning || finderGone) return shown;
  for (const auto& [name, position] : positions) {
    if (auto& misses = unnoticed[name]; misses > 0) {
      --misses;
      continue;
    }
    shown.push_back({name, position.first, position.second});
  }
  return shown;
}

platform::ScriptRun FakeMac::run(const std::string& source) {
  const bool forFinder = source.find("application \"Finder\"") != std::string::npos;
  if (source == scripts::kOpenFinder) {
    if (!finderRunning) {
      finderRunning = true;
      ++launches;
    }
    return ScriptRun::success();
  }
  if (forFinder && (!finderRunning || finderGone)) return notRunning();
  if (source == scripts::kFinderReady) {
    if (launchChecks > 0) {
      --launchChecks;
      return notRunning();
    }
    return text("Macintosh HD");
  }
  if (source == scripts::kQuitFinder) {
    finderRunning = false;
    changes.push_back(source);
    return ScriptRun::success();
  }
  if (source == scripts::kIconSize) return number(iconSize);
  if (source == scripts::kTextSize) return number(textSize);
  if (source == scripts::kLabelPosition) return text(labelPosition);
  if (source == scripts::kArrangement) return text(arrangement);
  if (source == scripts::kShowsItemInfo) return truth(showsItemInfo);
  if (source == scripts::kDesktopPicture) return text(picture);
  if (source == scripts::kDockAutohide) return truth(dockAutohide);
  if (source == scripts::kMenuBarAutohide) return truth(menuBarAutohide);

  changes.push_back(source);
  const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> setters = {
      {without(scripts::setIconSize(0), 1),
       [this](const std::string& v) { iconSize = std::stoll(v); }},
      {without(scripts::setTextSize(0), 1),
       [this](const std::string& v) { textSize = std::stoll(v); }},
      {scripts::setLabelPosition(""), [this](const std::string& v) { labelPosition = v; }},
      {scripts::setArrangement(""), [this](const std::string& v) { arrangement = v; }},
      {without(scripts::setShowsItemInfo(true), 4),
       [this](const std::string& v) { showsItemInfo = v == "true"; }},
      {without(scripts::setDockAutohide(true), 4),
       [this](const std::string& v) { dockAutohide = v == "true"; }},
      {without(scripts::setMenuBarAutohide(true), 4),
       [this](const std::string& v) { menuBarAutohide = v == "true"; }},
      {without(scripts::setDesktopPicture(""), 1),
       [this](const std::string& v) { picture = without(v, 1); }},
  };
  for (const auto& [prefix, set] : setters) {
    if (const auto value = after(source, prefix)) {
      set(*value);
      return ScriptRun::success();
    }
  }
  static const std::regex place(
      R"re(set desktop position of \(POSIX file "([^"]*)" as alias\) to \{(-?\d+), (-?\d+)\})re");
  std::smatch found;
  if (!std::regex_search(source, found, place)) {
    return ScriptRun::compileFailure({"unknown script", -2741, source});
  }
  const std::string name = std::filesystem::path(found[1].str()).filename().string();
  positions[name] = {std::stoll(found[2].str()), std::stoll(found[3].str())};
  return ScriptRun::success();
}

}  // namespace deskplay::testing
