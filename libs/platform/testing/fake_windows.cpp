#include "platform/testing/fake_windows.hpp"

#include <algorithm>

namespace deskplay::platform::testing {

// Shared by the fake and what it handed out, so that either may go first.
struct FakeWindowRegistry {
  std::vector<FakeWindow*> windows;  // oldest first
  std::vector<std::function<void()>*> displayOptionObservers;
};

FakeWindow::FakeWindow(std::shared_ptr<FakeWindowRegistry> registry, const WindowSpec& spec)
    : registry_(std::move(registry)), spec_(spec), frame_(spec.contentRect) {
  registry_->windows.push_back(this);
}

FakeWindow::~FakeWindow() {
  std::erase(registry_->windows, this);
}

void FakeWindow::configure(const WindowTraits& traits) {
  traits_ = traits;
  ++configures_;
}

void FakeWindow::setFrame(const Rect& frame, Redraw redraw) {
  frame_ = frame;
  if (redraw == Redraw::now) ++displays_;
}

void FakeWindow::orderFrontRegardless() {
  visible_ = true;
  ++orderFronts_;
}

void FakeContentWindow::present(const PixelFrame& frame, const std::vector<PixelRect>& damage) {
  ++presents_;
  width_ = frame.width;
  height_ = frame.height;
  damage_ = damage;
  const auto row = static_cast<std::size_t>(frame.width) * 4;
  pixels_.assign(row * static_cast<std::size_t>(std::max(frame.height, 0)), 0);
  for (int y = 0; y < frame.height; ++y) {
    std::copy_n(frame.pixels + static_cast<std::size_t>(y) * frame.stride, row,
                pixels_.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * row));
  }
}

void FakeContentWindow::makeKeyAndOrderFront() {
  orderFrontRegardless();
  if (key_) return;
  key_ = true;
  if (keyHandler_) keyHandler_(KeyState::became);
}

void FakeContentWindow::resignKey() {
  if (!key_) return;
  sendKeyState(KeyState::resigned);
}

void FakeContentWindow::sendInput(const WindowInput& input) {
  if (inputHandler_) inputHandler_(input);
}

void FakeContentWindow::sendKeyState(KeyState state) {
  key_ = state == KeyState::became;
  if (keyHandler_) keyHandler_(state);
}

class FakeWindows::DisplayOptionsObservation final : public Observation {
 public:
  DisplayOptionsObservation(std::shared_ptr<FakeWindowRegistry> registry,
                            std::function<void()> changed)
      : registry_(std::move(registry)), changed_(std::move(changed)) {
    registry_->displayOptionObservers.push_back(&changed_);
  }
  ~DisplayOptionsObservation() override {
    std::erase(registry_->displayOptionObservers, &changed_);
  }

 private:
  std::shared_ptr<FakeWindowRegistry> registry_;
  std::function<void()> changed_;
};

FakeWindows::FakeWindows()
    : registry_(std::make_shared<FakeWindowRegistry>()),
      screens_{Screen{Rect{{0, 0}, {1440, 900}}, Rect{{0, 0}, {1440, 875}}}},
      measure_([](std::string_view text, const Font& font) {
        return static_cast<double>(text.size()) * font.size * 0.5;
      }) {}

FakeWindows::~FakeWindows() = default;

std::optional<Screen> FakeWindows::mainScreen() {
  if (mainScreen_) return mainScreen_;
  if (screens_.empty()) return std::nullopt;
  return screens_.front();
}

int FakeWindows::windowLevelForKey(WindowLevelKey key) {
  switch (key) {
    case WindowLevelKey::desktopIcon:
      return kDesktopIconLevel;
  }
  return window_levels::normal;
}

std::unique_ptr<Window> FakeWindows::createWindow(const WindowSpec& spec) {
  ++created_;
  return std::unique_ptr<FakeWindow>(new FakeWindow(registry_, spec));
}

std::unique_ptr<StatusPanel> FakeWindows::createStatusPanel(const WindowSpec& spec) {
  ++created_;
  return std::unique_ptr<FakeStatusPanel>(new FakeStatusPanel(registry_, spec));
}

std::unique_ptr<ContentWindow> FakeWindows::createContentWindow(const WindowSpec& spec) {
  ++created_;
  return std::unique_ptr<FakeContentWindow>(new FakeContentWindow(registry_, spec));
}

double FakeWindows::textWidth(std::string_view text, const Font& font) {
  return measure_(text, font);
}

std::unique_ptr<Observation> FakeWindows::observeDisplayOptions(std::function<void()> changed) {
  return std::make_unique<DisplayOptionsObservation>(registry_, std::move(changed));
}

void FakeWindows::setTextWidth(std::function<double(std::string_view, const Font&)> measure) {
  measure_ = std::move(measure);
}

void FakeWindows::setRunningApplications(std::vector<RunningApplication> applications) {
  applications_ = std::move(applications);
}

void FakeWindows::setFrontmostApplication(std::optional<RunningApplication> application) {
  frontmost_ = std::move(application);
}

void FakeWindows::setReduceMotion(bool on) {
  reduceMotion_ = on;
  const auto observers = registry_->displayOptionObservers;
  for (auto* changed : observers) {
    if (std::find(registry_->displayOptionObservers.begin(),
                  registry_->displayOptionObservers.end(),
                  changed) != registry_->displayOptionObservers.end()) {
      (*changed)();
    }
  }
}

std::vector<FakeWindow*> FakeWindows::windows() const {
  return registry_->windows;
}

std::vector<FakeStatusPanel*> FakeWindows::statusPanels() const {
  std::vector<FakeStatusPanel*> panels;
  for (FakeWindow* window : registry_->windows) {
    if (auto* panel = dynamic_cast<FakeStatusPanel*>(window)) panels.push_back(panel);
  }
  return panels;
}

std::vector<FakeContentWindow*> FakeWindows::contentWindows() const {
  std::vector<FakeContentWindow*> windows;
  for (FakeWindow* window : registry_->windows) {
    if (auto* content = dynamic_cast<FakeContentWindow*>(window)) windows.push_back(content);
  }
  return windows;
}

int FakeWindows::displayOptionObserverCount() const {
  return static_cast<int>(registry_->displayOptionObservers.size());
}

}  // namespace deskplay::platform::testing
