#include "motion/position_motion.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace deskplay::glyphon {

namespace {

bool isFinite(MotionPoint point) {
  return std::isfinite(point.x) && std::isfinite(point.y);
}

double easedProgress(double progress, const std::string& easing) {
  if (easing == "linear") return progress;
  if (easing == "easeInOut") return progress * progress * (3 - 2 * progress);
  const double remaining = 1 - progress;
  return 1 - remaining * remaining * remaining;
}

}  // namespace

std::string_view motionErrorText(MotionError error) {
  switch (error) {
    case MotionError::invalidTime:
      return "invalidTime";
    case MotionError::invalidTarget:
      return "invalidTarget";
  }
  return "invalidTarget";
}

Error motionError(MotionError error) {
  return Error{std::string(motionErrorText(error))};
}

PositionMotion::PositionMotion(WriteCallback write, ReceiptCallback receive)
    : write_(std::move(write)),
      receive_(std::move(receive)),
      lastTime_(-std::numeric_limits<double>::infinity()) {}

Status PositionMotion::seed(const std::string& path, MotionPoint position) {
  if (path.empty() || !isFinite(position) || tracks_.contains(path)) {
    return motionError(MotionError::invalidTarget);
  }
  positions_[path] = position;
  return Status::success();
}

Status PositionMotion::animate(const std::vector<MotionTarget>& targets, double now,
                               double duration, const std::string& easing, bool autoTick) {
  if (!std::isfinite(duration) || duration < 0 || targets.empty()) {
    return motionError(MotionError::invalidTarget);
  }
  std::set<std::string_view> paths;
  for (const MotionTarget& target : targets) {
    if (!paths.insert(target.path).second) return motionError(MotionError::invalidTarget);
  }
  for (const MotionTarget& target : targets) {
    if (!positions_.contains(target.path) || !isFinite(target.to)) {
      return motionError(MotionError::invalidTarget);
    }
  }
  if (Status advanced = advanceTime(now); !advanced.ok()) return advanced;

  // Minus zero is a zero duration.
  const double trackDuration = duration == 0 ? 0 : duration;
  for (const MotionTarget& target : targets) {
    if (auto running = tracks_.find(target.path); running != tracks_.end()) {
      endTrack(running, "superseded");
    }
    const std::int64_t generation = nextGeneration(target.path);
    generations_[target.path] = generation;
    tracks_[target.path] =
        Track{generation, positions_.at(target.path), target.to, now, trackDuration, easing};
  }
  if (trackDuration == 0 && autoTick) return tick(now);
  return Status::success();
}

Status PositionMotion::tick(double now) {
  if (Status advanced = advanceTime(now); !advanced.ok()) return advanced;

  std::vector<MotionWrite> writes;
  writes.reserve(tracks_.size());
  for (const auto& [path, track] : tracks_) {
    double progress = 1;
    if (track.duration != 0) {
      progress = std::clamp((now - track.started) / track.duration, 0.0, 1.0);
    }
    MotionPoint position = track.to;
    if (progress != 1) {
      const double eased = easedProgress(progress, track.easing);
      position = {track.from.x + (track.to.x - track.from.x) * eased,
                  track.from.y + (track.to.y - track.from.y) * eased};
    }
    writes.push_back({path, track.generation, position});
  }
  if (writes.empty()) return Status::success();

  // The callbacks may end tracks while the batch is out, so tracks are looked up again after.
  if (Status written = write_(writes); !written.ok()) {
    for (const MotionWrite& write : writes) {
      if (auto track = tracks_.find(write.path); track != tracks_.end()) {
        endTrack(track, "failed");
      }
      positions_.erase(write.path);
    }
    return written;
  }
  for (const MotionWrite& write : writes) {
    positions_[write.path] = write.position;
    auto track = tracks_.find(write.path);
    if (track != tracks_.end() && track->second.generation == write.generation &&
        track->second.started + track->second.duration <= now) {
      endTrack(track, "completed");
    }
  }
  return Status::success();
}

void PositionMotion::cancel(const std::string& path, const std::string& status) {
  if (auto track = tracks_.find(path); track != tracks_.end()) endTrack(track, status);
}

std::int64_t PositionMotion::nextGeneration(const std::string& path) const {
  const auto last = generations_.find(path);
  return (last == generations_.end() ? 0 : last->second) + 1;
}

const MotionPoint* PositionMotion::position(const std::string& path) const {
  const auto found = positions_.find(path);
  return found == positions_.end() ? nullptr : &found->second;
}

Status PositionMotion::advanceTime(double now) {
  if (!std::isfinite(now) || now < lastTime_) return motionError(MotionError::invalidTime);
  lastTime_ = now;
  return Status::success();
}

void PositionMotion::endTrack(std::map<std::string, Track>::iterator track,
                              const std::string& status) {
  const std::string path = track->first;
  const std::int64_t generation = track->second.generation;
  tracks_.erase(track);
  const MotionPoint* at = position(path);
  receive_({path, generation, status, at ? *at : MotionPoint{}});
}

}  // namespace deskplay::glyphon
