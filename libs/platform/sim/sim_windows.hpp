#pragma once

#include <map>
#include <string>
#include <tuple>

#include "platform/windows.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// Screens, windows, the window list, applications and reduce motion of simdesk. Windows are
// RemoteWindow proxies. Without simdesk: no screens, no windows listed, no applications, no
// reduce motion; windows keep their state and appear once simdesk is back.
//
// Display-option changes are pushed by simdesk; they reach the observers when this process
// next calls into this class (each call delivers what arrived first), or at once when the
// program watches the connection's eventDescriptor() in its event loop and calls
// dispatchEvents() on the connection when it turns readable.
class SimWindows final : public Windows {
 public:
  explicit SimWindows(simdesk::protocol::Connection& connection) : connection_(connection) {}

  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  int windowLevelForKey(WindowLevelKey key) override;
  std::unique_ptr<Window> createWindow(const WindowSpec& spec) override;
  std::unique_ptr<StatusPanel> createStatusPanel(const WindowSpec& spec) override;
  // A RemoteContentWindow.
  std::unique_ptr<ContentWindow> createContentWindow(const WindowSpec& spec) override;
  double textWidth(std::string_view text, const Font& font) override;
  std::vector<WindowInfo> onScreenWindows() override;
  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> frontmostApplication() override;
  bool reduceMotion() override;
  std::unique_ptr<Observation> observeDisplayOptions(std::function<void()> changed) override;

 private:
  nlohmann::json read(std::string_view type);

  simdesk::protocol::Connection& connection_;
  // Widths depend only on the text and the font, which simdesk draws the same every time.
  std::map<std::tuple<std::string, double, FontWeight>, double, std::less<>> widths_;
};

}  // namespace deskplay::platform
