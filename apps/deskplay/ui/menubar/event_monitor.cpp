#include "ui/menubar/event_monitor.hpp"

namespace deskplay::ui {

namespace {

// Clears the status item's handler when the local monitor is removed.
class ButtonHandlerRemoval final : public platform::Observation {
 public:
  explicit ButtonHandlerRemoval(platform::StatusItem& item) : item_(item) {}
  ~ButtonHandlerRemoval() override { item_.setMouseDownHandler(nullptr); }

 private:
  platform::StatusItem& item_;
};

}  // namespace

platform::EventType mouseDownType(const platform::StatusItemClick& click) {
  return click.button == platform::PointerButton::right ? platform::EventType::rightMouseDown
                                                        : platform::EventType::leftMouseDown;
}

LocalEventMonitor::LocalEventMonitor(platform::StatusItem& item, platform::EventMask mask,
                                     Handler handler)
    : EventMonitor(mask), item_(item), handler_(std::move(handler)) {}

LocalEventMonitor::~LocalEventMonitor() {
  stop();
}

void LocalEventMonitor::start() {
  stop();
  item_.setMouseDownHandler([this](const platform::StatusItemClick& click) {
    if ((mask() & platform::eventMaskOf(mouseDownType(click))) == 0) {
      return platform::ClickVerdict::pass;
    }
    return handler_(click) ? platform::ClickVerdict::pass : platform::ClickVerdict::take;
  });
  install(std::make_unique<ButtonHandlerRemoval>(item_));
}

GlobalEventMonitor::GlobalEventMonitor(platform::EventTaps& taps, platform::EventMask mask,
                                       Handler handler)
    : EventMonitor(mask), taps_(taps), handler_(std::move(handler)) {}

void GlobalEventMonitor::start() {
  stop();
  install(
      taps_.addGlobalMonitor(mask(), [this](const platform::Event& event) { handler_(event); }));
}

}  // namespace deskplay::ui
