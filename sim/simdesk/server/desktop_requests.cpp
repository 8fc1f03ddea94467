#include <QByteArray>
#include <QFile>

#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"
#include "sim/simdesk/render/desktop_renderer.hpp"
#include "sim/simdesk/render/text_metrics.hpp"
#include "sim/simdesk/server/request_handlers.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;
using nlohmann::json;

namespace {

Result<PrivacyService> serviceNamed(const std::string& name) {
  if (name == "accessibility") return PrivacyService::accessibility;
  if (name == "inputMonitoring") return PrivacyService::inputMonitoring;
  return Error{"\"service\" must be accessibility or inputMonitoring"};
}

Result<std::filesystem::path> absolutePath(const RequestFields& request, std::string_view key) {
  auto text = request.text(key);
  if (!text.ok()) return text.error();
  std::filesystem::path path(text.value());
  if (!path.is_absolute()) return Error{"\"" + std::string(key) + "\" must be an absolute path"};
  return path;
}

json screensReply(Screens& screens) {
  json list = json::array();
  for (const auto& screen : screens.screens()) list.push_back(protocol::encodeScreen(screen));
  const auto main = screens.mainScreen();
  return {{"screens", std::move(list)}, {"main", main ? protocol::encodeScreen(*main) : json()}};
}

Result<json> setScreens(Screens& screens, const RequestFields& request) {
  auto list = request.raw("screens");
  if (!list.ok()) return list.error();
  if (!list.value().is_array()) return Error{"\"screens\" must be a list"};
  std::vector<platform::Size> sizes;
  for (const auto& entry : list.value()) {
    auto size = protocol::decodeSize(entry);
    if (!size || size->width <= 0 || size->height <= 0) {
      return Error{"\"screens\" must hold sizes {\"width\", \"height\"}"};
    }
    sizes.push_back(*size);
  }
  screens.setSizes(std::move(sizes));
  return json::object();
}

Result<json> writeScreenshot(DesktopRenderer& renderer, const RequestFields& request) {
  auto path = absolutePath(request, "path");
  if (!path.ok()) return path.error();
  const QByteArray png = renderer.screenshotPng();
  if (png.isEmpty()) return Error{"there is no screen to capture"};
  QFile file(QString::fromStdString(path.value().string()));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(png) != png.size()) {
    return Error{"cannot write " + path.value().string() + ": " + file.errorString().toStdString()};
  }
  return json{{"bytes", png.size()}};
}

Result<json> measureText(const RequestFields& request) {
  auto text = request.text("text");
  if (!text.ok()) return text.error();
  auto size = request.number("size");
  if (!size.ok()) return size.error();
  auto weightName = request.text("weight");
  if (!weightName.ok()) return weightName.error();
  platform::FontWeight weight = platform::FontWeight::regular;
  if (weightName.value() == "semibold") {
    weight = platform::FontWeight::semibold;
  } else if (weightName.value() != "regular") {
    return Error{"\"weight\" must be regular or semibold"};
  }
  return json{{"width", textWidth(text.value(), size.value(), weight)}};
}

}  // namespace

void addDesktopRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop,
                        DesktopRenderer& renderer) {
  dispatcher.add(requests::state, [&desktop](Client&, const RequestFields&) -> Result<json> {
    return json{{"state", desktop.stateJson()}};
  });
  dispatcher.add(requests::screenshot, [&renderer](Client&, const RequestFields& request) {
    return writeScreenshot(renderer, request);
  });
  dispatcher.add(requests::screensGet, [&desktop](Client&, const RequestFields&) -> Result<json> {
    return screensReply(desktop.screens());
  });
  dispatcher.add(requests::screensSet, [&desktop](Client&, const RequestFields& request) {
    return setScreens(desktop.screens(), request);
  });
  dispatcher.add(requests::textWidth,
                 [](Client&, const RequestFields& request) { return measureText(request); });

  dispatcher.add(requests::displayOptionsGet,
                 [&desktop](Client&, const RequestFields&) -> Result<json> {
                   return json{{"reduceMotion", desktop.privacy().reduceMotion()}};
                 });
  dispatcher.add(requests::displayOptionsSet,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   auto on = request.flag("reduceMotion");
                   if (!on.ok()) return on.error();
                   desktop.privacy().setReduceMotion(on.value());
                   return json::object();
                 });

  dispatcher.add(requests::finderQuit,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   AfterQuit after = AfterQuit::stayQuit;
                   if (request.has("relaunch")) {
                     auto relaunch = request.flag("relaunch");
                     if (!relaunch.ok()) return relaunch.error();
                     if (relaunch.value()) after = AfterQuit::relaunch;
                   }
                   if (Status quit = desktop.finder().quit(after); !quit.ok()) return quit.error();
                   return json::object();
                 });
  dispatcher.add(requests::finderLaunch, [&desktop](Client&, const RequestFields&) -> Result<json> {
    desktop.finder().launch();
    return json::object();
  });

  dispatcher.add(requests::privacySet,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   auto serviceText = request.text("service");
                   if (!serviceText.ok()) return serviceText.error();
                   auto service = serviceNamed(serviceText.value());
                   if (!service.ok()) return service.error();
                   auto application = request.text("app");
                   if (!application.ok()) return application.error();
                   auto granted = request.flag("granted");
                   if (!granted.ok()) return granted.error();
                   if (granted.value()) {
                     desktop.privacy().grant(service.value(), application.value());
                   } else {
                     desktop.privacy().revoke(service.value(), application.value());
                   }
                   return json::object();
                 });
  dispatcher.add(requests::privacyListenEvent,
                 [&desktop](Client& client, const RequestFields&) -> Result<json> {
                   const bool granted = desktop.privacy().isGranted(
                       PrivacyService::inputMonitoring, client.application);
                   return json{{"access", granted ? 0 : 1}};
                 });
  dispatcher.add(requests::prompts, [&desktop](Client&, const RequestFields&) -> Result<json> {
    json prompts = json::array();
    for (const auto& record : desktop.privacy().prompts()) {
      prompts.push_back({{"app", record.application}, {"service", record.detail}});
    }
    json opened = json::array();
    for (const auto& record : desktop.privacy().openedSettingsPanes()) {
      opened.push_back({{"app", record.application}, {"url", record.detail}});
    }
    return json{{"prompts", std::move(prompts)}, {"openedUrls", std::move(opened)}};
  });

  dispatcher.add(requests::applicationsRunning,
                 [&desktop](Client&, const RequestFields&) -> Result<json> {
                   json list = json::array();
                   for (const auto& application : desktop.applications().running()) {
                     list.push_back(protocol::encodeApplication(application));
                   }
                   return json{{"applications", std::move(list)}};
                 });
  dispatcher.add(requests::applicationsFrontmost,
                 [&desktop](Client&, const RequestFields&) -> Result<json> {
                   desktop.finder().settle();
                   const auto frontmost = desktop.applications().frontmostApplication();
                   return json{{"application",
                                frontmost ? protocol::encodeApplication(*frontmost) : json()}};
                 });

  dispatcher.add(requests::workspaceReveal,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   auto list = request.raw("paths");
                   if (!list.ok()) return list.error();
                   if (!list.value().is_array()) return Error{"\"paths\" must be a list"};
                   std::vector<std::filesystem::path> paths;
                   for (const auto& entry : list.value()) {
                     if (!entry.is_string()) return Error{"\"paths\" must hold paths"};
                     paths.emplace_back(entry.get<std::string>());
                   }
                   desktop.finder().reveal(paths);
                   return json::object();
                 });
  dispatcher.add(requests::workspaceNoteChanged,
                 [&desktop](Client&, const RequestFields& request) -> Result<json> {
                   auto path = absolutePath(request, "path");
                   if (!path.ok()) return path.error();
                   desktop.finder().noteFileSystemChanged(path.value());
                   return json::object();
                 });
  dispatcher.add(requests::workspaceOpenUrl,
                 [&desktop](Client& client, const RequestFields& request) -> Result<json> {
                   auto url = request.text("url");
                   if (!url.ok()) return url.error();
                   return json{{"opened",
                                desktop.privacy().openSettingsUrl(client.application, url.value())}};
                 });
}

}  // namespace deskplay::simdesk::server
