#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geometry/icon_geometry.hpp"

namespace deskplay::glyphon::testing {

// Finder's icons as the test lays them out: the position text is given whole, and a point
// hits a file when it lies in the box the test gave for that path.
class FakeIconGeometry final : public IconGeometry {
 public:
  std::string readDesktopIconPositions() override {
    ++positionReads_;
    if (std::function<void()> action = std::exchange(duringNextRead_, nullptr)) action();
    return positionText_;
  }
  std::optional<platform::Point> iconScreenCenter(std::string_view name) override;
  bool pointHitsFile(platform::Point point, std::string_view path) override;
  bool synthesizingPointer() const override { return synthesizing_; }

  void setPositionText(std::string text) { positionText_ = std::move(text); }
  void setIconBox(const std::string& path, platform::Rect box) { boxes_[path] = box; }
  void setSynthesizing(bool synthesizing) { synthesizing_ = synthesizing; }
  // Runs `action` inside the next read, as a platform call may deliver pending events there.
  void duringNextRead(std::function<void()> action) { duringNextRead_ = std::move(action); }

  int positionReads() const { return positionReads_; }
  // Every path that `pointHitsFile` was asked about, in order.
  const std::vector<std::string>& hitQueries() const { return hitQueries_; }

 private:
  std::string positionText_;
  std::map<std::string, platform::Rect, std::less<>> boxes_;
  bool synthesizing_ = false;
  std::function<void()> duringNextRead_;
  int positionReads_ = 0;
  std::vector<std::string> hitQueries_;
};

}  // namespace deskplay::glyphon::testing
