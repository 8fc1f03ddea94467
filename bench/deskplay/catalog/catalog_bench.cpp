// The packaged catalog refresh over 500 game folders (list, check, read and decode each
// manifest, de-duplicate, sort, log), against a bare baseline measured in the same run on the
// same files: listing the folder and reading every manifest with plain system calls. Prints
// the medians, their ratio and whether the refresh meets its goal; never fails on a missed
// goal.
//
// Usage: catalog_bench [FOLDER]   (scratch files go under FOLDER, default $TMPDIR or /tmp)

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/bench_support.hpp"
#include "core/catalog/catalog_store.hpp"
#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/system_clock.hpp"

namespace deskplay::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kGames = 500;
constexpr int kUserGames = 20;
constexpr int kWarmUpRounds = 3;
constexpr int kRounds = 25;
constexpr double kGoalMs = 100;

const char* const kSections[] = {"arcade", "puzzles", "tabletop", "studio"};

void writeFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream stream(path, std::ios::binary);
  stream << content;
  if (!stream) throw std::runtime_error("cannot write " + path.string());
}

// A manifest of realistic size: a few control hints, a gradient, an 8-row glyph, a palette.
std::string manifest(const std::string& id, int index) {
  return R"({"id":")" + id + R"(","name":"Game )" + std::to_string((index * 7919) % kGames) +
         R"(","entryFile":")" + id + R"(/main.ts","section":")" + kSections[index % 4] +
         R"(","launch":"soloOrMultiplayer","order":)" + std::to_string(index % 5 - 2) +
         R"(,"multiplayer":{"tagline":"Race a friend","soloLabel":"Solo"},)"
         R"("controls":[["←→","Move"],["↑","Rotate"],["Space","Drop"],["Esc","Pause"]],)"
         R"("card":{"gradient":["#1e3a8a","#9333ea"],"glyph":["..##..",".#aa#.","#abba#",)"
         R"("#abba#",".#aa#.","..##..","......","######"],"palette":{"a":"#f59e0b","b":"#ef4444"}}})";
}

void makeGames(const std::filesystem::path& folder, const std::string& prefix, int count) {
  for (int index = 0; index < count; ++index) {
    const std::string id = prefix + std::to_string(index);
    std::filesystem::create_directories(folder / id);
    writeFile(folder / id / "manifest.json", manifest(id, index));
    writeFile(folder / id / (id + ".mjs"), "export {};\n");
  }
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The bare work: list the folder and read every manifest, nothing else.
size_t readManifestsBare(const std::filesystem::path& folder) {
  size_t bytes = 0;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) throw std::runtime_error("opendir " + folder.string());
  char buffer[8192];
  while (const dirent* entry = ::readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    const std::string path = folder / entry->d_name / "manifest.json";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) bytes += static_cast<size_t>(got);
    ::close(fd);
  }
  ::closedir(listing);
  return bytes;
}

int run(const std::filesystem::path& parent) {
  ScratchFolder scratch(parent, "catalog-bench-");
  const std::filesystem::path bundle = scratch.path() / "Deskplay.app";
  const core::AppPaths paths{scratch.path() / "home", scratch.path() / "tmp", bundle};
  std::filesystem::create_directories(paths.temporaryDirectory);
  std::filesystem::create_directories(paths.resourceGamesFolder() / "fonts");
  makeGames(paths.resourceGamesFolder(), "game-", kGames);
  // A few user games, half of them shadowed by bundled ones.
  makeGames(paths.userGamesFolder(), "game-", kUserGames / 2);
  makeGames(paths.userGamesFolder(), "user-", kUserGames / 2);

  platform::PlistFilePreferences preferences(scratch.path() / "defaults.plist",
                                             scratch.path() / "domains");
  platform::SystemClock clock;
  core::CatalogStore store(paths, preferences, clock, platform::macosToolPaths());

  std::vector<double> refreshes;
  std::vector<double> bare;
  size_t checksum = 0;
  for (int round = 0; round < kWarmUpRounds + kRounds; ++round) {
    const auto bareStart = Clock::now();
    checksum += readManifestsBare(paths.resourceGamesFolder());
    const double bareTime = millisecondsSince(bareStart);
    const auto start = Clock::now();
    store.refresh();
    const double refreshTime = millisecondsSince(start);
    if (round >= kWarmUpRounds) {
      bare.push_back(bareTime);
      refreshes.push_back(refreshTime);
    }
  }
  const size_t expected = kGames + kUserGames / 2;
  if (store.games().size() != expected || store.refreshError()) {
    std::fprintf(stderr, "catalog_bench: expected %zu games, got %zu\n", expected,
                 store.games().size());
    return 1;
  }

  const double refreshMedian = median(refreshes);
  const double bareMedian = median(bare);
  std::printf("scratch folder %s (%zu manifest bytes read per bare round)\n\n",
              scratch.path().c_str(), checksum / static_cast<size_t>(kWarmUpRounds + kRounds));
  std::printf("%-48s %10s %10s %7s %10s %5s\n", "figure", "refresh", "bare", "ratio", "goal",
              "met");
  std::printf("%-48s %8.2fms %8.2fms %6.1fx %8.0fms %5s\n",
              ("packaged scan, " + std::to_string(kGames) + "+" + std::to_string(kUserGames) +
               " folders (median of " + std::to_string(kRounds) + ")")
                  .c_str(),
              refreshMedian, bareMedian, refreshMedian / bareMedian, kGoalMs,
              refreshMedian <= kGoalMs ? "yes" : "NO");
  return 0;
}

}  // namespace

}  // namespace deskplay::bench

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc > 2) {
    std::fprintf(stderr, "usage: %s [FOLDER]\n", argv[0]);
    return 2;
  }
  const char* tmp = std::getenv("TMPDIR");
  const std::filesystem::path parent =
      argc == 2 ? argv[1] : (tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
  try {
    return deskplay::bench::run(parent);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "catalog_bench: %s\n", error.what());
    return 1;
  }
}
