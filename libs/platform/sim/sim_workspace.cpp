#include "platform/sim/sim_workspace.hpp"

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

std::optional<Image> SimWorkspace::iconForFile(const std::filesystem::path&) { return std::nullopt; }

std::optional<Image> SimWorkspace::loadImage(const std::filesystem::path&) { return std::nullopt; }

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
