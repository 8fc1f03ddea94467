#include "sim/simdesk/model/finder.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <set>
#include <system_error>
#include <utility>

#include "sim/simdesk/model/desktop_watcher.hpp"
#include "sim/simdesk/model/finder_metadata.hpp"
#include "sim/simdesk/model/item_order.hpp"
#include "sim/simdesk/model/window_levels.hpp"

namespace deskplay::simdesk {

namespace fs = std::filesystem;
using platform::Point;
using platform::Rect;

namespace {

// Positions are saved a moment after they settle, so a running animation costs no writes.
constexpr int kSaveDelayMilliseconds = 1000;
// Finder's new windows cascade from here (top-left origin).
constexpr Point kFirstWindowOrigin{120, 90};
constexpr double kWindowCascade = 22;
constexpr platform::Size kWindowSize{800, 450};

fs::path positionsFile(const fs::path& home) {
  return home / "Library" / "Application Support" / "simdesk" / "desktop-positions.json";
}

double seconds(const struct statx_timestamp& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

double lineHeight(int textSize) { return std::round(textSize * 1.25); }

std::vector<std::string> visibleEntries(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!name.empty() && name.front() != '.') names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

Finder::Finder(Context context, Watching watching)
    : context_(std::move(context)),
      desktop_(context_.home / "Desktop"),
      positions_(positionsFile(context_.home)),
      grid_(options_, context_.screens.desktopArea()) {
  if (!context_.measure) context_.measure = estimatedTextWidth;
  positions_.load();
  std::weak_ptr<int> alive = alive_;
  context_.screens.addChangeListener([this, alive] {
    if (alive.lock()) screensChanged();
  });
  if (watching == Watching::automatic) {
    watcher_ = std::make_unique<DesktopWatcher>(
        desktop_, [this](const std::vector<std::string>& names, bool everything) {
          watcherReported(names, everything);
        });
    if (QCoreApplication::instance() != nullptr) {
      saveTimer_ = std::make_unique<QTimer>();
      saveTimer_->setSingleShot(true);
      saveTimer_->setInterval(kSaveDelayMilliseconds);
      QObject::connect(saveTimer_.get(), &QTimer::timeout, [this] { savePositions(); });
    }
  }
  start();
}

Finder::~Finder() { savePositions(); }

// --- process life ------------------------------------------------------------------------

void Finder::settle() {
  if (state_ == FinderState::launching && launchDoneAt_ &&
      context_.clock.uptime() >= *launchDoneAt_) {
    start();
  }
}

FinderState Finder::state() {
  settle();
  return state_;
}

std::optional<platform::ProcessId> Finder::pid() {
  settle();
  return pid_;
}

std::optional<platform::Clock::Seconds> Finder::timeToNextTransition() const {
  if (state_ != FinderState::launching || !launchDoneAt_) return std::nullopt;
  return std::max(platform::Clock::Seconds(0), *launchDoneAt_ - context_.clock.uptime());
}

void Finder::start() {
  ++launches_;
  launchDoneAt_.reset();
  pid_ = nextPid_++;
  context_.applications.add(Application{*pid_, std::string(Applications::kFinderName),
                                        std::string(Applications::kFinderBundle),
                                        ApplicationRole::system, true});
  context_.applications.activate(*pid_);
  // The desktop's view options come from the preferences file only now, at launch.
  options_ = readDesktopIconViewOptions(finderPreferencesFile(context_.home));
  grid_ = DesktopGrid(options_, context_.screens.desktopArea());
  occupancyValid_ = false;
  state_ = FinderState::running;
  scanAll();
  changed(FinderChange::state);
  if (!pendingReveal_.empty()) reveal(std::exchange(pendingReveal_, {}));
}

void Finder::stop() {
  savePositions();
  closeAllWindows();
  if (pid_) {
    context_.windowServer.closeAllOf(*pid_);
    context_.applications.remove(*pid_);
  }
  pid_.reset();
  items_.clear();
  idByName_.clear();
  occupancy_.clear();
  occupancyValid_ = false;
}

Status Finder::quit(AfterQuit after) {
  settle();
  if (state_ != FinderState::running) return Error{"Finder is not running"};
  stop();
  if (after == AfterQuit::relaunch) {
    state_ = FinderState::launching;
    launchDoneAt_ = context_.clock.uptime() + kLaunchTime;
  } else {
    state_ = FinderState::notRunning;
  }
  changed(FinderChange::state);
  return Status::success();
}

void Finder::launch() {
  settle();
  switch (state_) {
    case FinderState::running:
      context_.applications.activate(*pid_);
      return;
    case FinderState::launching:
      return;
    case FinderState::notRunning:
      state_ = FinderState::launching;
      launchDoneAt_ = context_.clock.uptime() + kLaunchTime;
      changed(FinderChange::state);
      return;
  }
}

Status Finder::requireRunning() {
  if (state() != FinderState::running) return Error{"Finder is not running"};
  return Status::success();
}

// --- desktop items -----------------------------------------------------------------------

void Finder::refresh() {
  settle();
  if (state_ != FinderState::running) return;
  // Pending notices would only repeat what the scan reads.
  if (watcher_) watcher_->drain();
  scanAll();
}

void Finder::scanAll() {
  const std::vector<std::string> names = visibleEntries(desktop_);
  const std::set<std::string, std::less<>> present(names.begin(), names.end());
  std::vector<std::string> gone;
  for (const auto& [id, item] : items_) {
    if (!present.contains(item.name)) gone.push_back(item.name);
  }
  for (const std::string& name : gone) removeItem(name);
  for (const std::string& name : names) updateEntry(name);
  finishBatch();
}

void Finder::watcherReported(const std::vector<std::string>& names, bool everything) {
  if (state() != FinderState::running) return;
  if (everything) {
    scanAll();
    return;
  }
  std::set<std::string> seen;
  for (const std::string& name : names) {
    if (name.empty() || name.front() == '.' || !seen.insert(name).second) continue;
    updateEntry(name);
  }
  finishBatch();
}

void Finder::noteFileSystemChanged(const fs::path& path) {
  if (state() != FinderState::running) return;
  const fs::path normal = path.lexically_normal();
  if (normal == desktop_ || normal == desktop_ / "") {
    scanAll();
    return;
  }
  if (normal.parent_path() != desktop_) return;
  const std::string name = normal.filename().string();
  if (name.empty() || name.front() == '.') return;
  updateEntry(name);
  finishBatch();
}

void Finder::updateEntry(const std::string& name) {
  const fs::path path = desktop_ / name;
  struct statx info {};
  if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
            &info) != 0) {
    removeItem(name);
    return;
  }
  auto found = idByName_.find(name);
  const bool isNew = found == idByName_.end();
  DesktopItem fresh;
  DesktopItem& item = isNew ? fresh : items_.at(found->second);
  item.name = name;
  item.path = path;
  if (S_ISLNK(info.stx_mode)) {
    item.kind = ItemKind::symbolicLink;
  } else if (S_ISDIR(info.stx_mode)) {
    item.kind = ItemKind::folder;
  } else {
    item.kind = ItemKind::file;
  }
  item.fileId = (static_cast<std::uint64_t>(info.stx_dev_major) << 56) ^
                (static_cast<std::uint64_t>(info.stx_dev_minor) << 40) ^ info.stx_ino;
  item.size = item.kind == ItemKind::file ? static_cast<std::int64_t>(info.stx_size) : 0;
  item.modified = seconds(info.stx_mtime);
  item.created = (info.stx_mask & STATX_BTIME) != 0 ? seconds(info.stx_btime)
                                                    : seconds(info.stx_ctime);
  item.folderEntries = item.isFolder() && options_.showsItemInfo
                           ? static_cast<std::int64_t>(visibleEntries(path).size())
                           : 0;
  FinderMetadata metadata = readFinderMetadata(path);
  item.labelIndex = metadata.labelIndex;
  item.extensionHidden = metadata.extensionHidden;
  item.customIconPng = std::move(metadata.customIconPng);
  item.comment = std::move(metadata.comment);
  if (!isNew) return;

  item.id = nextItemId_++;
  const std::uint64_t id = item.id;
  auto [it, inserted] = items_.emplace(id, std::move(fresh));
  idByName_.emplace(name, id);
  DesktopItem& added = it->second;
  if (auto renamed = goneThisBatch_.find(added.fileId); renamed != goneThisBatch_.end()) {
    // A rename within the Desktop: the icon stays where it was.
    added.position = {std::nan(""), std::nan("")};
    moveItem(added, renamed->second.position);
    positions_.forget(renamed->second.name);
    goneThisBatch_.erase(renamed);
  } else if (auto remembered = positions_.find(name)) {
    positions_.markPresent(name);
    added.position = {std::nan(""), std::nan("")};
    moveItem(added, *remembered);
  } else {
    place(added);
  }
}

void Finder::removeItem(const std::string& name) {
  auto found = idByName_.find(name);
  if (found == idByName_.end()) return;
  auto it = items_.find(found->second);
  goneThisBatch_[it->second.fileId] = Gone{name, it->second.position};
  if (occupancyValid_) {
    const std::size_t slot = grid_.nearestSlot(it->second.position);
    if (--occupancy_[slot] <= 0) occupancy_.erase(slot);
    freeHint_ = std::min(freeHint_, slot);
  }
  items_.erase(it);
  idByName_.erase(found);
  positions_.markAbsent(name);
}

void Finder::finishBatch() {
  goneThisBatch_.clear();
  if (options_.arrangement != Arrangement::notArranged &&
      options_.arrangement != Arrangement::snapToGrid) {
    applyArrangement();
  }
  changed(FinderChange::items);
  scheduleSave();
}

void Finder::moveItem(DesktopItem& item, Point position) {
  if (occupancyValid_) {
    if (!std::isnan(item.position.x)) {
      const std::size_t old = grid_.nearestSlot(item.position);
      if (--occupancy_[old] <= 0) occupancy_.erase(old);
      freeHint_ = std::min(freeHint_, old);
    }
    ++occupancy_[grid_.nearestSlot(position)];
  }
  item.position = position;
  positions_.set(item.name, position);
}

void Finder::place(DesktopItem& item) {
  // Not yet counted anywhere.
  item.position = {std::nan(""), std::nan("")};
  moveItem(item, grid_.slotCentre(firstFreeSlot()));
}

void Finder::ensureOccupancy() {
  if (occupancyValid_) return;
  occupancy_.clear();
  for (const auto& [id, item] : items_) {
    if (!std::isnan(item.position.x)) ++occupancy_[grid_.nearestSlot(item.position)];
  }
  freeHint_ = 0;
  occupancyValid_ = true;
}

std::size_t Finder::firstFreeSlot() {
  ensureOccupancy();
  while (occupancy_.contains(freeHint_)) ++freeHint_;
  return freeHint_;
}

std::size_t Finder::nearestFreeSlot(Point point) {
  ensureOccupancy();
  const std::size_t nearest = grid_.nearestSlot(point);
  if (!occupancy_.contains(nearest)) return nearest;
  const auto rows = static_cast<long long>(grid_.rows());
  const auto column = static_cast<long long>(nearest) / rows;
  const auto row = static_cast<long long>(nearest) % rows;
  // Rings of cells around the nearest one; the closest free centre of the first ring with
  // any free cell wins.
  for (long long ring = 1;; ++ring) {
    std::optional<std::size_t> best;
    double bestDistance = 0;
    for (long long dc = -ring; dc <= ring; ++dc) {
      for (long long dr = -ring; dr <= ring; ++dr) {
        if (std::max(std::llabs(dc), std::llabs(dr)) != ring) continue;
        const long long c = column + dc;
        const long long r = row + dr;
        if (c < 0 || r < 0 || r >= rows) continue;
        const auto slot = static_cast<std::size_t>(c * rows + r);
        if (occupancy_.contains(slot)) continue;
        const Point centre = grid_.slotCentre(slot);
        const double distance = std::hypot(centre.x - point.x, centre.y - point.y);
        if (!best || distance < bestDistance) {
          best = slot;
          bestDistance = distance;
        }
      }
    }
    if (best) return *best;
  }
}

void Finder::applyArrangement() {
  std::vector<const DesktopItem*> order;
  order.reserve(items_.size());
  for (const auto& [id, item] : items_) order.push_back(&item);
  sortForArrangement(order, options_.arrangement);
  occupancyValid_ = false;
  for (std::size_t slot = 0; slot < order.size(); ++slot) {
    DesktopItem& item = items_.at(order[slot]->id);
    item.position = grid_.slotCentre(slot);
    positions_.set(item.name, item.position);
  }
}

void Finder::snapAll() {
  // Each icon, oldest first, takes the free slot nearest to where it was.
  occupancy_.clear();
  occupancyValid_ = true;
  freeHint_ = 0;
  for (auto& [id, item] : items_) {
    const std::size_t slot = nearestFreeSlot(item.position);
    item.position = grid_.slotCentre(slot);
    ++occupancy_[slot];
    positions_.set(item.name, item.position);
  }
}

void Finder::layOut() {
  grid_ = DesktopGrid(options_, context_.screens.desktopArea());
  occupancyValid_ = false;
  if (state_ != FinderState::running) return;
  if (options_.arrangement == Arrangement::snapToGrid) {
    snapAll();
  } else if (options_.arrangement != Arrangement::notArranged) {
    applyArrangement();
  }
}

void Finder::optionsChanged() {
  layOut();
  changed(FinderChange::options);
  changed(FinderChange::items);
  scheduleSave();
}

void Finder::screensChanged() {
  layOut();
  changed(FinderChange::items);
  scheduleSave();
}

const Finder::ItemMap& Finder::items() {
  settle();
  return state_ == FinderState::running ? items_ : emptyItems_;
}

const DesktopItem* Finder::itemById(std::uint64_t id) {
  settle();
  if (state_ != FinderState::running) return nullptr;
  auto it = items_.find(id);
  return it == items_.end() ? nullptr : &it->second;
}

const DesktopItem* Finder::itemNamed(std::string_view name) {
  settle();
  if (state_ != FinderState::running) return nullptr;
  auto found = idByName_.find(std::string(name));
  return found == idByName_.end() ? nullptr : &items_.at(found->second);
}

const DesktopItem* Finder::itemAtPath(const fs::path& path) {
  const fs::path normal = path.lexically_normal();
  if (normal.parent_path() != desktop_) return nullptr;
  return itemNamed(normal.filename().string());
}

DesktopItem* Finder::mutableItemAtPath(const fs::path& path) {
  return const_cast<DesktopItem*>(itemAtPath(path));
}

const DesktopItem* Finder::itemAt(Point point) {
  settle();
  if (state_ != FinderState::running) return nullptr;
  const double lines = options_.showsItemInfo ? 2 : 1;
  const double labelReach = grid_.cellSize().width + options_.iconSize;
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    const DesktopItem& item = it->second;
    if (iconFrame(item).contains(point)) return &item;
    // Measuring every label is costly; only those near the point are.
    if (std::abs(point.x - item.position.x) > labelReach ||
        std::abs(point.y - item.position.y) >
            options_.iconSize / 2.0 + lineHeight(options_.textSize) * lines + 4) {
      continue;
    }
    if (labelFrame(item).contains(point)) return &item;
  }
  return nullptr;
}

Rect Finder::iconFrame(const DesktopItem& item) const {
  const double size = options_.iconSize;
  return Rect{{item.position.x - size / 2, item.position.y - size / 2}, {size, size}};
}

Rect Finder::labelFrame(const DesktopItem& item) const {
  const double icon = options_.iconSize;
  const double height = lineHeight(options_.textSize) * (options_.showsItemInfo ? 2 : 1);
  const double textWidth = context_.measure(item.displayName(), options_.textSize,
                                            platform::FontWeight::regular) + 8;
  if (options_.labelPosition == LabelPosition::bottom) {
    const double width = std::min(textWidth, grid_.cellSize().width - 4);
    return Rect{{item.position.x - width / 2, item.position.y + icon / 2 + 3}, {width, height}};
  }
  const double width = std::min(textWidth, options_.textSize * 9.0 + 6);
  return Rect{{item.position.x + icon / 2 + 4, item.position.y - height / 2}, {width, height}};
}

Status Finder::setDesktopPosition(const fs::path& path, Point centre) {
  if (Status running = requireRunning(); !running.ok()) return running;
  DesktopItem* item = mutableItemAtPath(path);
  if (item == nullptr) return Error{"no desktop item at " + path.string()};
  if (!std::isfinite(centre.x) || !std::isfinite(centre.y)) return Error{"invalid position"};
  switch (options_.arrangement) {
    case Arrangement::notArranged:
      moveItem(*item, centre);
      break;
    case Arrangement::snapToGrid: {
      ensureOccupancy();
      // The icon's own slot counts as free while it moves.
      const std::size_t own = grid_.nearestSlot(item->position);
      if (--occupancy_[own] <= 0) occupancy_.erase(own);
      const std::size_t slot = nearestFreeSlot(centre);
      ++occupancy_[own];
      moveItem(*item, grid_.slotCentre(slot));
      break;
    }
    default:
      // An arranged desktop keeps its order; the icon stays in its slot.
      return Status::success();
  }
  changed(FinderChange::items);
  scheduleSave();
  return Status::success();
}

Status Finder::setLabelIndex(const fs::path& path, int labelIndex) {
  if (Status running = requireRunning(); !running.ok()) return running;
  if (labelIndex < 0 || labelIndex > 7) return Error{"label index out of range"};
  if (Status written = writeLabelIndex(path, labelIndex); !written.ok()) return written;
  if (DesktopItem* item = mutableItemAtPath(path)) {
    item->labelIndex = labelIndex;
    finishBatch();
  }
  return Status::success();
}

Status Finder::setComment(const fs::path& path, const std::string& comment) {
  if (Status running = requireRunning(); !running.ok()) return running;
  if (Status written = writeComment(path, comment); !written.ok()) return written;
  if (DesktopItem* item = mutableItemAtPath(path)) {
    item->comment = comment;
    changed(FinderChange::items);
  }
  return Status::success();
}

Status Finder::setExtensionHidden(const fs::path& path, bool hidden) {
  if (Status running = requireRunning(); !running.ok()) return running;
  if (Status written = writeExtensionHidden(path, hidden); !written.ok()) return written;
  if (DesktopItem* item = mutableItemAtPath(path)) {
    item->extensionHidden = hidden;
    finishBatch();
  }
  return Status::success();
}

Result<int> Finder::labelIndexOf(const fs::path& path) {
  if (Status running = requireRunning(); !running.ok()) return running.error();
  std::error_code error;
  if (!fs::exists(path, error)) return Error{"no such file: " + path.string()};
  return readFinderMetadata(path).labelIndex;
}

Result<std::string> Finder::commentOf(const fs::path& path) {
  if (Status running = requireRunning(); !running.ok()) return running.error();
  std::error_code error;
  if (!fs::exists(path, error)) return Error{"no such file: " + path.string()};
  return readFinderMetadata(path).comment;
}

Result<bool> Finder::extensionHiddenOf(const fs::path& path) {
  if (Status running = requireRunning(); !running.ok()) return running.error();
  std::error_code error;
  if (!fs::exists(path, error)) return Error{"no such file: " + path.string()};
  return readFinderMetadata(path).extensionHidden;
}

// --- icon view options -------------------------------------------------------------------

void Finder::setIconSize(long long size) {
  options_.iconSize = clampIconSize(size);
  optionsChanged();
}

void Finder::setTextSize(long long size) {
  options_.textSize = clampTextSize(size);
  optionsChanged();
}

void Finder::setLabelPosition(LabelPosition position) {
  options_.labelPosition = position;
  optionsChanged();
}

void Finder::setArrangement(Arrangement arrangement) {
  options_.arrangement = arrangement;
  optionsChanged();
}

void Finder::setShowsItemInfo(bool shows) {
  options_.showsItemInfo = shows;
  // Folder sizes are only counted while item info shows.
  if (shows && state() == FinderState::running) scanAll();
  optionsChanged();
}

void Finder::setShowsIconPreview(bool shows) {
  options_.showsIconPreview = shows;
  changed(FinderChange::options);
}

void Finder::setBackgroundColor(std::optional<platform::Color> color) {
  options_.backgroundColor = color;
  changed(FinderChange::options);
}

// --- windows -----------------------------------------------------------------------------

void Finder::reveal(const std::vector<fs::path>& files) {
  if (files.empty()) return;
  if (state() != FinderState::running) {
    pendingReveal_ = files;
    launch();
    return;
  }
  fs::path target = files.front().lexically_normal();
  if (!target.has_filename()) target = target.parent_path();
  openWindow(target.parent_path(), files);
}

void Finder::openFolder(const fs::path& folder) {
  if (state() != FinderState::running) return;
  openWindow(folder.lexically_normal(), {});
}

void Finder::openWindow(const fs::path& target, std::vector<fs::path> selection) {
  FinderWindow window;
  window.target = target;
  window.selection = std::move(selection);
  for (const std::string& name : visibleEntries(target)) {
    std::error_code error;
    const bool folder = fs::is_directory(target / name, error);
    window.entries.push_back(FinderWindow::Entry{nextWindowEntryId_++, name, target / name, folder});
  }
  const double offset = kWindowCascade * static_cast<double>(windows_.size());
  const Rect topLeft{{kFirstWindowOrigin.x + offset, kFirstWindowOrigin.y + offset}, kWindowSize};
  platform::WindowSpec spec;
  spec.contentRect = context_.screens.toBottomLeft(topLeft);
  window.number = context_.windowServer.createWindow(*pid_, spec, WindowRole::finderWindow);
  platform::WindowTraits traits;
  traits.level = levels::normal;
  (void)context_.windowServer.configure(window.number, traits);
  (void)context_.windowServer.setTitle(window.number, target.filename().string());
  (void)context_.windowServer.orderFront(window.number);
  windows_.push_back(std::move(window));
  context_.applications.activate(*pid_);
  changed(FinderChange::windows);
}

void Finder::closeAllWindows() {
  if (windows_.empty()) return;
  for (const FinderWindow& window : windows_) {
    (void)context_.windowServer.close(window.number);
  }
  windows_.clear();
  changed(FinderChange::windows);
}

const FinderWindow* Finder::windowByNumber(std::uint32_t number) const {
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [number](const FinderWindow& w) { return w.number == number; });
  return it == windows_.end() ? nullptr : &*it;
}

// --- persistence and notices -------------------------------------------------------------

void Finder::savePositions() { (void)positions_.save(); }

void Finder::scheduleSave() {
  if (!positions_.dirty()) return;
  if (saveTimer_) {
    if (!saveTimer_->isActive()) saveTimer_->start();
  }
}

void Finder::addChangeListener(std::function<void(FinderChange)> listener) {
  listeners_.push_back(std::move(listener));
}

void Finder::changed(FinderChange change) {
  for (auto& listener : listeners_) listener(change);
}

}  // namespace deskplay::simdesk
