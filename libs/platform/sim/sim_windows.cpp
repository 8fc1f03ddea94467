#include "platform/sim/sim_windows.hpp"

#include "platform/sim/remote_content_window.hpp"
#include "platform/sim/remote_window.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::platform {

namespace requests = simdesk::protocol::requests;
namespace protocol = simdesk::protocol;
using protocol::Effect;

namespace {

class DisplayOptionsObservation final : public Observation {
 public:
  DisplayOptionsObservation(protocol::Connection& connection, int listener)
      : connection_(connection), listener_(listener) {}
  ~DisplayOptionsObservation() override { connection_.unlisten(listener_); }

 private:
  protocol::Connection& connection_;
  int listener_;
};

// What the system's text measurement would give without simdesk's fonts: 0.6 × size per
// character, as simdesk itself estimates without them.
double estimatedWidth(std::string_view text, double size) {
  std::size_t characters = 0;
  for (const char byte : text) {
    if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80) ++characters;
  }
  return 0.6 * size * static_cast<double>(characters);
}

}  // namespace

nlohmann::json SimWindows::read(std::string_view type) {
  connection_.dispatchEvents();
  auto reply = connection_.request(type, nlohmann::json::object(), Effect::readsOnly);
  return reply.ok() ? std::move(reply.value()) : nlohmann::json::object();
}

std::vector<Screen> SimWindows::screens() {
  const nlohmann::json reply = read(requests::screensGet);
  std::vector<Screen> screens;
  const auto list = reply.find("screens");
  if (list == reply.end() || !list->is_array()) return screens;
  for (const auto& entry : *list) {
    if (auto screen = protocol::decodeScreen(entry)) screens.push_back(*screen);
  }
  return screens;
}

std::optional<Screen> SimWindows::mainScreen() {
  const nlohmann::json reply = read(requests::screensGet);
  const auto main = reply.find("main");
  if (main == reply.end()) return std::nullopt;
  return protocol::decodeScreen(*main);
}

int SimWindows::windowLevelForKey(WindowLevelKey key) {
  connection_.dispatchEvents();
  switch (key) {
    case WindowLevelKey::desktopIcon:
      return protocol::kDesktopIconWindowLevel;
  }
  return window_levels::normal;
}

std::unique_ptr<Window> SimWindows::createWindow(const WindowSpec& spec) {
  connection_.dispatchEvents();
  return std::make_unique<RemoteWindow>(connection_, spec,
                                        spec.kind == WindowSpec::Kind::panel
                                            ? RemoteWindow::Kind::panel
                                            : RemoteWindow::Kind::window);
}

std::unique_ptr<StatusPanel> SimWindows::createStatusPanel(const WindowSpec& spec) {
  connection_.dispatchEvents();
  return std::make_unique<RemoteStatusPanel>(connection_, spec);
}

std::unique_ptr<ContentWindow> SimWindows::createContentWindow(const WindowSpec& spec) {
  connection_.dispatchEvents();
  return std::make_unique<RemoteContentWindow>(connection_, spec);
}

double SimWindows::textWidth(std::string_view text, const Font& font) {
  connection_.dispatchEvents();
  const auto key = std::make_tuple(std::string(text), font.size, font.weight);
  if (const auto known = widths_.find(key); known != widths_.end()) return known->second;
  auto reply = connection_.request(
      requests::textWidth,
      {{"text", text},
       {"size", font.size},
       {"weight", font.weight == FontWeight::semibold ? "semibold" : "regular"}},
      Effect::readsOnly);
  if (reply.ok()) {
    const auto width = reply.value().find("width");
    if (width != reply.value().end() && width->is_number()) {
      return widths_.emplace(key, width->get<double>()).first->second;
    }
  }
  return estimatedWidth(text, font.size);
}

std::vector<WindowInfo> SimWindows::onScreenWindows() {
  const nlohmann::json reply = read(requests::windowsOnScreen);
  std::vector<WindowInfo> windows;
  const auto list = reply.find("windows");
  if (list == reply.end() || !list->is_array()) return windows;
  for (const auto& entry : *list) {
    if (auto info = protocol::decodeWindowInfo(entry)) windows.push_back(*info);
  }
  return windows;
}

std::vector<RunningApplication> SimWindows::runningApplications() {
  const nlohmann::json reply = read(requests::applicationsRunning);
  std::vector<RunningApplication> applications;
  const auto list = reply.find("applications");
  if (list == reply.end() || !list->is_array()) return applications;
  for (const auto& entry : *list) {
    if (auto application = protocol::decodeApplication(entry)) applications.push_back(*application);
  }
  return applications;
}

std::optional<RunningApplication> SimWindows::frontmostApplication() {
  const nlohmann::json reply = read(requests::applicationsFrontmost);
  const auto application = reply.find("application");
  if (application == reply.end()) return std::nullopt;
  return protocol::decodeApplication(*application);
}

bool SimWindows::reduceMotion() {
  const nlohmann::json reply = read(requests::displayOptionsGet);
  const auto on = reply.find("reduceMotion");
  return on != reply.end() && on->is_boolean() && on->get<bool>();
}

std::unique_ptr<Observation> SimWindows::observeDisplayOptions(std::function<void()> changed) {
  const int listener =
      connection_.listen(protocol::events::displayOptionsChanged,
                         [changed = std::move(changed)](const nlohmann::json&) { changed(); });
  // Subscribes now rather than at some later request, so that no change is missed meanwhile.
  (void)connection_.request(requests::displayOptionsGet, nlohmann::json::object(),
                            Effect::readsOnly);
  return std::make_unique<DisplayOptionsObservation>(connection_, listener);
}

}  // namespace deskplay::platform
