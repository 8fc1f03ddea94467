#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/result.hpp"
#include "platform/geometry.hpp"
#include "platform/workspace.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/window_server.hpp"

namespace deskplay::simdesk {

// One open panel: an application's question "which folder?".
struct OpenPanel {
  std::uint64_t id = 0;
  platform::ProcessId owner = 0;
  platform::FolderChoice choice;
  std::uint32_t window = 0;          // while shown
  std::vector<std::string> folders;  // the starting folder's visible folders, sorted
  std::optional<std::size_t> selected;
};

// The modal open panels that choose a folder. One shows at a time, centred on the main
// screen above normal windows, listing the folders of its starting folder; later ones wait
// their turn. The person selects a folder and presses the prompt's button (with nothing
// selected, the starting folder itself is chosen) or Cancel; `simdeskctl open-panel` answers
// for them. Main thread only.
class OpenPanels {
 public:
  static constexpr double kWidth = 520;
  static constexpr double kHeight = 360;
  static constexpr double kListTop = 56;
  static constexpr double kRowHeight = 22;
  // The buttons, in the panel's coordinates (top-left origin).
  static constexpr platform::Rect kCancelButton{{300, 316}, {96, 28}};
  static constexpr platform::Rect kChooseButton{{408, 316}, {96, 28}};

  OpenPanels(WindowServer& windows, Screens& screens);

  std::uint64_t run(platform::ProcessId owner, platform::FolderChoice choice);
  // Answers the panel on screen; an error when none is shown, or when the folder is not one.
  Status choose(const std::filesystem::path& folder);
  Status cancel();
  // The person clicks in the shown panel (its coordinates).
  void click(platform::Point location);
  // The owner went away: its panels go without an answer.
  void removeAllOf(platform::ProcessId owner);

  const OpenPanel* shown() const { return queue_.empty() ? nullptr : &queue_.front(); }
  std::size_t waiting() const { return queue_.size(); }

  // Called with every answer: a folder, or nothing for cancel.
  void addAnswerListener(
      std::function<void(const OpenPanel&, const std::optional<std::filesystem::path>&)> listener);

 private:
  void showFront();
  void answer(std::optional<std::filesystem::path> folder);

  WindowServer& windows_;
  Screens& screens_;
  std::deque<OpenPanel> queue_;
  std::uint64_t nextId_ = 1;
  std::vector<std::function<void(const OpenPanel&, const std::optional<std::filesystem::path>&)>>
      listeners_;
};

}  // namespace deskplay::simdesk
