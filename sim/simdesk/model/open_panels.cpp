#include "sim/simdesk/model/open_panels.hpp"

#include <algorithm>
#include <system_error>

#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {

namespace {

std::vector<std::string> visibleFolders(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code kindError;
    if (it->is_directory(kindError)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

OpenPanels::OpenPanels(WindowServer& windows, Screens& screens)
    : windows_(windows), screens_(screens) {}

std::uint64_t OpenPanels::run(platform::ProcessId owner, platform::FolderChoice choice) {
  OpenPanel panel;
  panel.id = nextId_++;
  panel.owner = owner;
  panel.choice = std::move(choice);
  queue_.push_back(std::move(panel));
  if (queue_.size() == 1) showFront();
  return queue_.back().id;
}

void OpenPanels::showFront() {
  if (queue_.empty()) return;
  OpenPanel& panel = queue_.front();
  panel.folders = visibleFolders(panel.choice.startingFolder);
  const platform::Rect area = screens_.desktopArea();
  const platform::Rect topLeft{{area.minX() + (area.size.width - kWidth) / 2,
                                area.minY() + (area.size.height - kHeight) / 2},
                               {kWidth, kHeight}};
  panel.window = windows_.createWindow(
      panel.owner, platform::WindowSpec{screens_.toBottomLeft(topLeft)}, WindowRole::openPanel);
  platform::WindowTraits traits;
  traits.level = levels::modalPanel;
  (void)windows_.configure(panel.window, traits);
  (void)windows_.setTitle(panel.window, panel.choice.prompt.empty() ? "Open" : panel.choice.prompt);
  (void)windows_.orderFront(panel.window);
}

void OpenPanels::answer(std::optional<std::filesystem::path> folder) {
  const OpenPanel panel = std::move(queue_.front());
  queue_.pop_front();
  (void)windows_.close(panel.window);
  for (const auto& listener : listeners_) listener(panel, folder);
  showFront();
}

Status OpenPanels::choose(const std::filesystem::path& folder) {
  if (queue_.empty()) return Error{"no open panel is shown"};
  std::error_code error;
  if (!folder.is_absolute() || !std::filesystem::is_directory(folder, error)) {
    return Error{"not a folder: " + folder.string()};
  }
  answer(folder);
  return Status::success();
}

Status OpenPanels::cancel() {
  if (queue_.empty()) return Error{"no open panel is shown"};
  answer(std::nullopt);
  return Status::success();
}

void OpenPanels::click(platform::Point location) {
  if (queue_.empty()) return;
  OpenPanel& panel = queue_.front();
  if (kCancelButton.contains(location)) {
    answer(std::nullopt);
    return;
  }
  if (kChooseButton.contains(location)) {
    answer(panel.selected ? panel.choice.startingFolder / panel.folders[*panel.selected]
                          : panel.choice.startingFolder);
    return;
  }
  if (location.y < kListTop || location.x < 16 || location.x >= kWidth - 16) return;
  const auto row = static_cast<std::size_t>((location.y - kListTop) / kRowHeight);
  if (row < panel.folders.size()) {
    panel.selected = row;
    windows_.contentChanged(panel.window);
  }
}

void OpenPanels::removeAllOf(platform::ProcessId owner) {
  const bool frontGoes = !queue_.empty() && queue_.front().owner == owner;
  if (frontGoes) (void)windows_.close(queue_.front().window);
  std::erase_if(queue_, [owner](const OpenPanel& panel) { return panel.owner == owner; });
  if (frontGoes) showFront();
}

void OpenPanels::addAnswerListener(
    std::function<void(const OpenPanel&, const std::optional<std::filesystem::path>&)> listener) {
  listeners_.push_back(std::move(listener));
}

}  // namespace deskplay::simdesk
