#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/status_items.hpp"

namespace deskplay::platform::testing {

struct FakeStatusBar;

// A status item as the fake keeps it; the test plays the person through `click` and
// `dragOut`.
class FakeStatusItem final : public StatusItem {
 public:
  ~FakeStatusItem() override;

  void setAppearance(const StatusItemAppearance& appearance) override { appearance_ = appearance; }
  StatusItemAppearance appearance() const override { return appearance_; }
  void setPresence(Presence presence) override { presence_ = presence; }
  Presence presence() const override { return presence_; }
  std::optional<Rect> buttonWindowFrame() override;
  void setHighlight(Highlight highlight) override { highlight_ = highlight; }
  Highlight highlight() const override { return highlight_; }
  void setMouseDownHandler(MouseDownHandler handler) override { mouseDown_ = std::move(handler); }
  void setPresenceHandler(PresenceHandler handler) override {
    presenceHandler_ = std::move(handler);
  }

  // A mouse-down on the button: the owner's verdict (pass without a handler).
  ClickVerdict click(const StatusItemClick& click);
  // The person drags the item out of the menu bar.
  void dragOut();
  // Where the button's window stands while the item is in the menu bar.
  void setButtonWindowFrame(const Rect& frame) { frame_ = frame; }

 private:
  friend class FakeStatusItems;
  FakeStatusItem(std::shared_ptr<FakeStatusBar> bar, const StatusItemAppearance& appearance);

  std::shared_ptr<FakeStatusBar> bar_;
  StatusItemAppearance appearance_;
  Presence presence_ = Presence::inserted;
  Highlight highlight_ = Highlight::off;
  Rect frame_;
  MouseDownHandler mouseDown_;
  PresenceHandler presenceHandler_;
};

// The status bar, with the items the code under test holds. New items stand left of the
// older ones, 30 points wide, in a 24-point menu bar at the top of a 1440 × 900 screen.
class FakeStatusItems final : public StatusItems {
 public:
  FakeStatusItems();
  ~FakeStatusItems() override;

  std::unique_ptr<StatusItem> createItem(const StatusItemAppearance& appearance) override;

  // The live items, oldest first.
  std::vector<FakeStatusItem*> items() const;

 private:
  std::shared_ptr<FakeStatusBar> bar_;
};

}  // namespace deskplay::platform::testing
