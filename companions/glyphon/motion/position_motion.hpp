#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.hpp"

namespace deskplay::glyphon {

// A desktop point, global, with the origin at the top left of the main display.
struct MotionPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const MotionPoint&, const MotionPoint&) = default;
};

struct MotionTarget {
  std::string path;
  MotionPoint to;
};

// One icon position to hand to Finder in a tick.
struct MotionWrite {
  std::string path;
  std::int64_t generation = 0;
  MotionPoint position;
  friend bool operator==(const MotionWrite&, const MotionWrite&) = default;
};

// How a track ended: "completed", "superseded", "cancelled" or "failed", and where its path
// was then.
struct MotionReceipt {
  std::string path;
  std::int64_t generation = 0;
  std::string status;
  MotionPoint position;
  friend bool operator==(const MotionReceipt&, const MotionReceipt&) = default;
};

enum class MotionError { invalidTime, invalidTarget };

// "invalidTime" or "invalidTarget".
std::string_view motionErrorText(MotionError error);
// The error value carrying `error`'s text.
Error motionError(MotionError error);

// A `position` command waiting for the ends of its motions.
struct PendingMotion {
  std::size_t count = 0;
  std::vector<MotionReceipt> receipts;
};

// Animation tracks for icon positions: one track per path, advanced by `tick`. Knows nothing
// of Finder: every step goes out through the write callback, every end of a track through
// the receipt callback. Times are milliseconds and never go backwards.
class PositionMotion {
 public:
  using WriteCallback = std::function<Status(const std::vector<MotionWrite>&)>;
  using ReceiptCallback = std::function<void(const MotionReceipt&)>;

  PositionMotion(WriteCallback write, ReceiptCallback receive);

  // Sets where `path` is. Fails with invalidTarget for an empty path, a non-finite
  // coordinate or a path that is animating.
  Status seed(const std::string& path, MotionPoint position);
  // Starts one track per target from where its path is now, superseding running tracks.
  // Nothing changes when it fails. With a zero duration and `autoTick`, the targets are
  // written at once.
  Status animate(const std::vector<MotionTarget>& targets, double now, double duration,
                 const std::string& easing = "easeOut", bool autoTick = true);
  // Writes every track's position at `now` in one batch, sorted by path, and ends the tracks
  // that are due. A failed write ends the batch's tracks with "failed" and forgets their
  // positions; its error is returned.
  Status tick(double now);
  // Ends the path's track, if any, with `status`.
  void cancel(const std::string& path, const std::string& status = "cancelled");
  std::int64_t nextGeneration(const std::string& path) const;

  bool hasTracks() const { return !tracks_.empty(); }
  bool isAnimating(const std::string& path) const { return tracks_.contains(path); }
  std::size_t trackCount() const { return tracks_.size(); }
  // Where the core believes `path` is: seeded or last written.
  const MotionPoint* position(const std::string& path) const;

 private:
  struct Track {
    std::int64_t generation = 0;
    MotionPoint from;
    MotionPoint to;
    double started = 0;
    double duration = 0;
    std::string easing;
  };

  WriteCallback write_;
  ReceiptCallback receive_;
  std::map<std::string, Track> tracks_;
  std::map<std::string, MotionPoint> positions_;
  std::map<std::string, std::int64_t> generations_;
  double lastTime_;

  Status advanceTime(double now);
  void endTrack(std::map<std::string, Track>::iterator track, const std::string& status);
};

}  // namespace deskplay::glyphon
