#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/event_taps.hpp"
#include "sim/simdesk/model/accessibility_tree.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/desktop_icon_mouse.hpp"
#include "sim/simdesk/model/finder.hpp"
#include "sim/simdesk/model/privacy.hpp"

namespace deskplay::simdesk {

enum class EventOrigin { hardware, posted };
enum class TapAction { passed, swallowed, timedOut };

// One step of an event's way, for the delivery log: what a tap did with it, or which
// monitor or application received it.
struct DeliveryRecord {
  enum class Stage { tap, monitor, application };

  std::uint64_t sequence = 0;
  Stage stage = Stage::application;
  EventOrigin origin = EventOrigin::hardware;
  std::uint64_t id = 0;         // the tap or monitor
  platform::ProcessId pid = 0;  // the tap's or monitor's owner, or the receiving application
  std::string application;
  TapAction action = TapAction::passed;  // taps only
  platform::Event event;
};

// Routes events to what applications draw themselves (status items, content windows) and
// to the key window, ahead of the pipeline's own routing through the accessibility tree.
class InputRouting {
 public:
  virtual ~InputRouting() = default;
  // The application that receives `event` instead of the one the pipeline would pick;
  // nothing leaves the choice to the pipeline. Asked once per event that is not swallowed.
  virtual std::optional<platform::ProcessId> claim(const platform::Event& event) = 0;
  // After the monitors saw the event (which `claim` was asked about just before).
  virtual void delivered(const platform::Event& event) = 0;
};

// The window server's event services: the hardware's and the programs' input events go
// through the session taps (the newest at the head sees them first; each may pass or swallow
// them; one that does not answer within the time-out is disabled, told so, and the event goes
// on), then to the global monitors of the other applications, then to their target: keys to
// the frontmost application, mouse events to the owner of what is under the pointer (through
// the window stack; a press captures the mouse until its release). Finder moves and selects
// its desktop icons with the mouse. Events are handled one at a time in arrival order; a tap
// answers later through `answer`, so the caller keeps serving everything else meanwhile.
// Main thread only.
class EventPipeline {
 public:
  // About as long as macOS waits for a tap.
  static constexpr platform::Clock::Seconds kDefaultTapTimeout{1.0};
  // The delivery log keeps this many of the latest records.
  static constexpr std::size_t kLogCapacity = 20000;

  // Where a tap's and a monitor's events go: the process that installed it and the client
  // connection that goes away with it.
  struct Owner {
    platform::ProcessId pid = 0;
    std::uint64_t client = 0;
  };
  // Hands a tap one event to judge (answer with its sequence), or a notice (sequence 0,
  // type tapDisabledByTimeout) that needs no answer.
  using TapDelivery = std::function<void(std::uint64_t sequence, const platform::Event& event)>;
  using MonitorDelivery = std::function<void(const platform::Event& event)>;

  EventPipeline(Applications& applications, Finder& finder, AccessibilityTree& accessibility,
                Privacy& privacy, platform::Clock& clock);

  // The person's input; it carries no source user data. Gives the event's sequence number.
  std::uint64_t inject(platform::Event event);
  // A program's synthetic event, with its source user data; it enters where the hardware's
  // do, so the session taps see it too.
  std::uint64_t post(platform::Event event);

  // An active tap at the head of the session's taps, disabled until enabled. Nothing when the
  // application may not watch the keyboard (neither Accessibility nor Input Monitoring) and
  // the mask has key events.
  std::optional<std::uint64_t> createTap(Owner owner, platform::EventMask mask,
                                         TapDelivery deliver);
  // False for an unknown tap.
  bool setTapEnabled(std::uint64_t tap, bool enabled);
  std::optional<bool> isTapEnabled(std::uint64_t tap) const;
  void removeTap(std::uint64_t tap);
  // A tap's verdict on the event it was given; late or unknown verdicts are ignored.
  void answer(std::uint64_t tap, std::uint64_t sequence, platform::TapVerdict verdict);

  std::uint64_t addMonitor(Owner owner, platform::EventMask mask, MonitorDelivery deliver);
  void removeMonitor(std::uint64_t monitor);
  // The client connection that made a tap or a monitor; nothing for an unknown id.
  std::optional<std::uint64_t> clientOf(std::uint64_t tapOrMonitor) const;
  // A client connection closed: its taps and monitors go.
  void removeClient(std::uint64_t client);

  platform::Point pointer() const { return pointer_; }
  void warpPointer(platform::Point location) { pointer_ = location; }
  bool isButtonDown(platform::EventTaps::MouseButton button) const;

  // Applies a tap time-out whose time has come.
  void settle();
  // Time until the awaited tap's time-out; nothing while no tap is awaited.
  std::optional<platform::Clock::Seconds> timeToNextTimeout() const;
  void setTapTimeout(platform::Clock::Seconds timeout) { tapTimeout_ = timeout; }
  // Outlives the pipeline, or is unset first.
  void setRouting(InputRouting* routing) { routing_ = routing; }

  // The sequence number of the last event that went all the way (0: none yet).
  std::uint64_t lastDelivered() const { return lastDelivered_; }
  // Called with the sequence of every event whose way has ended, swallowed or delivered.
  void addDeliveredListener(std::function<void(std::uint64_t sequence)> listener);
  // Called whenever the pipeline starts waiting for a tap, with the time-out.
  void addWaitListener(std::function<void(platform::Clock::Seconds timeout)> listener);

  const std::deque<DeliveryRecord>& log() const { return log_; }
  std::vector<std::filesystem::path> desktopSelection() { return desktopMouse_.selection(); }

 private:
  struct Tap {
    Owner owner;
    platform::EventMask mask = 0;
    bool enabled = false;
    TapDelivery deliver;
  };
  struct Monitor {
    Owner owner;
    platform::EventMask mask = 0;
    MonitorDelivery deliver;
  };
  struct Pending {
    std::uint64_t sequence = 0;
    EventOrigin origin = EventOrigin::hardware;
    platform::Event event;
  };
  // The event on its way through the taps.
  struct InFlight {
    Pending pending;
    std::vector<std::uint64_t> taps;  // head first, as they stood when it arrived
    std::size_t nextTap = 0;
    std::optional<std::uint64_t> awaited;
    platform::Clock::Seconds deadline{0};
    std::optional<platform::TapVerdict> verdict;
    bool swallowed = false;
  };

  std::uint64_t enqueue(platform::Event event, EventOrigin origin);
  void pump();
  void begin();
  void applyHardwareState(const platform::Event& event);
  void offerToNextTap();
  void takeVerdict();
  void finish();
  void deliver(const Pending& pending);
  struct Target {
    std::optional<platform::ProcessId> pid;
    bool desktop = false;
  };
  Target targetOf(const platform::Event& event);
  Target underPointer(platform::Point location);
  void finderHandles(const platform::Event& event);
  bool mayWatchKeys(platform::ProcessId pid) const;
  std::string applicationName(platform::ProcessId pid) const;
  void record(DeliveryRecord entry);

  Applications& applications_;
  Finder& finder_;
  AccessibilityTree& accessibility_;
  Privacy& privacy_;
  platform::Clock& clock_;
  DesktopIconMouse desktopMouse_;
  platform::Clock::Seconds tapTimeout_ = kDefaultTapTimeout;
  InputRouting* routing_ = nullptr;

  std::map<std::uint64_t, Tap> taps_;
  std::vector<std::uint64_t> tapOrder_;        // the head last
  std::map<std::uint64_t, Monitor> monitors_;  // in the order they were added
  std::uint64_t nextId_ = 1;

  std::deque<Pending> queue_;
  std::optional<InFlight> current_;
  bool pumping_ = false;
  std::uint64_t nextSequence_ = 1;
  std::uint64_t lastDelivered_ = 0;

  platform::Point pointer_{720, 450};
  bool leftDown_ = false;
  bool rightDown_ = false;
  // The target a button press captured, which gets the drags and the release.
  std::optional<Target> mouseCapture_;

  std::deque<DeliveryRecord> log_;
  std::vector<std::function<void(std::uint64_t)>> deliveredListeners_;
  std::vector<std::function<void(platform::Clock::Seconds)>> waitListeners_;
};

}  // namespace deskplay::simdesk
