#include "sim/simdesk/model/window_server.hpp"

#include <algorithm>

#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {

std::string_view windowRoleName(WindowRole role) {
  switch (role) {
    case WindowRole::window:
      return "window";
    case WindowRole::statusPanel:
      return "statusPanel";
    case WindowRole::finderWindow:
      return "finderWindow";
    case WindowRole::content:
      return "content";
    case WindowRole::openPanel:
      return "openPanel";
  }
  return "window";
}

using platform::ProcessId;

namespace {

Error unknownWindow(std::uint32_t number) {
  return Error{"no window with number " + std::to_string(number)};
}

}  // namespace

WindowServer::WindowServer(Screens& screens, Applications& applications)
    : screens_(screens), applications_(applications) {
  applications_.addVisibilityListener([this](ProcessId pid) { applicationVisibilityChanged(pid); });
}

std::uint32_t WindowServer::createWindow(ProcessId owner, const platform::WindowSpec& spec,
                                         WindowRole role) {
  SimWindow window;
  window.number = nextNumber_++;
  window.owner = owner;
  window.role = role;
  window.spec = spec;
  window.frame = spec.contentRect;
  const std::uint32_t number = window.number;
  windows_.emplace(number, std::move(window));
  changed(number);
  return number;
}

SimWindow* WindowServer::find(std::uint32_t number) {
  auto it = windows_.find(number);
  return it == windows_.end() ? nullptr : &it->second;
}

const SimWindow* WindowServer::window(std::uint32_t number) const {
  auto it = windows_.find(number);
  return it == windows_.end() ? nullptr : &it->second;
}

Status WindowServer::configure(std::uint32_t number, const platform::WindowTraits& traits) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->traits = traits;
  changed(number);
  return Status::success();
}

Status WindowServer::setFrame(std::uint32_t number, const platform::Rect& frame) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->frame = frame;
  changed(number);
  return Status::success();
}

Status WindowServer::setTitle(std::uint32_t number, std::string title) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->title = std::move(title);
  changed(number);
  return Status::success();
}

Status WindowServer::orderFront(std::uint32_t number) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->ordered = true;
  // Ordering a window in shows it even while its application is hidden.
  window->hiddenWithApp = false;
  window->orderStamp = nextStamp_++;
  changed(number);
  return Status::success();
}

Status WindowServer::orderOut(std::uint32_t number) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  // A window that leaves the screen is no longer key.
  if (key_ == number) (void)resignKey(number);
  window->ordered = false;
  changed(number);
  return Status::success();
}

Status WindowServer::setStatusContent(std::uint32_t number,
                                      const platform::StatusPanel::Content& content) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->statusContent = content;
  changed(number);
  return Status::success();
}

Status WindowServer::setAlpha(std::uint32_t number, double alpha) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->alpha = std::clamp(alpha, 0.0, 1.0);
  changed(number);
  return Status::success();
}

Status WindowServer::setAccessibility(std::uint32_t number,
                                      std::vector<platform::AccessibleNode> roots) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  window->accessibility = std::move(roots);
  return Status::success();
}

Result<WindowSurface*> WindowServer::resizeSurface(std::uint32_t number, int width, int height) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  if (window->role != WindowRole::content) return Error{"only content windows take pixels"};
  if (!window->surface) window->surface = std::make_shared<WindowSurface>();
  if (window->surface->width() != width || window->surface->height() != height) {
    window->surface->resize(width, height);
  }
  return window->surface.get();
}

void WindowServer::contentChanged(std::uint32_t number) {
  if (find(number) != nullptr) changed(number);
}

Status WindowServer::makeKey(std::uint32_t number) {
  SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  if (key_ && *key_ != number) {
    if (Status resigned = resignKey(*key_); !resigned.ok()) return resigned;
  }
  if (Status ordered = orderFront(number); !ordered.ok()) return ordered;
  if (key_ == number) return Status::success();
  key_ = number;
  for (const auto& listener : keyListeners_) listener(*window, platform::KeyState::became);
  return Status::success();
}

Status WindowServer::resignKey(std::uint32_t number) {
  const SimWindow* window = find(number);
  if (!window) return unknownWindow(number);
  if (key_ != number) return Status::success();
  key_.reset();
  for (const auto& listener : keyListeners_) listener(*window, platform::KeyState::resigned);
  return Status::success();
}

void WindowServer::addKeyListener(
    std::function<void(const SimWindow&, platform::KeyState)> listener) {
  keyListeners_.push_back(std::move(listener));
}

Status WindowServer::close(std::uint32_t number) {
  if (key_ == number) key_.reset();
  if (windows_.erase(number) == 0) return unknownWindow(number);
  changed(number);
  return Status::success();
}

void WindowServer::closeAllOf(ProcessId owner) {
  std::vector<std::uint32_t> closed;
  for (auto it = windows_.begin(); it != windows_.end();) {
    if (it->second.owner == owner) {
      if (key_ == it->first) key_.reset();
      closed.push_back(it->first);
      it = windows_.erase(it);
    } else {
      ++it;
    }
  }
  for (std::uint32_t number : closed) changed(number);
}

std::vector<const SimWindow*> WindowServer::windowsOf(ProcessId owner) const {
  std::vector<const SimWindow*> result;
  for (const auto& [number, window] : windows_) {
    if (window.owner == owner) result.push_back(&window);
  }
  return result;
}

std::vector<const SimWindow*> WindowServer::onScreenOrder() const {
  std::vector<const SimWindow*> result;
  for (const auto& [number, window] : windows_) {
    if (window.onScreen()) result.push_back(&window);
  }
  std::sort(result.begin(), result.end(), [](const SimWindow* a, const SimWindow* b) {
    if (a->traits.level != b->traits.level) return a->traits.level > b->traits.level;
    return a->orderStamp > b->orderStamp;
  });
  return result;
}

std::vector<platform::WindowInfo> WindowServer::onScreenWindowList() const {
  struct Entry {
    int level;
    std::uint64_t stamp;
    platform::WindowInfo info;
  };
  std::vector<Entry> entries;
  if (auto menuBar = screens_.menuBarFrame()) {
    // The menu bar belongs to the window server itself.
    entries.push_back(
        {levels::mainMenu, 0,
         platform::WindowInfo{1, 0, "Window Server", "Menubar", levels::mainMenu, *menuBar}});
  }
  if (auto dock = screens_.dockFrame()) {
    entries.push_back(
        {levels::dock, 0,
         platform::WindowInfo{2, Applications::kDockPid, std::string(Applications::kDockName),
                              "Dock", levels::dock, *dock}});
  }
  for (const auto& [number, window] : windows_) {
    if (!window.onScreen()) continue;
    const Application* owner = applications_.byPid(window.owner);
    entries.push_back({window.traits.level, window.orderStamp,
                       platform::WindowInfo{
                           window.number, window.owner, owner ? owner->name : std::string(),
                           window.title, window.traits.level, screens_.toTopLeft(window.frame)}});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.level != b.level) return a.level > b.level;
    return a.stamp > b.stamp;
  });
  std::vector<platform::WindowInfo> result;
  result.reserve(entries.size());
  for (auto& entry : entries) result.push_back(std::move(entry.info));
  return result;
}

void WindowServer::addChangeListener(std::function<void(std::uint32_t)> listener) {
  listeners_.push_back(std::move(listener));
}

void WindowServer::changed(std::uint32_t number) {
  for (auto& listener : listeners_) listener(number);
}

void WindowServer::applicationVisibilityChanged(ProcessId pid) {
  const Application* application = applications_.byPid(pid);
  const bool hidden = application != nullptr && !application->visible;
  for (auto& [number, window] : windows_) {
    if (window.owner != pid) continue;
    // Panels that cannot hide stay when their application hides (the status panel does).
    const bool hides = hidden && window.traits.canHide;
    if (window.hiddenWithApp == hides) continue;
    window.hiddenWithApp = hides;
    changed(number);
  }
}

}  // namespace deskplay::simdesk
