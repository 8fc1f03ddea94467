#include "sim/simdesk/model/application_input.hpp"

#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {

using platform::Event;
using platform::EventType;
using platform::WindowInput;

namespace {

bool isKey(EventType type) {
  return type == EventType::keyDown || type == EventType::keyUp;
}

bool isPress(EventType type) {
  return type == EventType::leftMouseDown || type == EventType::rightMouseDown;
}

bool isDrag(EventType type) {
  return type == EventType::leftMouseDragged || type == EventType::rightMouseDragged;
}

bool isRelease(EventType type) {
  return type == EventType::leftMouseUp || type == EventType::rightMouseUp;
}

platform::PointerButton buttonOf(EventType type) {
  switch (type) {
    case EventType::leftMouseDown:
    case EventType::leftMouseUp:
    case EventType::leftMouseDragged:
      return platform::PointerButton::left;
    case EventType::rightMouseDown:
    case EventType::rightMouseUp:
    case EventType::rightMouseDragged:
      return platform::PointerButton::right;
    default:
      return platform::PointerButton::none;
  }
}

}  // namespace

ApplicationInput::ApplicationInput(Screens& screens, WindowServer& windows, StatusBar& statusBar)
    : screens_(screens), windows_(windows), statusBar_(statusBar) {}

bool ApplicationInput::insideMenuBar(platform::Point location) const {
  const auto bar = screens_.menuBarFrame();
  return bar && bar->contains(location);
}

ApplicationInput::Hit ApplicationInput::hitTest(platform::Point location) const {
  const auto dock = screens_.dockFrame();
  bool barChecked = false;
  auto barHit = [&]() -> std::optional<Hit> {
    barChecked = true;
    if (!insideMenuBar(location)) return std::nullopt;
    if (const StatusItem* item = statusBar_.itemAt(location)) {
      return Hit{Hit::Kind::statusItem, item->id, 0, item->owner};
    }
    return Hit{};
  };
  for (const SimWindow* window : windows_.onScreenOrder()) {
    if (!barChecked && window->traits.level <= levels::status) {
      if (auto hit = barHit()) return *hit;
    }
    if (window->traits.level < levels::dock && dock && dock->contains(location)) return Hit{};
    if (window->traits.ignoresMouseEvents) continue;
    if (!screens_.toTopLeft(window->frame).contains(location)) continue;
    return Hit{Hit::Kind::window, 0, window->number, window->owner};
  }
  if (!barChecked) {
    if (auto hit = barHit()) return *hit;
  }
  return Hit{};
}

const SimWindow* ApplicationInput::inputWindow(const Hit& hit) const {
  if (hit.kind != Hit::Kind::window) return nullptr;
  const SimWindow* window = windows_.window(hit.window);
  if (window == nullptr) return nullptr;
  if (window->role != WindowRole::content && window->role != WindowRole::openPanel) return nullptr;
  return window;
}

std::optional<platform::ProcessId> ApplicationInput::claim(const Event& event) {
  if (isKey(event.type)) {
    const auto key = windows_.keyWindow();
    const SimWindow* window = key ? windows_.window(*key) : nullptr;
    if (window == nullptr) return std::nullopt;
    return window->owner;
  }
  if (isPress(event.type)) capture_ = hitTest(event.location);
  Hit hit;
  if (isPress(event.type) || isDrag(event.type) || isRelease(event.type)) {
    if (!capture_) return std::nullopt;
    hit = *capture_;
  } else if (event.type == EventType::mouseMoved || event.type == EventType::scrollWheel) {
    hit = hitTest(event.location);
  } else {
    return std::nullopt;
  }
  if (hit.kind == Hit::Kind::statusItem || inputWindow(hit) != nullptr) return hit.owner;
  return std::nullopt;
}

void ApplicationInput::sendToWindow(std::uint32_t number, WindowInput input,
                                    platform::Point globalLocation) {
  const SimWindow* window = windows_.window(number);
  if (window == nullptr || window->role != WindowRole::content || !sinks_.windowInput) return;
  const platform::Rect frame = screens_.toTopLeft(window->frame);
  input.location = {globalLocation.x - frame.minX(), globalLocation.y - frame.minY()};
  sinks_.windowInput(*window, input);
}

void ApplicationInput::delivered(const Event& event) {
  WindowInput input;
  input.flags = event.flags;
  input.button = buttonOf(event.type);
  if (isKey(event.type)) {
    const auto key = windows_.keyWindow();
    if (!key) return;
    input.kind =
        event.type == EventType::keyDown ? WindowInput::Kind::keyDown : WindowInput::Kind::keyUp;
    input.keyCode = event.keyCode;
    input.characters = event.characters;
    input.charactersIgnoringModifiers = event.charactersIgnoringModifiers;
    sendToWindow(*key, std::move(input), event.location);
    return;
  }
  if (isPress(event.type)) {
    mouseDown(event);
    return;
  }
  if (isDrag(event.type)) {
    if (!capture_) return;
    if (gesture_ && capture_->kind == Hit::Kind::statusItem) {
      gesture_->endedOutsideBar = !insideMenuBar(event.location);
    }
    if (capture_->kind == Hit::Kind::window) {
      input.kind = WindowInput::Kind::mouseDragged;
      sendToWindow(capture_->window, std::move(input), event.location);
    }
    return;
  }
  if (isRelease(event.type)) {
    const std::optional<Hit> capture = std::exchange(capture_, std::nullopt);
    if (!capture) return;
    if (capture->kind == Hit::Kind::statusItem && gesture_) {
      gesture_->released = true;
      gesture_->endedOutsideBar = !insideMenuBar(event.location);
      settleGesture();
    }
    if (capture->kind == Hit::Kind::window) {
      input.kind = WindowInput::Kind::mouseUp;
      sendToWindow(capture->window, std::move(input), event.location);
    }
    return;
  }
  if (event.type == EventType::mouseMoved) {
    hover(hitTest(event.location), event);
    return;
  }
  if (event.type == EventType::scrollWheel) {
    const Hit hit = hitTest(event.location);
    if (hit.kind != Hit::Kind::window) return;
    input.kind = WindowInput::Kind::scrollWheel;
    input.scrollDeltaX = event.scrollDeltaX;
    input.scrollDeltaY = event.scrollDeltaY;
    sendToWindow(hit.window, std::move(input), event.location);
  }
}

void ApplicationInput::mouseDown(const Event& event) {
  const Hit hit = capture_ ? *capture_ : hitTest(event.location);
  // A click anywhere but in the key window makes it resign, before the click lands.
  if (const auto key = windows_.keyWindow()) {
    if (hit.kind != Hit::Kind::window || hit.window != *key) (void)windows_.resignKey(*key);
  }
  if (hit.kind == Hit::Kind::statusItem) {
    const StatusItem* item = statusBar_.item(hit.item);
    if (item == nullptr) return;
    StatusItemPress press;
    press.press = nextPress_++;
    press.item = item->id;
    press.click.button = buttonOf(event.type);
    press.click.flags = event.flags;
    press.click.location = event.location;
    ItemGesture gesture;
    gesture.press = press.press;
    gesture.item = item->id;
    gesture.command = (event.flags & platform::event_flags::command) != 0;
    gesture_ = gesture;
    if (sinks_.statusItemPressed) sinks_.statusItemPressed(*item, press);
    return;
  }
  const SimWindow* window = inputWindow(hit);
  if (window == nullptr) return;
  if (window->role == WindowRole::openPanel) {
    if (event.type != EventType::leftMouseDown || !sinks_.openPanelClicked) return;
    const platform::Rect frame = screens_.toTopLeft(window->frame);
    sinks_.openPanelClicked(*window,
                            {event.location.x - frame.minX(), event.location.y - frame.minY()});
    return;
  }
  WindowInput input;
  input.kind = WindowInput::Kind::mouseDown;
  input.button = buttonOf(event.type);
  input.flags = event.flags;
  sendToWindow(window->number, std::move(input), event.location);
}

void ApplicationInput::hover(const Hit& hit, const Event& event) {
  const SimWindow* window = inputWindow(hit);
  const std::optional<std::uint32_t> now = window != nullptr && window->role == WindowRole::content
                                               ? std::optional<std::uint32_t>(window->number)
                                               : std::nullopt;
  WindowInput input;
  input.flags = event.flags;
  if (hovered_ != now) {
    if (hovered_) {
      input.kind = WindowInput::Kind::mouseExited;
      sendToWindow(*hovered_, input, event.location);
    }
    if (now) {
      input.kind = WindowInput::Kind::mouseEntered;
      sendToWindow(*now, input, event.location);
    }
    hovered_ = now;
  }
  if (now) {
    input.kind = WindowInput::Kind::mouseMoved;
    sendToWindow(*now, input, event.location);
  }
}

void ApplicationInput::answerPress(std::uint64_t press, platform::ClickVerdict verdict) {
  if (!gesture_ || gesture_->press != press || gesture_->verdict) return;
  gesture_->verdict = verdict;
  settleGesture();
}

void ApplicationInput::settleGesture() {
  if (!gesture_ || !gesture_->released || !gesture_->verdict) return;
  const ItemGesture gesture = *gesture_;
  gesture_.reset();
  if (gesture.command && gesture.endedOutsideBar &&
      *gesture.verdict == platform::ClickVerdict::pass) {
    (void)statusBar_.dragOut(gesture.item);
  }
}

}  // namespace deskplay::simdesk
