#pragma once

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "platform/clock.hpp"
#include "sim/simdesk/model/accessibility_tree.hpp"
#include "sim/simdesk/model/application_input.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/event_pipeline.hpp"
#include "sim/simdesk/model/finder.hpp"
#include "sim/simdesk/model/notification_center.hpp"
#include "sim/simdesk/model/open_panels.hpp"
#include "sim/simdesk/model/privacy.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/status_bar.hpp"
#include "sim/simdesk/model/system_events.hpp"
#include "sim/simdesk/model/text_measure.hpp"
#include "sim/simdesk/model/window_server.hpp"

namespace deskplay::simdesk {

// The whole simulated desktop of one user session: screens, applications, windows, Finder,
// System Events, privacy, accessibility, input events, the menu bar's status items, the
// distributed notifications and the open panels. Everything lives on the main thread.
class SimulatedDesktop {
 public:
  struct Options {
    std::filesystem::path home;        // the session's $HOME
    platform::Clock* clock = nullptr;  // required; outlives the desktop
    TextMeasure measure;               // empty: estimatedTextWidth
    Finder::Watching watching = Finder::Watching::automatic;
  };

  // `screens`, when given, replaces the default display before Finder starts, so that Finder
  // lays its icons out on the displays there are.
  explicit SimulatedDesktop(Options options,
                            std::optional<std::vector<platform::Size>> screens = std::nullopt);
  ~SimulatedDesktop();
  SimulatedDesktop(const SimulatedDesktop&) = delete;
  SimulatedDesktop& operator=(const SimulatedDesktop&) = delete;

  Screens& screens() { return screens_; }
  Applications& applications() { return applications_; }
  WindowServer& windowServer() { return windowServer_; }
  Finder& finder() { return *finder_; }
  SystemEvents& systemEvents() { return systemEvents_; }
  Privacy& privacy() { return privacy_; }
  AccessibilityTree& accessibility() { return *accessibility_; }
  EventPipeline& events() { return *events_; }
  StatusBar& statusBar() { return *statusBar_; }
  ApplicationInput& applicationInput() { return *applicationInput_; }
  NotificationCenter& notifications() { return notifications_; }
  OpenPanels& openPanels() { return *openPanels_; }
  platform::Clock& clock() { return *options_.clock; }
  const std::filesystem::path& home() const { return options_.home; }

  // A client said hello; its windows are closed and it leaves the running applications
  // when it goes.
  void clientConnected(platform::ProcessId pid, const std::string& name);
  void clientDisconnected(platform::ProcessId pid);

  // The whole state, for `simdeskctl state`.
  nlohmann::json stateJson();

 private:
  Options options_;
  Screens screens_;
  Applications applications_;
  WindowServer windowServer_;
  Privacy privacy_;
  SystemEvents systemEvents_;
  std::unique_ptr<Finder> finder_;
  std::unique_ptr<AccessibilityTree> accessibility_;
  std::unique_ptr<StatusBar> statusBar_;
  std::unique_ptr<ApplicationInput> applicationInput_;
  NotificationCenter notifications_;
  std::unique_ptr<OpenPanels> openPanels_;
  std::unique_ptr<EventPipeline> events_;
};

}  // namespace deskplay::simdesk
