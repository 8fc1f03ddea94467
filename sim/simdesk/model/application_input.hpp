#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/status_items.hpp"
#include "platform/window_content.hpp"
#include "sim/simdesk/model/event_pipeline.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/status_bar.hpp"
#include "sim/simdesk/model/window_server.hpp"

namespace deskplay::simdesk {

// A mouse-down on a status item, numbered so that its owner's verdict can name it.
struct StatusItemPress {
  std::uint64_t press = 0;
  std::uint64_t item = 0;
  platform::StatusItemClick click;
};

// Input for what applications draw themselves. A mouse-down on a status item goes to its
// owner, who takes it or lets it pass; a passed press with Command held that the person
// releases outside the menu bar drags the item out of the bar. Mouse and scroll events over
// a content window, and keys while one is key, go to its owner in the window's own
// coordinates, with entered and exited as the pointer crosses its edges; the window a press
// began in gets the drags and the release. A mouse-down anywhere but in the key window makes
// the key window resign. Clicks in the open panel go to it. Main thread only.
class ApplicationInput final : public InputRouting {
 public:
  struct Sinks {
    std::function<void(const StatusItem& item, const StatusItemPress& press)> statusItemPressed;
    std::function<void(const SimWindow& window, const platform::WindowInput& input)> windowInput;
    // A left click in the open panel, in the panel's coordinates.
    std::function<void(const SimWindow& panel, platform::Point location)> openPanelClicked;
  };

  ApplicationInput(Screens& screens, WindowServer& windows, StatusBar& statusBar);

  void setSinks(Sinks sinks) { sinks_ = std::move(sinks); }
  // The owner's verdict on a press; unknown or late verdicts change nothing.
  void answerPress(std::uint64_t press, platform::ClickVerdict verdict);

  std::optional<platform::ProcessId> claim(const platform::Event& event) override;
  void delivered(const platform::Event& event) override;

 private:
  struct Hit {
    enum class Kind { nothing, statusItem, window } kind = Kind::nothing;
    std::uint64_t item = 0;
    std::uint32_t window = 0;
    platform::ProcessId owner = 0;
  };
  struct ItemGesture {
    std::uint64_t press = 0;
    std::uint64_t item = 0;
    bool command = false;
    bool released = false;
    bool endedOutsideBar = false;
    std::optional<platform::ClickVerdict> verdict;
  };

  Hit hitTest(platform::Point location) const;
  // A window that takes input from the pointer: a content window or the open panel.
  const SimWindow* inputWindow(const Hit& hit) const;
  void sendToWindow(std::uint32_t number, platform::WindowInput input,
                    platform::Point globalLocation);
  void mouseDown(const platform::Event& event);
  void hover(const Hit& hit, const platform::Event& event);
  void settleGesture();
  bool insideMenuBar(platform::Point location) const;

  Screens& screens_;
  WindowServer& windows_;
  StatusBar& statusBar_;
  Sinks sinks_;
  std::optional<Hit> capture_;
  std::optional<std::uint32_t> hovered_;
  std::optional<ItemGesture> gesture_;
  std::uint64_t nextPress_ = 1;
};

}  // namespace deskplay::simdesk
