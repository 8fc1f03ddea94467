#include "sim/simdesk/model/status_bar.hpp"

namespace deskplay::simdesk {

namespace {

Error unknownItem(std::uint64_t id) {
  return Error{"no status item " + std::to_string(id)};
}

}  // namespace

StatusBar::StatusBar(Screens& screens, TextMeasure measure)
    : screens_(screens), measure_(std::move(measure)) {
  screens_.addChangeListener([this] {
    layOut();
    for (const auto& listener : changeListeners_) listener();
  });
}

std::uint64_t StatusBar::create(platform::ProcessId owner, platform::StatusItemAppearance look) {
  const std::uint64_t id = nextId_++;
  StatusItem item;
  item.id = id;
  item.owner = owner;
  item.look = std::move(look);
  items_.emplace(id, std::move(item));
  layOut();
  for (const auto& listener : changeListeners_) listener();
  return id;
}

StatusItem* StatusBar::find(std::uint64_t id) {
  const auto found = items_.find(id);
  return found == items_.end() ? nullptr : &found->second;
}

const StatusItem* StatusBar::item(std::uint64_t id) const {
  const auto found = items_.find(id);
  return found == items_.end() ? nullptr : &found->second;
}

Status StatusBar::update(std::uint64_t id, platform::StatusItemAppearance look) {
  StatusItem* item = find(id);
  if (item == nullptr) return unknownItem(id);
  item->look = std::move(look);
  layOut();
  for (const auto& listener : changeListeners_) listener();
  return Status::success();
}

Status StatusBar::setHighlighted(std::uint64_t id, bool highlighted) {
  StatusItem* item = find(id);
  if (item == nullptr) return unknownItem(id);
  item->highlighted = highlighted;
  for (const auto& listener : changeListeners_) listener();
  return Status::success();
}

Status StatusBar::remove(std::uint64_t id) {
  if (items_.erase(id) == 0) return unknownItem(id);
  layOut();
  for (const auto& listener : changeListeners_) listener();
  return Status::success();
}

void StatusBar::removeAllOf(platform::ProcessId owner) {
  const auto removed =
      std::erase_if(items_, [owner](const auto& entry) { return entry.second.owner == owner; });
  if (removed == 0) return;
  layOut();
  for (const auto& listener : changeListeners_) listener();
}

Status StatusBar::dragOut(std::uint64_t id) {
  const auto found = items_.find(id);
  if (found == items_.end()) return unknownItem(id);
  const StatusItem removed = found->second;
  items_.erase(found);
  layOut();
  for (const auto& listener : changeListeners_) listener();
  for (const auto& listener : draggedOutListeners_) listener(removed);
  return Status::success();
}

std::vector<const StatusItem*> StatusBar::items() const {
  std::vector<const StatusItem*> result;
  for (const auto& [id, item] : items_) result.push_back(&item);
  return result;
}

const StatusItem* StatusBar::itemAt(platform::Point point) const {
  for (const auto& [id, item] : items_) {
    if (item.frame.contains(point)) return &item;
  }
  return nullptr;
}

std::optional<platform::Rect> StatusBar::clockFrame() const {
  const auto bar = screens_.menuBarFrame();
  if (!bar) return std::nullopt;
  return platform::Rect{{bar->maxX() - kEdgeMargin - kClockWidth, bar->minY()},
                        {kClockWidth, bar->size.height}};
}

double StatusBar::widthOf(const platform::StatusItemAppearance& look) const {
  if (look.length) return std::max(0.0, *look.length);
  const double content = look.image.has_value()
                             ? kImageWidth
                             : measure_(look.title, kTitleSize, platform::FontWeight::regular);
  return content + 2 * kItemPadding;
}

void StatusBar::layOut() {
  const auto clock = clockFrame();
  double right = clock ? clock->minX() : 0;
  for (auto& [id, item] : items_) {
    if (!clock) {
      item.frame = {};
      continue;
    }
    const double width = widthOf(item.look);
    item.frame = {{right - width, clock->minY()}, {width, clock->size.height}};
    right -= width;
  }
}

void StatusBar::addChangeListener(std::function<void()> listener) {
  changeListeners_.push_back(std::move(listener));
}

void StatusBar::addDraggedOutListener(std::function<void(const StatusItem&)> listener) {
  draggedOutListeners_.push_back(std::move(listener));
}

}  // namespace deskplay::simdesk
