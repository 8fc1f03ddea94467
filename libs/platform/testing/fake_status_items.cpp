#include "platform/testing/fake_status_items.hpp"

#include <algorithm>

namespace deskplay::platform::testing {

// Shared by the fake and its items, so that either may go first.
struct FakeStatusBar {
  std::vector<FakeStatusItem*> items;  // oldest first
  int created = 0;
};

namespace {

constexpr double kItemWidth = 30;
constexpr double kFirstItemRight = 1440 - 140;
constexpr double kMenuBarBottom = 900 - 24;

}  // namespace

FakeStatusItem::FakeStatusItem(std::shared_ptr<FakeStatusBar> bar,
                               const StatusItemAppearance& appearance)
    : bar_(std::move(bar)), appearance_(appearance) {
  const double right = kFirstItemRight - kItemWidth * bar_->created++;
  frame_ = {{right - kItemWidth, kMenuBarBottom}, {kItemWidth, 24}};
  bar_->items.push_back(this);
}

FakeStatusItem::~FakeStatusItem() {
  std::erase(bar_->items, this);
}

std::optional<Rect> FakeStatusItem::buttonWindowFrame() {
  if (presence_ == Presence::removed) return std::nullopt;
  return frame_;
}

ClickVerdict FakeStatusItem::click(const StatusItemClick& click) {
  return mouseDown_ ? mouseDown_(click) : ClickVerdict::pass;
}

void FakeStatusItem::dragOut() {
  presence_ = Presence::removed;
  highlight_ = Highlight::off;
  if (presenceHandler_) presenceHandler_(Presence::removed);
}

FakeStatusItems::FakeStatusItems() : bar_(std::make_shared<FakeStatusBar>()) {}

FakeStatusItems::~FakeStatusItems() = default;

std::unique_ptr<StatusItem> FakeStatusItems::createItem(const StatusItemAppearance& appearance) {
  return std::unique_ptr<FakeStatusItem>(new FakeStatusItem(bar_, appearance));
}

std::vector<FakeStatusItem*> FakeStatusItems::items() const {
  return bar_->items;
}

}  // namespace deskplay::platform::testing
