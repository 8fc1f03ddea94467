#include <string>

#include "sim/simdesk/model/simulated_desktop.hpp"

namespace deskplay::simdesk {

namespace {

using nlohmann::json;

json rectJson(const platform::Rect& rect) {
  return {
      {"x", rect.origin.x}, {"y", rect.origin.y}, {"w", rect.size.width}, {"h", rect.size.height}};
}

json colorJson(const platform::Color& color) {
  return {{"red", color.red}, {"green", color.green}, {"blue", color.blue}, {"alpha", color.alpha}};
}

std::string_view stateName(FinderState state) {
  switch (state) {
    case FinderState::running:
      return "running";
    case FinderState::launching:
      return "launching";
    case FinderState::notRunning:
      return "notRunning";
  }
  return "notRunning";
}

std::string_view kindName(ItemKind kind) {
  switch (kind) {
    case ItemKind::file:
      return "file";
    case ItemKind::folder:
      return "folder";
    case ItemKind::symbolicLink:
      return "symbolicLink";
  }
  return "file";
}

json screensJson(Screens& screens) {
  json list = json::array();
  for (const platform::Screen& screen : screens.screens()) {
    list.push_back(
        {{"frame", rectJson(screen.frame)}, {"visibleFrame", rectJson(screen.visibleFrame)}});
  }
  return list;
}

json finderJson(Finder& finder) {
  const IconViewOptions& options = finder.iconViewOptions();
  json items = json::array();
  for (const auto& [id, item] : finder.items()) {
    const platform::Rect icon = finder.iconFrame(item);
    json entry{{"id", id},
               {"name", item.name},
               {"path", item.path.string()},
               {"kind", kindName(item.kind)},
               {"position", {{"x", item.position.x}, {"y", item.position.y}}},
               {"iconFrame", rectJson(icon)},
               {"labelIndex", item.labelIndex},
               {"comment", item.comment},
               {"extensionHidden", item.extensionHidden},
               {"hasCustomIcon", item.customIconPng.has_value()}};
    items.push_back(std::move(entry));
  }
  json windows = json::array();
  for (const FinderWindow& window : finder.windows()) {
    json selection = json::array();
    for (const auto& path : window.selection) selection.push_back(path.string());
    windows.push_back({{"number", window.number},
                       {"target", window.target.string()},
                       {"selection", std::move(selection)}});
  }
  json view{{"iconSize", options.iconSize},
            {"textSize", options.textSize},
            {"labelPosition", labelPositionConstant(options.labelPosition)},
            {"arrangement", arrangementConstant(options.arrangement)},
            {"showsItemInfo", options.showsItemInfo},
            {"showsIconPreview", options.showsIconPreview},
            {"gridSpacing", options.gridSpacing}};
  if (options.backgroundColor) view["backgroundColor"] = colorJson(*options.backgroundColor);
  json result{{"state", stateName(finder.state())},
              {"launchCount", finder.launchCount()},
              {"desktopFolder", finder.desktopFolder().string()},
              {"iconViewOptions", std::move(view)},
              {"items", std::move(items)},
              {"windows", std::move(windows)}};
  if (auto pid = finder.pid()) result["pid"] = *pid;
  return result;
}

json windowsJson(WindowServer& server, Screens& screens) {
  json list = json::array();
  for (const SimWindow* window : server.onScreenOrder()) {
    json entry{{"number", window->number},
               {"owner", window->owner},
               {"role", windowRoleName(window->role)},
               {"level", window->traits.level},
               {"frame", rectJson(window->frame)},
               {"bounds", rectJson(screens.toTopLeft(window->frame))},
               {"title", window->title},
               {"opaque", window->traits.opaque},
               {"ignoresMouseEvents", window->traits.ignoresMouseEvents},
               {"alpha", window->alpha},
               {"key", server.keyWindow() == window->number}};
    if (window->traits.background) entry["background"] = colorJson(*window->traits.background);
    if (window->role == WindowRole::statusPanel) {
      const auto& content = window->statusContent;
      entry["status"] = {{"text", content.text},
                         {"accessibilityLabel", content.accessibilityLabel},
                         {"labelFrame", rectJson(content.labelFrame)},
                         {"spinnerFrame", rectJson(content.spinnerFrame)},
                         {"spinnerVisible", content.spinnerVisible},
                         {"spinnerAnimating", content.spinnerAnimating}};
    }
    list.push_back(std::move(entry));
  }
  return list;
}

json openPanelJson(const OpenPanels& panels) {
  const OpenPanel* panel = panels.shown();
  if (panel == nullptr) return nullptr;
  json folders = json::array();
  for (const std::string& name : panel->folders) folders.push_back(name);
  json entry{{"id", panel->id},
             {"owner", panel->owner},
             {"window", panel->window},
             {"startingFolder", panel->choice.startingFolder.string()},
             {"prompt", panel->choice.prompt},
             {"canCreateFolders",
              panel->choice.folderCreation == platform::FolderChoice::Creation::allowed},
             {"folders", std::move(folders)},
             {"waiting", panels.waiting() - 1}};
  if (panel->selected) entry["selected"] = panel->folders[*panel->selected];
  return entry;
}

json privacyJson(Privacy& privacy) {
  auto names = [](const std::set<std::string, std::less<>>& set) {
    json list = json::array();
    for (const std::string& name : set) list.push_back(name);
    return list;
  };
  auto records = [](const std::vector<PrivacyRecord>& all) {
    json list = json::array();
    for (const PrivacyRecord& record : all) {
      list.push_back({{"application", record.application}, {"detail", record.detail}});
    }
    return list;
  };
  return {{"revokedAccessibility", names(privacy.revoked(PrivacyService::accessibility))},
          {"revokedInputMonitoring", names(privacy.revoked(PrivacyService::inputMonitoring))},
          {"prompts", records(privacy.prompts())},
          {"openedSettingsPanes", records(privacy.openedSettingsPanes())},
          {"reduceMotion", privacy.reduceMotion()}};
}

json inputJson(EventPipeline& events) {
  json selection = json::array();
  for (const auto& path : events.desktopSelection()) selection.push_back(path.string());
  using Button = platform::EventTaps::MouseButton;
  return {{"pointer", {{"x", events.pointer().x}, {"y", events.pointer().y}}},
          {"leftButtonDown", events.isButtonDown(Button::left)},
          {"rightButtonDown", events.isButtonDown(Button::right)},
          {"desktopSelection", std::move(selection)}};
}

json statusItemsJson(const StatusBar& bar, const Applications& applications) {
  json list = json::array();
  for (const StatusItem* item : bar.items()) {
    const Application* owner = applications.byPid(item->owner);
    list.push_back({{"item", item->id},
                    {"pid", item->owner},
                    {"owner", owner != nullptr ? owner->name : std::string()},
                    {"title", item->look.title},
                    {"hasImage", item->look.image.has_value()},
                    {"accessibilityTitle", item->look.accessibilityTitle},
                    {"inserted", true},
                    {"highlighted", item->highlighted},
                    {"frame", rectJson(item->frame)}});
  }
  return list;
}

}  // namespace

json SimulatedDesktop::stateJson() {
  json applications = json::array();
  for (const Application& application : applications_.all()) {
    json entry{{"pid", application.pid},
               {"name", application.name},
               {"role", application.role == ApplicationRole::system ? "system" : "client"},
               {"visible", application.visible}};
    if (application.bundleIdentifier) entry["bundleIdentifier"] = *application.bundleIdentifier;
    applications.push_back(std::move(entry));
  }
  json frontmost = nullptr;
  if (auto front = applications_.frontmostApplication())
    frontmost = front->localizedName.value_or("");
  json windowList = json::array();
  for (const platform::WindowInfo& info : windowServer_.onScreenWindowList()) {
    windowList.push_back({{"number", info.number},
                          {"ownerPid", info.ownerProcess},
                          {"ownerName", info.ownerName},
                          {"name", info.name},
                          {"layer", info.layer},
                          {"bounds", rectJson(info.bounds)}});
  }
  json desktopBackground{{"picture", systemEvents_.desktopPicture()},
                         {"usesPicture", systemEvents_.usesPicture()},
                         {"color", colorJson(systemEvents_.desktopColor())}};
  return {{"screens", screensJson(screens_)},
          {"dockAutohide", systemEvents_.dockAutohide()},
          {"menuBarAutohide", systemEvents_.menuBarAutohide()},
          {"desktop", std::move(desktopBackground)},
          {"applications", std::move(applications)},
          {"frontmost", std::move(frontmost)},
          {"finder", finderJson(*finder_)},
          {"windows", windowsJson(windowServer_, screens_)},
          {"windowList", std::move(windowList)},
          {"statusItems", statusItemsJson(*statusBar_, applications_)},
          {"openPanel", openPanelJson(*openPanels_)},
          {"privacy", privacyJson(privacy_)},
          {"input", inputJson(*events_)}};
}

}  // namespace deskplay::simdesk
