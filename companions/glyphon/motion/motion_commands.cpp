#include "motion/motion_commands.hpp"

#include <cmath>
#include <set>
#include <string_view>
#include <utility>

#include "geometry/path_text.hpp"
#include "motion/finder_position_script.hpp"
#include "motion/position_text.hpp"
#include "protocol/icon_response.hpp"
#include "protocol/whole_number_text.hpp"

namespace deskplay::glyphon {

namespace {

constexpr std::string_view kInvalidTransition = "Invalid position transition";
constexpr std::string_view kOwnedOrUnreadable = "Position still owned by user or unreadable";
constexpr std::string_view kDefaultEasing = "easeOut";
// A click farther than this from an icon's centre cannot be on it; only nearer ones are
// worth asking the accessibility tree about.
constexpr double kGrabReach = 180;

CommandAnswer answerWithData(std::string data) {
  CommandResult result;
  result.data = std::move(data);
  return CommandAnswer::success(std::move(result));
}

bool isKnownEasing(std::string_view easing) {
  return easing == "linear" || easing == "easeInOut" || easing == "easeOut";
}

bool isValidUpdate(const PositionUpdate& update) {
  if (!std::isfinite(update.x) || !std::isfinite(update.y)) return false;
  if (!update.transition) return true;
  const NativeTransition& transition = *update.transition;
  if (!std::isfinite(transition.duration) || transition.duration < 0) return false;
  return isKnownEasing(transition.easing.value_or(std::string(kDefaultEasing)));
}

double durationMilliseconds(const std::optional<NativeTransition>& transition) {
  if (!transition || !transition->enabled.value_or(true)) return 0;
  return transition->duration * 1000;
}

}  // namespace

// Holds presses back while it lives. When the last hold ends with presses waiting, they are
// handled from the main loop, once the work that held them (and its answer) is done.
class MotionCommands::PressHold {
 public:
  explicit PressHold(MotionCommands& motion) : motion_(motion) { ++motion_.pressesHeld_; }
  ~PressHold() {
    if (--motion_.pressesHeld_ > 0 || motion_.heldPresses_.empty()) return;
    motion_.services_.timers.after(
        platform::Clock::Seconds(0),
        [&motion = motion_, alive = std::weak_ptr<const bool>(motion_.alive_)] {
          if (!alive.expired() && motion.pressesHeld_ == 0) motion.handleHeldPresses();
        });
  }
  PressHold(const PressHold&) = delete;
  PressHold& operator=(const PressHold&) = delete;

 private:
  MotionCommands& motion_;
};

std::string receiptKey(const std::string& path, std::int64_t generation) {
  std::string key = path;
  key += '\0';
  key += std::to_string(generation);
  return key;
}

MotionCommands::MotionCommands(Services services)
    : services_(services),
      positionMotion_(
          [this](const std::vector<MotionWrite>& writes) { return writePositions(writes); },
          [this](const MotionReceipt& receipt) { receiveReceipt(receipt); }) {
  motionPointerMonitor_ = services_.eventTaps.addGlobalMonitor(
      platform::eventMaskOf(platform::EventType::leftMouseDown),
      [this](const platform::Event& event) { pointerWentDown(event); });
}

MotionCommands::~MotionCommands() = default;

std::optional<CommandAnswer> MotionCommands::submitPosition(
    const std::string& id, const std::vector<PositionUpdate>& updates) {
  const PressHold hold(*this);
  std::set<std::string_view> paths;
  for (const PositionUpdate& update : updates) {
    if (!paths.insert(update.path).second) {
      return CommandAnswer::failure(std::string(kInvalidTransition));
    }
  }
  for (const PositionUpdate& update : updates) {
    if (!isValidUpdate(update)) return CommandAnswer::failure(std::string(kInvalidTransition));
  }

  std::vector<std::optional<MotionPoint>> startPoints;
  startPoints.reserve(updates.size());
  for (const PositionUpdate& update : updates) {
    if (userOwnedPaths_.contains(update.path)) {
      std::optional<MotionPoint> actual;
      if (!services_.eventTaps.isButtonDown(platform::EventTaps::MouseButton::left)) {
        actual = actualMotionPosition(update.path);
      }
      if (!actual) return CommandAnswer::failure(std::string(kOwnedOrUnreadable));
      startPoints.push_back(actual);
    } else if (!nativePositions_.contains(update.path)) {
      startPoints.push_back(MotionPoint{update.x, update.y});
    } else {
      startPoints.emplace_back();
    }
  }

  if (updates.empty()) return answerWithData("[]");

  pendingMotion_[id] = PendingMotion{updates.size(), {}};
  const double now = uptimeMilliseconds();
  std::optional<Error> failure;
  for (std::size_t index = 0; index < updates.size(); ++index) {
    const PositionUpdate& update = updates[index];
    if (const std::optional<MotionPoint>& start = startPoints[index]) {
      positionMotion_.cancel(update.path, "cancelled");
      if (Status seeded = positionMotion_.seed(update.path, *start); !seeded.ok()) {
        failure = seeded.error();
        break;
      }
      nativePositions_[update.path] = *start;
      userOwnedPaths_.erase(update.path);
    }
    motionOwners_[receiptKey(update.path, positionMotion_.nextGeneration(update.path))] = id;
    const std::string easing = update.transition
                                   ? update.transition->easing.value_or(std::string(kDefaultEasing))
                                   : std::string(kDefaultEasing);
    if (Status animated =
            positionMotion_.animate({MotionTarget{update.path, {update.x, update.y}}}, now,
                                    durationMilliseconds(update.transition), easing, false);
        !animated.ok()) {
      failure = animated.error();
      break;
    }
  }

  if (failure) {
    const bool wasPending = pendingMotion_.erase(id) > 0;
    for (const PositionUpdate& update : updates) positionMotion_.cancel(update.path, "cancelled");
    std::erase_if(motionOwners_, [&](const auto& owner) { return owner.second == id; });
    stopTimerWhenIdle();
    if (!wasPending) return std::nullopt;
    return CommandAnswer::failure("Position failed: " + failure->message);
  }

  nativeMotionTick();
  startTimerWhenMoving();
  // The answer went out from the receipts if every motion ended in that first step.
  return std::nullopt;
}

CommandAnswer MotionCommands::cancelPositions(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) positionMotion_.cancel(path, "cancelled");
  stopTimerWhenIdle();
  return CommandAnswer::success();
}

void MotionCommands::nativeMotionTick() {
  if (Status ticked = positionMotion_.tick(uptimeMilliseconds()); !ticked.ok()) {
    services_.log.logLine("[ORVEL] motion failed: " + ticked.message());
  }
  stopTimerWhenIdle();
}

std::optional<MotionPoint> MotionCommands::actualMotionPosition(const std::string& path) {
  return iconPositionInText(services_.geometry.readDesktopIconPositions(), lastPathComponent(path));
}

Status MotionCommands::writePositions(const std::vector<MotionWrite>& writes) {
  const DetailedScriptRun run = services_.scripts.runDetailed(positionScript(writes));
  if (run.error) return Error{*run.error};

  std::vector<MotionWrite> written;
  written.reserve(writes.size());
  for (const MotionWrite& write : writes) {
    const MotionPoint rounded{roundedCoordinate(write.position.x),
                              roundedCoordinate(write.position.y)};
    nativePositions_[write.path] = rounded;
    written.push_back({write.path, write.generation, rounded});
  }
  services_.output.writeLine(motionLine(written), OutputLines::Flush::now);
  return Status::success();
}

void MotionCommands::receiveReceipt(const MotionReceipt& receipt) {
  if (receipt.status == "failed") nativePositions_.erase(receipt.path);

  const auto owner = motionOwners_.find(receiptKey(receipt.path, receipt.generation));
  if (owner == motionOwners_.end()) return;
  const std::string id = std::move(owner->second);
  motionOwners_.erase(owner);

  const auto pending = pendingMotion_.find(id);
  if (pending == pendingMotion_.end()) return;
  pending->second.receipts.push_back(receipt);
  if (pending->second.receipts.size() < pending->second.count) return;

  const CommandAnswer answer = answerWithData(receiptsJson(pending->second.receipts));
  pendingMotion_.erase(pending);
  sendIconResponse(services_.output, id, answer);
}

void MotionCommands::pointerWentDown(const platform::Event& event) {
  if (services_.geometry.synthesizingPointer() ||
      event.sourceUserData == platform::kSyntheticPointerMarker) {
    return;
  }
  heldPresses_.push_back(event.location);
  if (pressesHeld_ == 0) handleHeldPresses();
}

void MotionCommands::handleHeldPresses() {
  // Presses delivered while one is handled queue behind it.
  ++pressesHeld_;
  while (!heldPresses_.empty()) {
    const platform::Point location = heldPresses_.front();
    heldPresses_.pop_front();
    takeOverIconsAt(location);
  }
  --pressesHeld_;
}

void MotionCommands::takeOverIconsAt(platform::Point location) {
  std::vector<std::string> nearby;
  for (const auto& [path, point] : nativePositions_) {
    if (std::fabs(point.x - location.x) < kGrabReach &&
        std::fabs(point.y - location.y) < kGrabReach) {
      nearby.push_back(path);
    }
  }
  for (const std::string& path : nearby) {
    if (!services_.geometry.pointHitsFile(location, path)) continue;
    userOwnedPaths_.insert(path);
    positionMotion_.cancel(path, "cancelled");
  }
  stopTimerWhenIdle();
}

double MotionCommands::uptimeMilliseconds() const {
  return services_.clock.uptime().count() * 1000;
}

void MotionCommands::startTimerWhenMoving() {
  if (!positionMotion_.hasTracks() || motionTimer_) return;
  motionTimer_ = services_.timers.repeating(kTickInterval, [this] { nativeMotionTick(); });
}

// The handle may go from inside its own tick: the port allows it.
void MotionCommands::stopTimerWhenIdle() {
  if (!positionMotion_.hasTracks()) motionTimer_.reset();
}

}  // namespace deskplay::glyphon
