// People on one machine play online against each other: simulated Macs, each with its own
// home, simdesk and Deskplay, all pointed at one roomd on loopback. Two play four: the host's
// drop shows on the other desktop, the other's answer on the host's. Four play corners: each
// claim shows on every desktop. Every session ends cleanly.
#include <gtest/gtest.h>
#include <signal.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "played_desktop.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kReturn = 36;
constexpr const char* kRoomCode = "swift-falcon-42";
// The 7 × 6 board's holes and the disc held above it.
constexpr std::size_t kBoardTiles = 43;

// roomd with guest seats, as make run starts it.
class Roomd {
 public:
  Roomd() : process_({ROOMD, "--port", "0", "--guests"}) {
    const std::optional<std::string> ready = process_.readLine(std::chrono::seconds(60));
    if (ready && ready->starts_with("ROOMD_READY ")) url_ = "ws://127.0.0.1:" + ready->substr(12);
  }
  ~Roomd() {
    process_.kill(SIGTERM);
    process_.wait();
  }
  const std::string& url() const { return url_; }
  std::string errors() { return process_.readStderr(); }

 private:
  ChildProcess process_;
  std::string url_;
};

// One person's simulated Mac, its Deskplay pointed at the room server.
std::unique_ptr<PlayedDesktop> macFor(const std::string& serverURL) {
  auto desk = std::make_unique<PlayedDesktop>(builtBundle() / "Contents/MacOS/Deskplay");
  const fs::path defaults = desk->home() / ".config/Deskplay/UserDefaults.plist";
  fs::create_directories(defaults.parent_path());
  const Completed set =
      desk->simdesk().tool(simToolsFolder() / "PlistBuddy",
                           {"-c", "Add :serverURL string " + serverURL, defaults.string()});
  EXPECT_EQ(set.status, 0) << set.errors;
  return desk;
}

DesktopIcon topmost(const std::vector<DesktopIcon>& icons) {
  return *std::min_element(icons.begin(), icons.end(),
                           [](const DesktopIcon& a, const DesktopIcon& b) { return a.y < b.y; });
}

double lowest(const std::vector<DesktopIcon>& icons) {
  double bottom = 0;
  for (const DesktopIcon& icon : icons) bottom = std::max(bottom, icon.y);
  return bottom;
}

std::optional<DesktopIcon> named(const std::vector<DesktopIcon>& icons, const std::string& name) {
  const auto found = std::find_if(icons.begin(), icons.end(),
                                  [&](const DesktopIcon& icon) { return icon.name == name; });
  if (found == icons.end()) return std::nullopt;
  return *found;
}

// Joins the room `code` for `game` on `desk` and waits for a board of `tiles` tiles.
void joinRoom(PlayedDesktop& desk, const std::string& game = "four",
              const std::string& code = kRoomCode, std::size_t tiles = kBoardTiles) {
  const Completed started = desk.deskplay({"play", game, "join", code});
  ASSERT_EQ(started.status, 0) << started.errors;
  ASSERT_TRUE(eventually([&] {
    return desk.tiles().size() >= tiles || desk.status().value("session", "") != "running";
  }));
  ASSERT_GE(desk.tiles().size(), tiles) << "the board never appeared; game log:\n"
                                        << desk.gameLogText();
}

// The disc held above the board falls to the bottom row (`rowsUp` rows above it).
bool heldDiscFalls(const PlayedDesktop& desk, const DesktopIcon& held, double bottom, double pitch,
                   int rowsUp) {
  return eventually([&] {
    const std::optional<DesktopIcon> now = named(desk.tiles(), held.name);
    return now && std::abs(now->y - (bottom - pitch * rowsUp)) < 2;
  });
}

void stopAndExpectCleanEnd(PlayedDesktop& desk) {
  desk.pressStopHotkey();
  ASSERT_TRUE(eventually([&] { return desk.status().value("session", "") == "idle"; }))
      << desk.gameLogText();
  EXPECT_TRUE(desk.status()["lastError"].is_null()) << desk.gameLogText();
  EXPECT_TRUE(eventually([&] { return desk.tiles().empty(); })) << "tiles were left behind";
}

TEST(OnlinePlay, TwoSimulatedMacsPlayFourThroughRoomd) {
  Roomd roomd;
  ASSERT_FALSE(roomd.url().empty()) << roomd.errors();
  const std::unique_ptr<PlayedDesktop> host = macFor(roomd.url());
  const std::unique_ptr<PlayedDesktop> guest = macFor(roomd.url());
  ASSERT_TRUE(host->start()) << host->failure;
  ASSERT_TRUE(guest->start()) << guest->failure;
  ASSERT_EQ(host->status().value("serverURL", ""), roomd.url());
  // Both online games are in the bundle's catalog.
  EXPECT_TRUE(eventually([&] {
    const std::string games = host->status()["games"].dump();
    return games.find("\"four\"") != std::string::npos &&
           games.find("\"corners\"") != std::string::npos;
  })) << host->status().dump();
  const auto hostEntries = host->userEntries();
  const auto guestEntries = guest->userEntries();

  ASSERT_NO_FATAL_FAILURE(joinRoom(*host));
  ASSERT_NO_FATAL_FAILURE(joinRoom(*guest));
  EXPECT_NE(host->gameLogText().find("as its host"), std::string::npos) << host->gameLogText();

  // The host plays first: its drop falls on both desktops.
  const std::vector<DesktopIcon> hostBoard = host->tiles();
  const std::vector<DesktopIcon> guestBoard = guest->tiles();
  const DesktopIcon hostHeld = topmost(hostBoard);
  const DesktopIcon guestHeld = topmost(guestBoard);
  const double hostBottom = lowest(hostBoard);
  const double guestBottom = lowest(guestBoard);
  // Rows are as far apart as the held disc is above the top row: one pitch.
  const auto pitchOf = [](const std::vector<DesktopIcon>& board, const DesktopIcon& held) {
    double top = lowest(board);
    for (const DesktopIcon& icon : board) {
      if (icon.name != held.name) top = std::min(top, icon.y);
    }
    return top - held.y;
  };
  const double hostPitch = pitchOf(hostBoard, hostHeld);
  const double guestPitch = pitchOf(guestBoard, guestHeld);

  host->pressKey(kReturn);
  EXPECT_TRUE(heldDiscFalls(*host, hostHeld, hostBottom, hostPitch, 0))
      << "the host's disc did not fall\n"
      << host->gameLogText();
  EXPECT_TRUE(heldDiscFalls(*guest, guestHeld, guestBottom, guestPitch, 0))
      << "the host's drop did not show on the guest's desktop\n"
      << guest->gameLogText();

  // Now the guest's turn: a new disc is held above the board on both desktops, and the
  // guest's drop lands on the host's, on both.
  const auto nextHeld = [](const PlayedDesktop& desk, const DesktopIcon& dropped) {
    std::optional<DesktopIcon> held;
    EXPECT_TRUE(eventually([&] {
      held = topmost(desk.tiles());
      return held->name != dropped.name;
    })) << "no new disc appeared above the board";
    return *held;
  };
  const DesktopIcon hostNextHeld = nextHeld(*host, hostHeld);
  const DesktopIcon guestNextHeld = nextHeld(*guest, guestHeld);
  guest->pressKey(kReturn);
  EXPECT_TRUE(heldDiscFalls(*guest, guestNextHeld, guestBottom, guestPitch, 1))
      << "the guest's disc did not fall\n"
      << guest->gameLogText();
  EXPECT_TRUE(heldDiscFalls(*host, hostNextHeld, hostBottom, hostPitch, 1))
      << "the guest's drop did not show on the host's desktop\n"
      << host->gameLogText();
  host->screenshot("online-four-host");
  guest->screenshot("online-four-guest");

  ASSERT_NO_FATAL_FAILURE(stopAndExpectCleanEnd(*guest));
  ASSERT_NO_FATAL_FAILURE(stopAndExpectCleanEnd(*host));
  EXPECT_EQ(host->userEntries(), hostEntries);
  EXPECT_EQ(guest->userEntries(), guestEntries);
}

// The screen point of square (col, row) of a square board drawn as `tiles`.
QPoint squareCentre(const std::vector<DesktopIcon>& tiles, int col, int row) {
  std::set<double> xs;
  std::set<double> ys;
  for (const DesktopIcon& tile : tiles) {
    xs.insert(std::round(tile.x));
    ys.insert(std::round(tile.y));
  }
  return {static_cast<int>(*std::next(xs.begin(), col)),
          static_cast<int>(*std::next(ys.begin(), row))};
}

// Whether the screen of `desk` shows `colour` (give or take rendering) at `point`.
bool showsColour(const PlayedDesktop& desk, const std::string& shot, QPoint point, QColor colour) {
  const QImage screen(QString::fromStdString(desk.screenshot(shot).string()));
  if (screen.isNull() || !screen.rect().contains(point)) return false;
  const QColor seen = screen.pixelColor(point);
  return std::abs(seen.red() - colour.red()) < 24 && std::abs(seen.green() - colour.green()) < 24 &&
         std::abs(seen.blue() - colour.blue()) < 24;
}

constexpr int kLeftArrow = 123;
constexpr int kRightArrow = 124;
// The 7 × 7 board of corners.
constexpr std::size_t kCornersTiles = 49;

TEST(OnlinePlay, FourSimulatedMacsPlayCornersThroughRoomd) {
  Roomd roomd;
  ASSERT_FALSE(roomd.url().empty()) << roomd.errors();
  std::vector<std::unique_ptr<PlayedDesktop>> macs;
  for (int seat = 0; seat < 4; ++seat) {
    macs.push_back(macFor(roomd.url()));
    ASSERT_TRUE(macs.back()->start()) << macs.back()->failure;
  }
  for (const auto& mac : macs) {
    ASSERT_NO_FATAL_FAILURE(joinRoom(*mac, "corners", "bolt-grid-10", kCornersTiles));
  }
  const std::vector<DesktopIcon> board = macs[0]->tiles();

  // Red (the host, top left) claims the square to its right, then blue (top right) the
  // square to its left; each claim shows on all four screens.
  const struct {
    std::size_t seat;
    int key;
    int col;
    QColor colour;
  } claims[] = {{0, kRightArrow, 1, QColor("#e63946")}, {1, kLeftArrow, 5, QColor("#4895ef")}};
  for (const auto& claim : claims) {
    macs[claim.seat]->pressKey(claim.key);
    macs[claim.seat]->pressKey(kReturn);
    for (std::size_t seat = 0; seat < macs.size(); ++seat) {
      const std::string shot = "online-corners-" + std::to_string(seat + 1);
      EXPECT_TRUE(eventually([&] {
        return showsColour(*macs[seat], shot, squareCentre(board, claim.col, 0), claim.colour);
      })) << "seat "
          << claim.seat + 1 << "'s claim did not show on the screen of seat " << seat + 1 << "\n"
          << macs[seat]->gameLogText();
    }
  }

  for (const auto& mac : macs) ASSERT_NO_FATAL_FAILURE(stopAndExpectCleanEnd(*mac));
}

}  // namespace
}  // namespace deskplay::testing
