#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/result.hpp"
#include "platform/clock.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/desktop_grid.hpp"
#include "sim/simdesk/model/desktop_item.hpp"
#include "sim/simdesk/model/icon_view_options.hpp"
#include "sim/simdesk/model/position_store.hpp"
#include "sim/simdesk/model/screens.hpp"
#include "sim/simdesk/model/text_measure.hpp"
#include "sim/simdesk/model/window_server.hpp"

class QTimer;

namespace deskplay::simdesk {

class DesktopWatcher;

enum class FinderState { running, launching, notRunning };
// What happens after Finder is killed: `killall Finder` has the system relaunch it, a quit
// through scripting or simdeskctl leaves it quit.
enum class AfterQuit { stayQuit, relaunch };

// A Finder window: the folder it shows and the items selected in it.
struct FinderWindow {
  std::uint32_t number = 0;  // the window server's number
  std::filesystem::path target;
  std::vector<std::filesystem::path> selection;
  // The folder's visible entries when the window opened, each with an id unique among all
  // Finder window entries.
  struct Entry {
    std::uint64_t id = 0;
    std::string name;
    std::filesystem::path path;
    bool folder = false;
  };
  std::vector<Entry> entries;
};

// What changed, for listeners (the renderer's view, the server's notices).
enum class FinderChange { state, items, options, windows };

// Finder: its process life, the desktop items (the visible entries of $HOME/Desktop, kept in
// step with the folder by an inotify watch while a Qt event loop runs, or by `refresh`), their
// positions, labels, comments and icons, the desktop's icon view options, and its windows.
// Main thread only.
class Finder {
 public:
  // How long a launch takes before Finder answers.
  static constexpr platform::Clock::Seconds kLaunchTime{1.0};

  using ItemMap = std::map<std::uint64_t, DesktopItem>;  // ordered by id: creation order

  struct Context {
    std::filesystem::path home;
    platform::Clock& clock;
    Screens& screens;
    Applications& applications;
    WindowServer& windowServer;
    TextMeasure measure;
  };
  enum class Watching { automatic, manual };

  // Finder starts running at once: reads its preferences and the Desktop.
  Finder(Context context, Watching watching);
  ~Finder();
  Finder(const Finder&) = delete;
  Finder& operator=(const Finder&) = delete;

  // --- process life -----------------------------------------------------------------------
  FinderState state();
  bool isRunning() { return state() == FinderState::running; }
  std::optional<platform::ProcessId> pid();
  // Quits: closes its windows, saves positions, leaves the running applications. Error when
  // Finder does not run.
  Status quit(AfterQuit after);
  // Starts Finder when it does not run (it answers after kLaunchTime); activates it when it
  // runs; nothing while it is launching.
  void launch();
  // Applies a launch whose time has come. Every non-const query does this too; the const
  // accessors (options, windows) show the state as of the last one.
  void settle();
  // Time until the pending launch completes; nothing when none is pending.
  std::optional<platform::Clock::Seconds> timeToNextTransition() const;

  // --- desktop items ----------------------------------------------------------------------
  const std::filesystem::path& desktopFolder() const { return desktop_; }
  // Reads the whole Desktop folder again (synchronously), placing new items.
  void refresh();
  // Re-reads one path (a file-system-changed notice); anything outside the Desktop folder
  // is ignored.
  void noteFileSystemChanged(const std::filesystem::path& path);
  // The items while Finder runs; empty otherwise.
  const ItemMap& items();
  const DesktopItem* itemById(std::uint64_t id);
  const DesktopItem* itemNamed(std::string_view name);
  // A desktop item by absolute path (its parent must be the Desktop folder).
  const DesktopItem* itemAtPath(const std::filesystem::path& path);
  // The frontmost item whose icon or label contains the top-left-origin point.
  const DesktopItem* itemAt(platform::Point point);

  // Finder scripting: `set desktop position of … to {x, y}`. Snaps to the grid or is ignored
  // by an arrangement as Finder does. Errors when Finder does not run or the path is no
  // desktop item.
  Status setDesktopPosition(const std::filesystem::path& path, platform::Point centre);
  // Label index 0–7 of any file (stored in its FinderInfo, as Finder does).
  Status setLabelIndex(const std::filesystem::path& path, int labelIndex);
  // Spotlight comment of any file (stored in its kMDItemFinderComment attribute).
  Status setComment(const std::filesystem::path& path, const std::string& comment);
  Status setExtensionHidden(const std::filesystem::path& path, bool hidden);
  // Reading any file's Finder metadata, desktop item or not.
  Result<int> labelIndexOf(const std::filesystem::path& path);
  Result<std::string> commentOf(const std::filesystem::path& path);
  Result<bool> extensionHiddenOf(const std::filesystem::path& path);

  // Geometry of an item's icon and label, top-left origin.
  platform::Rect iconFrame(const DesktopItem& item) const;
  platform::Rect labelFrame(const DesktopItem& item) const;
  const DesktopGrid& grid() const { return grid_; }
  // The text measure labels are laid out with.
  const TextMeasure& measure() const { return context_.measure; }

  // --- icon view options of the desktop ----------------------------------------------------
  const IconViewOptions& iconViewOptions() const { return options_; }
  // Applied at once (scripting); the preferences file is read only when Finder starts.
  void setIconSize(long long size);
  void setTextSize(long long size);
  void setLabelPosition(LabelPosition position);
  void setArrangement(Arrangement arrangement);
  void setShowsItemInfo(bool shows);
  void setShowsIconPreview(bool shows);
  void setBackgroundColor(std::optional<platform::Color> color);

  // --- windows ----------------------------------------------------------------------------
  // NSWorkspace activateFileViewerSelecting: opens a window on the folder of the first
  // file with the files selected, and brings Finder to the front. A Finder that does not run
  // is launched and opens the window when it is up.
  void reveal(const std::vector<std::filesystem::path>& files);
  // Opens a window on a folder.
  void openFolder(const std::filesystem::path& folder);
  void closeAllWindows();
  const std::vector<FinderWindow>& windows() const { return windows_; }
  const FinderWindow* windowByNumber(std::uint32_t number) const;

  // Writes the positions to the state file now when they changed.
  void savePositions();
  void addChangeListener(std::function<void(FinderChange)> listener);
  // How many times Finder has started (the first start counts).
  int launchCount() const { return launches_; }

 private:
  void start();
  void stop();
  void changed(FinderChange change);
  void scanAll();
  void updateEntry(const std::string& name);
  void removeItem(const std::string& name);
  void finishBatch();
  void place(DesktopItem& item);
  void moveItem(DesktopItem& item, platform::Point position);
  void layOut();
  void applyArrangement();
  void snapAll();
  void optionsChanged();
  void ensureOccupancy();
  std::size_t firstFreeSlot();
  std::size_t nearestFreeSlot(platform::Point point);
  void scheduleSave();
  void openWindow(const std::filesystem::path& target,
                  std::vector<std::filesystem::path> selection);
  void screensChanged();
  void watcherReported(const std::vector<std::string>& names, bool everything);
  DesktopItem* mutableItemAtPath(const std::filesystem::path& path);
  Status requireRunning();

  Context context_;
  std::filesystem::path desktop_;
  FinderState state_ = FinderState::notRunning;
  std::optional<platform::Clock::Seconds> launchDoneAt_;
  std::optional<platform::ProcessId> pid_;
  platform::ProcessId nextPid_ = Applications::kFirstFinderPid;
  int launches_ = 0;

  IconViewOptions options_;
  ItemMap items_;
  ItemMap emptyItems_;
  std::unordered_map<std::string, std::uint64_t> idByName_;
  std::uint64_t nextItemId_ = 1;
  PositionStore positions_;
  DesktopGrid grid_;
  // How many items sit on each grid slot (by nearest slot), rebuilt when the grid changes.
  std::unordered_map<std::size_t, int> occupancy_;
  bool occupancyValid_ = false;
  std::size_t freeHint_ = 0;

  // Where items that went in the current batch of changes stood, by file id, so that a
  // renamed item keeps its place.
  struct Gone {
    std::string name;
    platform::Point position;
  };
  std::unordered_map<std::uint64_t, Gone> goneThisBatch_;
  std::vector<FinderWindow> windows_;
  std::vector<std::filesystem::path> pendingReveal_;
  std::uint64_t nextWindowEntryId_ = 1;

  std::unique_ptr<DesktopWatcher> watcher_;
  std::unique_ptr<QTimer> saveTimer_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::vector<std::function<void(FinderChange)>> listeners_;
};

}  // namespace deskplay::simdesk
