#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/result.hpp"
#include "platform/accessibility.hpp"
#include "platform/geometry.hpp"
#include "platform/status_items.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/text_measure.hpp"

namespace deskplay::simdesk {

struct StatusItem {
  std::uint64_t id = 0;
  platform::ProcessId owner = 0;
  platform::StatusItemAppearance look;
  bool highlighted = false;
  // The button's frame in the menu bar, top-left origin; empty without a menu bar.
  platform::Rect frame;
};

// The right side of the menu bar: the clock at the far right, then the applications' status
// items from right to left in the order they were made. An item the person drags out of the
// bar (with Command held) is removed, and its owner hears that it is no longer inserted.
// Main thread only.
class StatusBar {
 public:
  static constexpr double kClockWidth = 128;
  static constexpr double kEdgeMargin = 10;
  static constexpr double kItemPadding = 8;
  static constexpr double kImageWidth = 18;
  static constexpr double kTitleSize = 13;

  StatusBar(Screens& screens, TextMeasure measure);

  std::uint64_t create(platform::ProcessId owner, platform::StatusItemAppearance look);
  // Errors for an item that is not there (any more).
  Status update(std::uint64_t id, platform::StatusItemAppearance look);
  Status setHighlighted(std::uint64_t id, bool highlighted);
  Status remove(std::uint64_t id);
  void removeAllOf(platform::ProcessId owner);
  // The person dragged the item out of the menu bar: it goes, and the removal listeners hear.
  Status dragOut(std::uint64_t id);

  const StatusItem* item(std::uint64_t id) const;
  // Right to left, as they stand in the bar.
  std::vector<const StatusItem*> items() const;
  const StatusItem* itemAt(platform::Point point) const;
  // The clock's frame, top-left origin; nothing without a menu bar.
  std::optional<platform::Rect> clockFrame() const;

  // Called after every change of the items (made, changed, moved, removed).
  void addChangeListener(std::function<void()> listener);
  // Called with an item the person removed, after it went.
  void addDraggedOutListener(std::function<void(const StatusItem& item)> listener);

 private:
  StatusItem* find(std::uint64_t id);
  double widthOf(const platform::StatusItemAppearance& look) const;
  void layOut();

  Screens& screens_;
  TextMeasure measure_;
  std::map<std::uint64_t, StatusItem> items_;  // ids grow, so this is creation order
  std::uint64_t nextId_ = 1;
  std::vector<std::function<void()>> changeListeners_;
  std::vector<std::function<void(const StatusItem&)>> draggedOutListeners_;
};

}  // namespace deskplay::simdesk
