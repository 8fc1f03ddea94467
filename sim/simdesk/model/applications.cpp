#include "sim/simdesk/model/applications.hpp"

#include <algorithm>
#include <utility>

namespace deskplay::simdesk {

using platform::ProcessId;
using platform::RunningApplication;

std::vector<std::string> menuBarTitles(const Application& application) {
  if (application.name == Applications::kFinderName) {
    return {"Apple", "Finder", "File", "Edit", "View", "Go", "Window", "Help"};
  }
  return {"Apple", application.name};
}

Applications::Applications() {
  add(Application{kDockPid, std::string(kDockName), "com.apple.dock", ApplicationRole::system,
                  true});
  add(Application{kSystemUIServerPid, std::string(kSystemUIServerName),
                  "com.apple.systemuiserver", ApplicationRole::system, true});
}

void Applications::registerClient(ProcessId pid, std::string name,
                                  std::optional<std::string> bundleIdentifier) {
  if (Application* existing = find(pid)) {
    existing->name = std::move(name);
    existing->bundleIdentifier = std::move(bundleIdentifier);
    return;
  }
  add(Application{pid, std::move(name), std::move(bundleIdentifier), ApplicationRole::client,
                  true});
}

void Applications::add(Application application) {
  if (Application* existing = find(application.pid)) {
    *existing = std::move(application);
    return;
  }
  applications_.push_back(std::move(application));
}

void Applications::remove(ProcessId pid) {
  auto it = std::find_if(applications_.begin(), applications_.end(),
                         [pid](const Application& a) { return a.pid == pid; });
  if (it == applications_.end()) return;
  applications_.erase(it);
  if (frontmost_ == pid) {
    // The window server hands the focus to Finder when it runs.
    const Application* finder = byName(kFinderName);
    frontmost_ = finder ? std::optional<ProcessId>(finder->pid) : std::nullopt;
  }
  for (auto& listener : visibilityListeners_) listener(pid);
}

const Application* Applications::byPid(ProcessId pid) const {
  auto it = std::find_if(applications_.begin(), applications_.end(),
                         [pid](const Application& a) { return a.pid == pid; });
  return it == applications_.end() ? nullptr : &*it;
}

Application* Applications::find(ProcessId pid) {
  return const_cast<Application*>(std::as_const(*this).byPid(pid));
}

const Application* Applications::byName(std::string_view name) const {
  auto it = std::find_if(applications_.begin(), applications_.end(),
                         [name](const Application& a) { return a.name == name; });
  return it == applications_.end() ? nullptr : &*it;
}

std::vector<RunningApplication> Applications::running() const {
  std::vector<RunningApplication> result;
  result.reserve(applications_.size());
  for (const Application& a : applications_) {
    result.push_back(RunningApplication{a.pid, a.bundleIdentifier, a.name});
  }
  return result;
}

std::optional<RunningApplication> Applications::frontmostApplication() const {
  if (!frontmost_) return std::nullopt;
  const Application* a = byPid(*frontmost_);
  if (!a) return std::nullopt;
  return RunningApplication{a->pid, a->bundleIdentifier, a->name};
}

bool Applications::activate(ProcessId pid) {
  Application* a = find(pid);
  if (!a) return false;
  frontmost_ = pid;
  if (!a->visible) setVisible(pid, true);
  return true;
}

bool Applications::setVisible(ProcessId pid, bool visible) {
  Application* a = find(pid);
  if (!a) return false;
  if (a->visible == visible) return true;
  a->visible = visible;
  if (!visible && frontmost_ == pid) {
    const Application* finder = byName(kFinderName);
    if (finder && finder->pid != pid) frontmost_ = finder->pid;
  }
  for (auto& listener : visibilityListeners_) listener(pid);
  return true;
}

void Applications::addVisibilityListener(std::function<void(ProcessId)> listener) {
  visibilityListeners_.push_back(std::move(listener));
}

}  // namespace deskplay::simdesk
