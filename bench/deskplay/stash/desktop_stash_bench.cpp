// DesktopStash against the bare system calls doing the same moves, measured in one run on the
// same disk: hiding and restoring a Desktop of 1,000 entries, against creating the stash folder,
// renaming the same entries there and back and removing the folder. Prints the medians and
// their ratio; it never fails on a missed goal, only when something does not work.
//
// Usage: desktop_stash_bench [FOLDER]   (scratch files go under FOLDER, default $TMPDIR or /tmp)

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/unique_fd.hpp"
#include "core/stash/desktop_stash.hpp"
#include "bench/support/bench_support.hpp"

namespace deskplay::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kEntries = 1000;
constexpr int kWarmUpRounds = 3;
constexpr int kRounds = 31;
constexpr double kGoalRatio = 1.3;

// A Desktop of files and a few folders, with names of the usual kinds.
std::vector<std::string> fillDesktop(const std::filesystem::path& desktop) {
  std::filesystem::create_directories(desktop);
  std::vector<std::string> names;
  for (int i = 0; i < kEntries; ++i) {
    std::string name = "Screenshot " + std::to_string(i) + (i % 3 == 0 ? " Résumé.pdf" : ".png");
    const std::filesystem::path path = desktop / name;
    if (i % 50 == 0) {
      if (::mkdir(path.c_str(), 0755) != 0) throw systemFailure("mkdir " + path.string());
    } else {
      const UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
      if (!file.valid()) throw systemFailure("create " + path.string());
    }
    names.push_back(std::move(name));
  }
  return names;
}

UniqueFd openDirectory(const std::filesystem::path& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) throw systemFailure("open " + path.string());
  return fd;
}

// The same moves with nothing around them: the stash folder made, every entry renamed into it
// without replacing, every entry renamed back, the folder removed.
void bareRoundTrip(const std::filesystem::path& desktop, const std::filesystem::path& stash,
                   const std::vector<std::string>& names) {
  if (::mkdir(stash.c_str(), 0777) != 0) throw systemFailure("mkdir");
  const UniqueFd from = openDirectory(desktop);
  const UniqueFd to = openDirectory(stash);
  for (const std::string& name : names) {
    if (::renameat2(from.get(), name.c_str(), to.get(), name.c_str(), RENAME_NOREPLACE) != 0) {
      throw systemFailure("renameat2");
    }
  }
  for (const std::string& name : names) {
    if (::renameat2(to.get(), name.c_str(), from.get(), name.c_str(), RENAME_NOREPLACE) != 0) {
      throw systemFailure("renameat2");
    }
  }
  if (::rmdir(stash.c_str()) != 0) throw systemFailure("rmdir");
}

void stashRoundTrip(core::DesktopStash& stash) {
  if (!stash.hide()) throw std::runtime_error("hide failed");
  if (!stash.restore()) throw std::runtime_error("restore failed");
}

template <class Work>
double millisecondsOf(Work&& work) {
  const Clock::time_point start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::filesystem::path defaultParent() {
  const char* tmp = std::getenv("TMPDIR");
  return (tmp != nullptr && *tmp != '\0') ? std::filesystem::path(tmp) : "/tmp";
}

int run(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: %s [FOLDER]\n", argv[0]);
    return 2;
  }
  const ScratchFolder scratch(argc == 2 ? std::filesystem::path(argv[1]) : defaultParent(),
                             "desktop-stash-bench-");
  const std::filesystem::path stashHome = scratch.path() / "stash home";
  const std::filesystem::path bareHome = scratch.path() / "bare home";
  core::DesktopStash stash = core::DesktopStash::forHome(stashHome);
  fillDesktop(stash.desktop());
  const std::vector<std::string> bareNames = fillDesktop(bareHome / "Desktop");
  const std::filesystem::path bareStash = bareHome / ".deskplay-stash";
  std::printf("scratch folder %s\n%d entries per Desktop, median of %d rounds after %d warm-up\n\n",
              scratch.path().c_str(), kEntries, kRounds, kWarmUpRounds);

  std::vector<double> throughStash;
  std::vector<double> bare;
  // Interleaved, so that both see the disk in the same state.
  for (int round = 0; round < kWarmUpRounds + kRounds; ++round) {
    const double stashed = millisecondsOf([&] { stashRoundTrip(stash); });
    const double renamed =
        millisecondsOf([&] { bareRoundTrip(bareHome / "Desktop", bareStash, bareNames); });
    if (round < kWarmUpRounds) continue;
    throughStash.push_back(stashed);
    bare.push_back(renamed);
  }

  const double stashMedian = median(throughStash);
  const double bareMedian = median(bare);
  const double ratio = stashMedian / bareMedian;
  std::printf("%-36s %12s %12s %7s %8s %4s\n", "figure", "DesktopStash", "bare", "ratio", "goal",
              "met");
  std::printf("%-36s %9.3f ms %9.3f ms %6.2fx %7.2fx %4s\n", "hide + restore, 1,000 entries",
              stashMedian, bareMedian, ratio, kGoalRatio, ratio <= kGoalRatio ? "yes" : "NO");
  std::printf(
      "\nBaseline: mkdir of the stash, renameat2(RENAME_NOREPLACE) of every entry there and back,\n"
      "rmdir of the stash, on directory descriptors opened once per round.\n");
  return 0;
}

}  // namespace

}  // namespace deskplay::bench

int main(int argc, char** argv) {
  try {
    return deskplay::bench::run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "desktop_stash_bench: %s\n", error.what());
    return 1;
  }
}
