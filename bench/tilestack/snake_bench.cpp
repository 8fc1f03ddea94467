// Snake as a person plays it: the real Deskplay (headless) with the packaged snake game, its
// engine and companions, on a private simdesk. Figures, measured in one run:
// - key to move: an arrow key injected as the person's own until the head's Desktop item has
//   stepped that way in Finder's model. The snake only moves on its tick, so a key waits for
//   the next one: each key goes at a random point of the tick (as a person's keys do), once
//   the previous key's turn was seen. The keys steer the snake around the board and towards
//   its food, so that it lives long and grows. A key that must go at once (the snake two
//   cells from a wall or itself) is not timed; a round that ends all the same (no step for a
//   second) is started again with Return, and the key in flight then is not counted either;
// - the baseline: a bare Glyphon `position` command on a file of the same Desktop until its
//   answer, the one round trip every drawn move makes;
// - the engine's share of one core while the snake crawls with its whole board drawn: on the
//   simulated Mac's screen, and on a wide screen whose board has more walls.
// It prints the figures and never fails on them, only when something does not work.
//
// Usage: tilestack_snake_bench [KEYS]   (default 500; everything lives in a temporary folder
// under $TMPDIR or /tmp, with a HOME, XDG_RUNTIME_DIR and simdesk socket of its own)

#include <signal.h>
#include <simdjson.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "bench/tilestack/snake_view.hpp"
#include "sim/simdesk/keymap/us_layout.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/tile_names.hpp"

namespace deskplay::bench {

namespace {

namespace fs = std::filesystem;
namespace protocol = simdesk::protocol;
using snake::Board;
using snake::Cell;
using snake::Clock;
using snake::Direction;
using snake::SnakeView;
using snake::Snapshot;
using snake::TileIcon;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kDefaultKeys = 500;
constexpr int kBaselineTrips = 500;
constexpr int kBaselineWarmUp = 20;
// Head steps seen before keys count: the tick is measured from them.
constexpr std::size_t kWarmUpSteps = 10;
// A round has ended when the head has not stepped for this long.
constexpr auto kStall = std::chrono::milliseconds(1000);
// The snake crawls while its head stepped within this (two ticks and some).
constexpr auto kCrawling = std::chrono::milliseconds(300);
// A key whose turn the head has not taken within this many steps got lost.
constexpr std::uint64_t kStepsForATurn = 3;
// Pauses between two looks at Finder: short while keys are timed, longer while only the
// engine's processor time is.
constexpr auto kKeyPoll = std::chrono::milliseconds(2);
constexpr auto kSteerPoll = std::chrono::milliseconds(10);
constexpr auto kCpuWindow = std::chrono::seconds(10);
constexpr int kCpuAttempts = 4;
// Whole phases give up after these, so the run stays within a few minutes.
constexpr auto kKeysLimit = std::chrono::seconds(120);
constexpr auto kBoardLimit = std::chrono::seconds(60);
// A wide display of today (5120 × 1440): snake lays it out with more walls than the simulated
// Mac's own 1440 × 900.
constexpr int kWideWidth = 5120;
constexpr int kWideHeight = 1440;
constexpr std::int64_t kReturnKey = 36;

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every process's environment entries, by process id.
std::vector<std::pair<pid_t, std::vector<std::string>>> processEnvironments() {
  std::vector<std::pair<pid_t, std::vector<std::string>>> found;
  std::error_code error;
  for (const fs::directory_entry& proc : fs::directory_iterator("/proc", error)) {
    const std::string name = proc.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::vector<std::string> entries;
    std::stringstream split(fileText(proc.path() / "environ"));
    for (std::string entry; std::getline(split, entry, '\0');) entries.push_back(entry);
    found.emplace_back(static_cast<pid_t>(std::stol(name)), std::move(entries));
  }
  return found;
}

std::string lastLines(const std::string& text, int count) {
  std::size_t at = text.size();
  for (int line = 0; line <= count && at != std::string::npos && at > 0; ++line) {
    at = text.rfind('\n', at - 1);
  }
  return at == std::string::npos ? text : text.substr(at + 1);
}

// simdesk with a person's home, and a headless Deskplay on it started from the bundle.
class PlayedSession {
 public:
  PlayedSession()
      : scratch_(fs::temp_directory_path(), "snake-bench-"), temporary_(scratch_.path() / "tmp") {
    fs::create_directories(temporary_);
    // A few things of the person's own, which the game stashes while it runs.
    testing::writeFile(simdesk_.desktop() / "notes.txt", "groceries: eggs, rice\n");
    testing::writeFile(simdesk_.desktop() / "todo.md", "# todo\n- call Ada\n");
  }
  PlayedSession(const PlayedSession&) = delete;
  PlayedSession& operator=(const PlayedSession&) = delete;
  ~PlayedSession() {
    if (deskplay_) {
      // After a failure a game may still run: end it the person's way first.
      try {
        if (session() == "running") stopGame();
      } catch (const std::exception&) {
      }
      deskplay_->kill(SIGTERM);
      deskplay_->wait();
    }
    // Whatever this session started and is still there (simdesk itself stops last).
    for (pid_t pid : processesOfThisHome()) {
      if (simdesk_.process() == nullptr || pid != simdesk_.process()->pid()) ::kill(pid, SIGTERM);
    }
  }

  void startSimdesk() {
    if (!simdesk_.start()) throw std::runtime_error("simdesk did not start");
  }

  void startDeskplay() {
    deskplay_ = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{(fs::path(DESKPLAY_BUNDLE) / "Contents/MacOS/Deskplay").string(),
                                 "--headless"},
        environment());
    const std::optional<std::string> ready = deskplay_->readLine(std::chrono::seconds(60));
    if (!ready || !ready->starts_with("DESKPLAY_READY ")) {
      throw std::runtime_error("Deskplay did not start: " + deskplay_->readStderr());
    }
  }

  void deskplay(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{(fs::path(DESKPLAY_BUNDLE) / "Contents/MacOS/Deskplay").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const testing::Completed done = testing::runProgram(argv, {}, environment());
    if (done.status != 0) {
      throw std::runtime_error("Deskplay " + arguments.front() + " failed: " + done.errors);
    }
  }

  std::string session() const {
    std::vector<std::string> argv{(fs::path(DESKPLAY_BUNDLE) / "Contents/MacOS/Deskplay").string(),
                                  "status"};
    const testing::Completed shown = testing::runProgram(argv, {}, environment());
    const nlohmann::json status = nlohmann::json::parse(shown.output, nullptr, false);
    return status.is_object() ? status.value("session", "") : "";
  }

  // Stops the game and waits until the Desktop is the person's again.
  void stopGame() const {
    deskplay({"stop"});
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (session() != "idle") {
      if (Clock::now() > deadline) throw std::runtime_error("the game did not stop");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  std::vector<std::string> environment() const {
    std::vector<std::string> entries = simdesk_.environment();
    entries.insert(entries.end(), {"TMPDIR=" + temporary_.string(),
                                   "XDG_CONFIG_HOME=" + (home() / ".config").string(),
                                   "XDG_DATA_HOME=" + (home() / ".local/share").string(),
                                   "DESKPLAY_SIM_TOOLS=" + testing::simToolsFolder().string(),
                                   "SDL_AUDIODRIVER=dummy", "DISPLAY=", "WAYLAND_DISPLAY=",
                                   // The same food in the same places on every run.
                                   "TILESTACK_SEED=7"});
    return entries;
  }

  // A companion started by hand in this session, logging beside the game's own log.
  std::vector<std::string> companionEnvironment() const {
    std::vector<std::string> entries = environment();
    entries.push_back("FRONDEL_LOG_FILE=" + (temporary_ / "frondel.log").string());
    return entries;
  }

  const testing::SimdeskSession& simdesk() const { return simdesk_; }
  fs::path home() const { return simdesk_.home(); }
  fs::path desktop() const { return simdesk_.desktop(); }
  std::string gameLogTail() const {
    return lastLines(fileText(temporary_ / "deskplay-game.log"), 15);
  }

  // The processes whose HOME is this session's, but this one.
  std::vector<pid_t> processesOfThisHome() const {
    std::vector<pid_t> found;
    for (const auto& [pid, entries] : processEnvironments()) {
      if (pid != ::getpid() &&
          std::find(entries.begin(), entries.end(), "HOME=" + home().string()) != entries.end()) {
        found.push_back(pid);
      }
    }
    return found;
  }

  // The running game's engine (or its Glyphon), found by this session's HOME and the game
  // session's id, which the engine and the companions it starts all carry.
  std::optional<pid_t> gameProcess(bool engine) const {
    const std::string ownHome = "HOME=" + home().string();
    for (const auto& [pid, entries] : processEnvironments()) {
      const bool ours = std::find(entries.begin(), entries.end(), ownHome) != entries.end();
      const bool inGame = std::any_of(entries.begin(), entries.end(), [](const std::string& entry) {
        return entry.starts_with("FRONDEL_SESSION_ID=");
      });
      if (!ours || !inGame) continue;
      const std::string command = fileText("/proc/" + std::to_string(pid) + "/cmdline");
      const bool matches =
          engine ? command.find("node") != std::string::npos &&
                       command.find("frondel-bin") == std::string::npos &&
                       command.find(std::string_view("\0-e\0", 4)) == std::string::npos
                 : command.find("frondel-bin/Glyphon") != std::string::npos;
      if (matches) return pid;
    }
    return std::nullopt;
  }

 private:
  testing::SimdeskSession simdesk_;
  ScratchFolder scratch_;
  fs::path temporary_;
  std::unique_ptr<testing::ChildProcess> deskplay_;
};

// Finder's model through one connection of ours, asked again and again.
class FinderWatch {
 public:
  explicit FinderWatch(const testing::SimdeskSession& session)
      : connection_(session.connect("SnakeBench")) {}

  // The game's tiles, as Finder has them now.
  Snapshot look() {
    const Clock::time_point asked = Clock::now();
    Result<std::string> line = connection_->requestLine(
        protocol::requests::state, nlohmann::json::object(), protocol::Effect::readsOnly);
    Snapshot snapshot;
    snapshot.at = Clock::now();
    if (!line.ok()) throw std::runtime_error("simdesk's state: " + line.message());
    roundTrips_.push_back(microseconds(snapshot.at - asked));
    const simdjson::padded_string padded(line.value());
    simdjson::ondemand::document document;
    simdjson::ondemand::array items;
    if (parser_.iterate(padded).get(document) ||
        document["state"]["finder"]["items"].get_array().get(items)) {
      throw std::runtime_error("simdesk's state has no Finder items");
    }
    for (auto entry : items) {
      simdjson::ondemand::object item;
      std::string_view name;
      simdjson::ondemand::object position;
      TileIcon tile;
      if (entry.get_object().get(item) || item["name"].get_string().get(name)) continue;
      tile.name = std::string(name);
      if (!testing::isTileName(tile.name)) continue;
      if (item["position"].get_object().get(position) || position["x"].get_double().get(tile.x) ||
          position["y"].get_double().get(tile.y)) {
        continue;
      }
      snapshot.tiles.push_back(std::move(tile));
    }
    return snapshot;
  }

  // Where Finder shows the Desktop item at `path`; nothing when it shows none.
  std::optional<std::pair<double, double>> positionOf(const std::string& path) {
    Result<nlohmann::json> state = connection_->request(
        protocol::requests::state, nlohmann::json::object(), protocol::Effect::readsOnly);
    if (!state.ok()) throw std::runtime_error("simdesk's state: " + state.message());
    for (const nlohmann::json& item : state.value()["state"]["finder"]["items"]) {
      if (item.value("path", "") == path && item.contains("position")) {
        return std::pair{item["position"].value("x", 0.0), item["position"].value("y", 0.0)};
      }
    }
    return std::nullopt;
  }

  // A request that may change simdesk, answered with nothing but ok.
  void change(std::string_view type, nlohmann::json body) {
    Result<nlohmann::json> done =
        connection_->request(type, std::move(body), protocol::Effect::mayChange);
    if (!done.ok()) throw std::runtime_error(std::string(type) + ": " + done.message());
  }

  const std::vector<double>& roundTrips() const { return roundTrips_; }

 private:
  std::unique_ptr<protocol::Connection> connection_;
  simdjson::ondemand::parser parser_;
  std::vector<double> roundTrips_;
};

// Waits until the game's first drawing has settled: tiles on the Desktop that have not moved
// for a second (the snake waits for its first key).
Snapshot settledBoard(FinderWatch& watch, const PlayedSession& session) {
  const Clock::time_point deadline = Clock::now() + kBoardLimit;
  std::vector<std::tuple<std::string, double, double>> last;
  Clock::time_point changed = Clock::now();
  while (true) {
    Snapshot snapshot = watch.look();
    std::vector<std::tuple<std::string, double, double>> now;
    for (const TileIcon& tile : snapshot.tiles) now.emplace_back(tile.name, tile.x, tile.y);
    std::sort(now.begin(), now.end());
    if (now != last) {
      last = std::move(now);
      changed = snapshot.at;
    } else if (last.size() >= 4 && snapshot.at - changed >= kStall) {
      return snapshot;
    }
    if (Clock::now() > deadline) {
      throw std::runtime_error("the snake's board never settled; the game's log ends:\n" +
                               session.gameLogTail());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Plays the snake: looks at Finder, sends the next turn when its time has come, sees the
// turn taken, and starts a new round when the last one ended.
class SnakeDriver {
 public:
  SnakeDriver(FinderWatch& watch, testing::SimdeskInput& person, Board board)
      : watch_(watch), person_(person), view_(board) {}

  // The first arrow starts the snake.
  void start() {
    press(Direction::up);
    recovering_ = true;
    lastRecoveryKey_ = Clock::now();
  }

  // One look and what it calls for; the milliseconds from a key to its turn when this look
  // saw the turn taken.
  std::optional<double> advance(Clock::duration pause) {
    std::this_thread::sleep_for(pause);
    const Snapshot snapshot = watch_.look();
    const std::uint64_t restartsBefore = view_.restarts();
    const bool stepped = view_.update(snapshot);
    const Clock::time_point now = snapshot.at;
    if (view_.restarts() != restartsBefore) lastStepSeen_.reset();
    if (stepped) {
      if (lastStepSeen_) stepIntervals_.push_back(Milliseconds(now - *lastStepSeen_).count());
      lastStepSeen_ = now;
      if (recovering_ && view_.heading()) {
        recovering_ = false;
        scheduleNextKey(now);
      }
    }

    if (now - view_.lastHeadStep() > kStall && now - lastRecoveryKey_ > kStall) {
      if (inFlight_) ++discarded_;
      inFlight_.reset();
      deferred_ = false;
      if (!recovering_) ++endedRounds_;
      recovering_ = true;
      lastStepSeen_.reset();
      // Return plays again after a round; an arrow starts a snake that waits for one.
      if (recoveryKeys_++ % 2 == 0) {
        pressKey(kReturnKey);
      } else {
        press(Direction::up);
      }
      lastRecoveryKey_ = now;
      return std::nullopt;
    }
    if (recovering_) return std::nullopt;

    if (inFlight_) {
      if (stepped && view_.heading() == inFlight_->direction) {
        const double latency = Milliseconds(now - inFlight_->sent).count();
        const bool counted = inFlight_->counted;
        inFlight_.reset();
        scheduleNextKey(now);
        if (!counted) return std::nullopt;
        return latency;
      }
      if (stepped && view_.headSteps() - inFlight_->stepsBefore >= kStepsForATurn) {
        ++lost_;
        inFlight_.reset();
        scheduleNextKey(now);
      }
      return std::nullopt;
    }
    if (deferred_) {
      // The snake had to go one cell on before turning: the key's moment is drawn anew.
      if (!stepped) return std::nullopt;
      deferred_ = false;
      scheduleNextKey(now);
    }
    if (now >= nextKeyAt_ && view_.headKnown() && view_.heading()) {
      const std::optional<Direction> turn = snake::chooseTurn(view_, *view_.heading());
      if (!turn) {
        deferred_ = true;
        ++deferrals_;
        return std::nullopt;
      }
      const Clock::time_point sent = Clock::now();
      press(*turn);
      inFlight_ = InFlight{*turn, sent, view_.headSteps(), nextKeyCounts_};
      if (!nextKeyCounts_) ++urgent_;
    }
    return std::nullopt;
  }

  // The snake crawls: its head stepped a moment ago and no new round is being started.
  bool crawling() const {
    return !recovering_ && view_.heading() && Clock::now() - view_.lastHeadStep() < kCrawling;
  }

  const SnakeView& view() const { return view_; }
  // The time between head steps, measured so far (the game's tick as Finder shows it).
  double tickMilliseconds() const { return median(stepIntervals_); }
  std::size_t tickSamples() const { return stepIntervals_.size(); }
  int endedRounds() const { return endedRounds_; }
  int discarded() const { return discarded_; }
  int lost() const { return lost_; }
  // Keys sent at once, without being timed, because the snake was about to hit something.
  int urgent() const { return urgent_; }
  // Keys held back for a step because only one cell on was there room to turn.
  int deferrals() const { return deferrals_; }

 private:
  struct InFlight {
    Direction direction;
    Clock::time_point sent;
    std::uint64_t stepsBefore;
    bool counted;
  };

  // The next key goes at a random point of the tick, by when the snake may have gone two
  // cells on: when they are not both free it goes at once, and is not timed (whether it is
  // is decided before its moment is drawn, so the timed keys stay spread over the tick).
  void scheduleNextKey(Clock::time_point now) {
    const std::optional<Direction> heading = view_.heading();
    const Cell ahead = heading ? snake::stepped(view_.headCell(), *heading) : view_.headCell();
    nextKeyCounts_ =
        heading && !view_.blocked(ahead) && !view_.blocked(snake::stepped(ahead, *heading));
    nextKeyAt_ = nextKeyCounts_ ? now + phase() : now;
  }

  // A random point of the tick: the wait for the next tick is then spread as a person's is.
  Clock::duration phase() {
    if (stepIntervals_.size() < kWarmUpSteps) return Clock::duration::zero();
    std::uniform_real_distribution<double> within(0, tickMilliseconds());
    return std::chrono::duration_cast<Clock::duration>(Milliseconds(within(random_)));
  }

  void press(Direction direction) { pressKey(snake::arrowKeyCode(direction)); }

  // Down and up, as the person's keyboard sends them.
  void pressKey(std::int64_t keyCode) {
    const std::string characters =
        simdesk::usCharactersFor(keyCode, simdesk::Shift::up).value_or("");
    if (!person_.key(keyCode, characters, simdesk::inherentKeyFlags(keyCode))) {
      throw std::runtime_error("simdesk refused a key");
    }
    // Delivery notices pile up otherwise; nothing here waits for them.
    person_.connection().dispatchEvents();
  }

  FinderWatch& watch_;
  testing::SimdeskInput& person_;
  SnakeView view_;
  std::mt19937 random_{20240611};
  std::optional<InFlight> inFlight_;
  Clock::time_point nextKeyAt_;
  std::optional<Clock::time_point> lastStepSeen_;
  std::vector<double> stepIntervals_;
  bool recovering_ = false;
  Clock::time_point lastRecoveryKey_;
  int recoveryKeys_ = 0;
  int endedRounds_ = 0;
  int discarded_ = 0;
  int lost_ = 0;
  int urgent_ = 0;
  int deferrals_ = 0;
  bool nextKeyCounts_ = false;
  bool deferred_ = false;
};

struct CpuShare {
  bool measured = false;
  double seconds = 0;
  double engine = 0;              // share of one core
  std::optional<double> glyphon;  // share of one core, when its Glyphon was found
  std::uint64_t steps = 0;
  std::size_t fewestTiles = 0;
  std::size_t mostTiles = 0;
  std::size_t longestSnake = 0;
  int attempts = 0;
};

// The engine's processor time over a window of uninterrupted crawling, the snake steered as
// before; a window in which a round ends is started again.
CpuShare measureCpu(SnakeDriver& driver, const PlayedSession& session) {
  const std::optional<pid_t> engine = session.gameProcess(true);
  const std::optional<pid_t> glyphon = session.gameProcess(false);
  if (!engine) throw std::runtime_error("the engine process was not found");
  CpuShare share;
  while (share.attempts < kCpuAttempts) {
    ++share.attempts;
    const Clock::time_point settleBy = Clock::now() + std::chrono::seconds(10);
    while (!driver.crawling() && Clock::now() < settleBy) (void)driver.advance(kSteerPoll);
    if (!driver.crawling()) continue;

    const int roundsBefore = driver.endedRounds();
    const std::uint64_t stepsBefore = driver.view().headSteps();
    const std::optional<double> engineStart = processorSeconds(*engine);
    const std::optional<double> glyphonStart = glyphon ? processorSeconds(*glyphon) : std::nullopt;
    const Clock::time_point start = Clock::now();
    share.fewestTiles = share.mostTiles = driver.view().tileCount();
    share.longestSnake = driver.view().snakeLength();
    while (Clock::now() - start < kCpuWindow && driver.endedRounds() == roundsBefore) {
      (void)driver.advance(kSteerPoll);
      share.fewestTiles = std::min(share.fewestTiles, driver.view().tileCount());
      share.mostTiles = std::max(share.mostTiles, driver.view().tileCount());
      share.longestSnake = std::max(share.longestSnake, driver.view().snakeLength());
    }
    const std::optional<double> engineEnd = processorSeconds(*engine);
    const std::optional<double> glyphonEnd = glyphon ? processorSeconds(*glyphon) : std::nullopt;
    share.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (driver.endedRounds() != roundsBefore) continue;
    if (!engineStart || !engineEnd) throw std::runtime_error("the engine's times are unreadable");
    share.engine = (*engineEnd - *engineStart) / share.seconds;
    if (glyphonStart && glyphonEnd) {
      share.glyphon = (*glyphonEnd - *glyphonStart) / share.seconds;
    }
    share.steps = driver.view().headSteps() - stepsBefore;
    share.measured = true;
    return share;
  }
  return share;
}

// Starts the game and waits for its board, then for the snake to crawl.
Board playSnake(PlayedSession& session, FinderWatch& watch) {
  session.deskplay({"play", "snake"});
  const Snapshot settled = settledBoard(watch, session);
  const std::optional<Board> board = Board::around(settled);
  if (!board) throw std::runtime_error("the snake's tiles form no walled board");
  return *board;
}

struct Baseline {
  std::vector<double> milliseconds;
};

// A bare `position` round trip of the bundle's Glyphon on a file of the same Desktop, the
// file jumping between two points.
Baseline measureGlyphon(PlayedSession& session, FinderWatch& watch) {
  const fs::path file = session.desktop() / "baseline.txt";
  testing::writeFile(file, "moved about\n");
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  while (!watch.positionOf(file.string())) {
    if (Clock::now() > deadline) throw std::runtime_error("Finder never showed baseline.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  testing::ChildProcess glyphon({GLYPHON_PATH}, session.companionEnvironment());
  if (glyphon.readLine() != "READY" || !glyphon.readLine()) {
    throw std::runtime_error("Glyphon did not start");
  }
  const nlohmann::json path = file.string();
  Baseline baseline;
  baseline.milliseconds.reserve(kBaselineTrips);
  double lastX = 0;
  for (int trip = -kBaselineWarmUp; trip < kBaselineTrips; ++trip) {
    lastX = trip % 2 == 0 ? 400 : 600;
    const std::string command = R"({"id":"n","type":"position","updates":[{"path":)" + path.dump() +
                                R"(,"x":)" + std::to_string(lastX) + R"(,"y":300}]})";
    const Clock::time_point start = Clock::now();
    glyphon.writeLine(command);
    std::optional<std::string> answer;
    while ((answer = glyphon.readLine()) && !answer->starts_with("ICON:")) {
    }
    const Clock::time_point end = Clock::now();
    if (!answer || !answer->starts_with(R"(ICON:{"id":"n","ok":true)")) {
      throw std::runtime_error("Glyphon's position failed: " + answer.value_or("no answer"));
    }
    if (trip >= 0) baseline.milliseconds.push_back(Milliseconds(end - start).count());
  }
  glyphon.writeLine("EXIT");
  (void)glyphon.wait();
  const std::optional<std::pair<double, double>> at = watch.positionOf(file.string());
  if (!at || std::abs(at->first - lastX) > 1) {
    throw std::runtime_error("Finder does not show baseline.txt where Glyphon put it");
  }
  return baseline;
}

std::string loadAverage() {
  std::string text = fileText("/proc/loadavg");
  const std::size_t third = text.find(' ', text.find(' ', text.find(' ') + 1) + 1);
  return third == std::string::npos ? text : text.substr(0, third);
}

void printShare(const char* what, const CpuShare& share, const Board& board) {
  if (!share.measured) {
    std::printf("%-46s not measured: the snake never crawled through a whole window\n", what);
    return;
  }
  char glyphon[64] = "not found";
  if (share.glyphon) std::snprintf(glyphon, sizeof glyphon, "%.1f %%", 100 * *share.glyphon);
  std::printf("%-46s %8.1f %% (goal < 5 %%: %s) %5.1f s, %llu ticks\n", what, 100 * share.engine,
              share.engine < 0.05 ? "met" : "MISSED", share.seconds,
              static_cast<unsigned long long>(share.steps));
  std::printf(
      "    %zu-%zu tiles on the Desktop: board %d x %d cells, %d walls, snake up to %zu, "
      "food; the game's Glyphon %s\n",
      share.fewestTiles, share.mostTiles, board.cols(), board.rows(), board.wallCount(),
      share.longestSnake, glyphon);
}

void run(int keys) {
  const Clock::time_point began = Clock::now();
  const std::string loadBefore = loadAverage();
  PlayedSession session;
  session.startSimdesk();
  FinderWatch watch(session.simdesk());
  testing::SimdeskInput person(session.simdesk());

  const Baseline baseline = measureGlyphon(session, watch);

  session.startDeskplay();
  const Board board = playSnake(session, watch);
  SnakeDriver driver(watch, person, board);
  driver.start();

  // Keys only count once the tick is known, so that each goes at a random point of it.
  std::vector<double> latencies;
  latencies.reserve(static_cast<std::size_t>(keys));
  const std::size_t pollsBefore = watch.roundTrips().size();
  const Clock::time_point keysBegan = Clock::now();
  while (static_cast<int>(latencies.size()) < keys) {
    if (Clock::now() - keysBegan > kKeysLimit) break;
    const std::optional<double> latency = driver.advance(kKeyPoll);
    if (latency && driver.tickSamples() >= kWarmUpSteps) latencies.push_back(*latency);
  }
  const double keysSeconds = std::chrono::duration<double>(Clock::now() - keysBegan).count();
  const std::vector<double> polls(
      watch.roundTrips().begin() + static_cast<std::ptrdiff_t>(pollsBefore),
      watch.roundTrips().end());
  const double pollPeriod =
      polls.empty() ? 0 : keysSeconds * 1000 / static_cast<double>(polls.size());
  const std::size_t snakeAfterKeys = driver.view().snakeLength();

  const CpuShare homeShare = measureCpu(driver, session);
  const double tick = driver.tickMilliseconds();
  const int endedRounds = driver.endedRounds();
  const int discarded = driver.discarded();
  const int lost = driver.lost();
  const int urgent = driver.urgent();
  const int deferrals = driver.deferrals();

  // The same game on a wide screen, whose board has more walls.
  session.stopGame();
  watch.change(
      protocol::requests::screensSet,
      {{"screens", nlohmann::json::array({{{"width", kWideWidth}, {"height", kWideHeight}}})}});
  const Board wideBoard = playSnake(session, watch);
  SnakeDriver wideDriver(watch, person, wideBoard);
  wideDriver.start();
  const CpuShare wideShare = measureCpu(wideDriver, session);
  session.stopGame();

  const double keyP50 = percentile(latencies, 0.5);
  const double glyphonP50 = percentile(baseline.milliseconds, 0.5);
  const double fastest =
      latencies.empty() ? 0.0 : *std::min_element(latencies.begin(), latencies.end());
  const double slowest =
      latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end());
  std::printf(
      "snake through Deskplay (headless): the packaged game, its engine and companions, "
      "on a private simdesk\n");
  std::printf(
      "the snake ticks every %.1f ms (median time between head steps in Finder's model). "
      "A key turns it on the\n",
      tick);
  std::printf(
      "next tick only, so key-to-move holds that wait: keys go at random points of the "
      "tick, half a tick on average.\n\n");
  std::printf("%-46s %10s %10s %8s\n", "figure", "p50", "p99", "samples");
  std::printf("%-46s %7.1f ms %7.1f ms %8zu   (min %.1f, max %.1f ms)\n",
              "key to head moved in Finder's model", keyP50, percentile(latencies, 0.99),
              latencies.size(), fastest, slowest);
  std::printf("%-46s %7.3f ms %7.3f ms %8zu\n", "Glyphon position round trip (baseline)",
              glyphonP50, percentile(baseline.milliseconds, 0.99), baseline.milliseconds.size());
  std::printf("%-46s %9.0fx\n\n", "ratio of the p50s, key-to-move / Glyphon",
              glyphonP50 > 0 ? keyP50 / glyphonP50 : 0.0);
  std::printf("%-46s %19s %16s\n", "figure", "share of one core", "window");
  printShare("engine CPU, 1440 x 900 screen", homeShare, board);
  printShare("engine CPU, 5120 x 1440 screen", wideShare, wideBoard);
  std::printf(
      "\nnotes: %d rounds ended and were started again (%d keys in flight then not "
      "counted); %d keys lost; %d keys went at once\n",
      endedRounds, discarded, lost, urgent);
  std::printf(
      "       (the snake was two cells from a wall or itself) and were not counted; %d "
      "waited a step for room to turn;\n",
      deferrals);
  std::printf(
      "       the snake was %zu long after the keys; Finder's state was read every %.1f "
      "ms while keys were timed\n",
      snakeAfterKeys, pollPeriod);
  std::printf("       (request p50 %.2f ms); load average %s before, %s after; %.0f s in all\n",
              percentile(polls, 0.5) / 1000, loadBefore.c_str(), loadAverage().c_str(),
              std::chrono::duration<double>(Clock::now() - began).count());
}

}  // namespace

}  // namespace deskplay::bench

int main(int argc, char** argv) {
  try {
    const int keys = argc > 1 ? std::atoi(argv[1]) : deskplay::bench::kDefaultKeys;
    if (keys <= 0) throw std::runtime_error("KEYS must be a positive number");
    deskplay::bench::run(keys);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "tilestack_snake_bench: %s\n", failure.what());
    return 1;
  }
  return 0;
}
