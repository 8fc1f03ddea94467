#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "geometry/icon_geometry.hpp"
#include "motion/position_motion.hpp"
#include "platform/clock.hpp"
#include "platform/event_taps.hpp"
#include "platform/main_loop_timers.hpp"
#include "protocol/apple_script_runner.hpp"
#include "protocol/command.hpp"
#include "protocol/log_lines.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// The `position` and `position_cancel` commands: binds the animation core to Finder, to the
// answers of the commands that started each motion, and to the user's mouse. Main thread
// only; the animation timer and the pointer monitor call back there.
class MotionCommands {
 public:
  struct Services {
    OutputLines& output;
    LogLines& log;
    AppleScriptRunner& scripts;
    platform::Clock& clock;
    platform::MainLoopTimers& timers;
    platform::EventTaps& eventTaps;
    IconGeometry& geometry;
  };

  // How often a running animation takes a step.
  static constexpr platform::Clock::Seconds kTickInterval{0.05};

  // Installs the global left-mouse-down monitor. Main thread.
  explicit MotionCommands(Services services);
  ~MotionCommands();
  MotionCommands(const MotionCommands&) = delete;
  MotionCommands& operator=(const MotionCommands&) = delete;

  // The `position` command: the answer when it is already complete (or rejected), nothing
  // when it goes out later (or was already sent through sendIconResponse — never twice).
  std::optional<CommandAnswer> submitPosition(const std::string& id,
                                              const std::vector<PositionUpdate>& updates);
  // `position_cancel`: ends the paths' running motions with "cancelled".
  CommandAnswer cancelPositions(const std::vector<std::string>& paths);
  // One animation step at the current uptime.
  void nativeMotionTick();
  // Where Finder really shows the icon of `path`, by its file name; nothing when not listed.
  std::optional<MotionPoint> actualMotionPosition(const std::string& path);

  // Whether the repeating animation timer runs: exactly while tracks exist.
  bool isMotionTimerRunning() const { return motionTimer_ != nullptr; }
  // The positions last written to Finder (or seeded), rounded.
  const std::map<std::string, MotionPoint>& nativePositions() const { return nativePositions_; }
  bool isUserOwned(const std::string& path) const { return userOwnedPaths_.contains(path); }
  std::size_t pendingCommandCount() const { return pendingMotion_.size(); }
  const PositionMotion& positionMotion() const { return positionMotion_; }

 private:
  Services services_;
  PositionMotion positionMotion_;
  std::map<std::string, MotionPoint> nativePositions_;
  std::set<std::string> userOwnedPaths_;
  std::unordered_map<std::string, PendingMotion> pendingMotion_;
  std::unordered_map<std::string, std::string> motionOwners_;
  std::unique_ptr<platform::TimerHandle> motionTimer_;
  std::unique_ptr<platform::Observation> motionPointerMonitor_;
  // A platform call made inside a `position` command or inside the handling of a press (the
  // window list, for one) may deliver the presses that have arrived meanwhile. They wait here
  // and are handled, in arrival order, once that work is done, as they would be from the main
  // loop: a command decides on the state it started with.
  int pressesHeld_ = 0;
  std::deque<platform::Point> heldPresses_;
  class PressHold;

  Status writePositions(const std::vector<MotionWrite>& writes);
  void receiveReceipt(const MotionReceipt& receipt);
  void pointerWentDown(const platform::Event& event);
  // Handles every held press; only while nothing holds them.
  void handleHeldPresses();
  void takeOverIconsAt(platform::Point location);
  double uptimeMilliseconds() const;
  void startTimerWhenMoving();
  void stopTimerWhenIdle();

  // Last: a task these commands left on the main loop finds it gone once they are.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

// The key under which a receipt finds its command: the path, one NUL and the generation.
std::string receiptKey(const std::string& path, std::int64_t generation);

}  // namespace deskplay::glyphon
