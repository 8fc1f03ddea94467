#include "platform/sim/sim_workspace.hpp"

#include <memory>

#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
using simdesk::protocol::Effect;

namespace {

// simdesk's Finder knows files by absolute path; relative ones are taken from here.
std::string absoluteText(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? path : absolute).lexically_normal().string();
}

}  // namespace

SimWorkspace::~SimWorkspace() {
  for (const int listener : *panelListeners_) connection_.unlisten(listener);
}

void SimWorkspace::chooseFolder(const FolderChoice& choice,
                                std::function<void(std::optional<std::filesystem::path>)> chosen) {
  // Listening first, so that an answer given at once is not missed: listeners run only when
  // events are dispatched, after the panel's number is known.
  auto panel = std::make_shared<std::optional<std::uint64_t>>();
  auto deliver = [chosen](const nlohmann::json& event) {
    const auto path = event.find("path");
    if (path != event.end() && path->is_string()) {
      chosen(std::filesystem::path(path->get<std::string>()));
    } else {
      chosen(std::nullopt);
    }
  };
  auto listenerId = std::make_shared<int>(0);
  const std::weak_ptr<std::set<int>> listeners = panelListeners_;
  *listenerId = connection_.listen(
      simdesk::protocol::events::openPanelAnswered,
      [this, panel, deliver, listenerId, listeners](const nlohmann::json& event) {
        const auto id = event.find("panel");
        if (!*panel || id == event.end() || !id->is_number_unsigned() ||
            id->get<std::uint64_t>() != **panel) {
          return;
        }
        if (auto alive = listeners.lock()) alive->erase(*listenerId);
        connection_.unlisten(*listenerId);
        deliver(event);
      });
  panelListeners_->insert(*listenerId);
  auto reply = connection_.request(
      requests::openPanelRun,
      {{"startingFolder", absoluteText(choice.startingFolder)},
       {"prompt", choice.prompt},
       {"canCreateFolders", choice.folderCreation == FolderChoice::Creation::allowed}},
      Effect::mayChange);
  const nlohmann::json id =
      reply.ok() ? reply.value().value("panel", nlohmann::json()) : nlohmann::json();
  if (!id.is_number_unsigned()) {
    panelListeners_->erase(*listenerId);
    connection_.unlisten(*listenerId);
    chosen(std::nullopt);
    return;
  }
  *panel = id.get<std::uint64_t>();
}

bool SimWorkspace::openUrl(const std::string& url) {
  auto reply = connection_.request(requests::workspaceOpenUrl, {{"url", url}}, Effect::mayChange);
  if (!reply.ok()) return false;
  const auto opened = reply.value().find("opened");
  return opened != reply.value().end() && opened->is_boolean() && opened->get<bool>();
}

void SimWorkspace::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
  nlohmann::json paths = nlohmann::json::array();
  for (const auto& file : files) paths.push_back(absoluteText(file));
  (void)connection_.request(requests::workspaceReveal, {{"paths", std::move(paths)}},
                            Effect::mayChange);
}

void SimWorkspace::noteFileSystemChanged(const std::filesystem::path& path) {
  (void)connection_.request(requests::workspaceNoteChanged, {{"path", absoluteText(path)}},
                            Effect::mayChange);
}

std::optional<bool> SimWorkspace::hasCustomIcon(const std::filesystem::path&) {
  return std::nullopt;
}

std::optional<Image> SimWorkspace::iconForFile(const std::filesystem::path&) {
  return std::nullopt;
}

std::optional<Image> SimWorkspace::loadImage(const std::filesystem::path&) {
  return std::nullopt;
}

std::optional<Image> SimWorkspace::decodeImage(const std::vector<unsigned char>&) {
  return std::nullopt;
}

bool SimWorkspace::setCustomIcon(const std::filesystem::path&, const std::optional<Image>&) {
  return false;
}

Status SimWorkspace::setExtensionVisibility(const std::filesystem::path& file,
                                            ExtensionVisibility) {
  return Error{"the simulated desktop does not change file metadata: " + file.string()};
}

}  // namespace deskplay::platform
