// Burrowd's costs against bare system calls doing the same work, measured in one run on the
// same disk: a move between Desktop and stash, a 16 MiB journal write and read, and the peak
// memory of a 16 MiB write. Prints the figures and whether each meets its goal; it never
// fails on a missed goal, only when something does not work.
//
// Usage: burrowd_bench [FOLDER]   (scratch files go under FOLDER, default $TMPDIR or /tmp)

#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "burrowd_process.hpp"
#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::bench {

namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// Burrowd's journal size limit, the largest text it keeps.
constexpr std::size_t kJournalBytes = 16 * 1024 * 1024;
constexpr double kMiB = 1024.0 * 1024.0;

// Each move round carries the entry to the stash and back, so 200 rounds time 400 moves.
constexpr int kMoveWarmUpRounds = 10;
constexpr int kMoveRounds = 200;
constexpr int kJournalRounds = 15;

constexpr char kEntryName[] = "moving entry.txt";
constexpr std::string_view kNullReply = R"({"ok":true,"value":null})";
constexpr std::string_view kTextReplyStart = R"({"ok":true,"value":")";
constexpr std::string_view kTextReplyEnd = R"("})";

std::runtime_error systemFailure(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// The run's own folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::filesystem::path& parent) {
    struct statfs volume {};
    if (::statfs(parent.c_str(), &volume) != 0) throw systemFailure(parent.string());
    // On a file system in memory fsync costs nothing, and the comparison would mean nothing.
    if (volume.f_type == TMPFS_MAGIC || volume.f_type == RAMFS_MAGIC) {
      throw std::runtime_error(parent.string() + " is in memory; give a folder on a disk");
    }
    std::string pattern = parent / "burrowd-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw systemFailure("mkdtemp " + pattern);
    path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  // Makes a folder inside, with its parents.
  std::string folder(const std::string& relative) const {
    std::filesystem::create_directories(path_ / relative);
    return path_ / relative;
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

UniqueFd openDirectory(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) throw systemFailure("open " + path);
  return fd;
}

void createFile(const std::string& path, std::string_view content) {
  const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd.valid() || writeAll(fd.get(), content) != 0) throw systemFailure("create " + path);
}

template <class Work>
double millisecondsOf(Work&& work) {
  const Clock::time_point start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

void expectReply(std::string_view reply, std::string_view expected) {
  if (reply != expected) {
    throw std::runtime_error("unexpected reply from Burrowd: " + std::string(reply));
  }
}

// What a move through Burrowd does, as bare system calls: look at the source, rename without
// replacing, make both directories durable, look at the target.
void bareMove(int fromDir, int toDir) {
  struct stat source {};
  struct stat target {};
  if (::fstatat(fromDir, kEntryName, &source, AT_SYMLINK_NOFOLLOW) != 0) {
    throw systemFailure("fstatat");
  }
  if (::renameat2(fromDir, kEntryName, toDir, kEntryName, RENAME_NOREPLACE) != 0) {
    throw systemFailure("renameat2");
  }
  if (::fsync(fromDir) != 0 || ::fsync(toDir) != 0) throw systemFailure("fsync");
  if (::fstatat(toDir, kEntryName, &target, AT_SYMLINK_NOFOLLOW) != 0) {
    throw systemFailure("fstatat");
  }
  if (source.st_ino != target.st_ino) throw std::runtime_error("bare move lost its entry");
}

// What a journal write through Burrowd does, as bare system calls: an atomic, durable replace.
void bareReplace(int directory, std::string_view bytes) {
  constexpr const char* kStaging = "journal.tmp";
  constexpr const char* kTarget = "journal";
  const UniqueFd file(::openat(directory, kStaging, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!file.valid()) throw systemFailure("openat");
  if (writeAll(file.get(), bytes) != 0) throw systemFailure("write");
  if (::fsync(file.get()) != 0) throw systemFailure("fsync");
  if (::renameat(directory, kStaging, directory, kTarget) != 0) throw systemFailure("renameat");
  if (::fsync(directory) != 0) throw systemFailure("fsync");
}

// Mostly ASCII, like a journal of file names, with names in two-, three- and four-byte UTF-8
// sequences mixed in so that the UTF-8 checks meet each kind. Nothing in it needs a JSON
// escape, so the request line is the text plus a few bytes. Exactly the journal size limit.
std::string journalText() {
  constexpr std::string_view kPhrase =
      "moved Quarterly report 2024.pdf from the Desktop to the stash, identity kept; "
      "then Résumé.pages, 日本の写真.png and 🎮 Arcade.app, all checked before and after; ";
  std::string text;
  text.reserve(kJournalBytes);
  while (text.size() + kPhrase.size() <= kJournalBytes) text += kPhrase;
  text.append(kJournalBytes - text.size(), '.');
  return text;
}

std::string requestLine(const Json& request) {
  return request.dump() + '\n';
}

struct Row {
  std::string figure;
  std::string burrowd;
  std::string baseline;
  std::string ratio;
  std::string goal;
  std::string met;
};

// A value with `decimals` digits after the point, then its unit.
std::string number(double value, int decimals, std::string_view unit) {
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
  return digits + std::string(unit);
}

Row timeRow(std::string figure, double burrowd, double baseline, double goalRatio) {
  const double ratio = burrowd / baseline;
  return {
      std::move(figure),     number(burrowd, 3, " ms"),         number(baseline, 3, " ms"),
      number(ratio, 2, "x"), "<= " + number(goalRatio, 2, "x"), ratio <= goalRatio ? "yes" : "NO"};
}

// Without a goal, the figure is shown for reference only.
Row memoryRow(std::string figure, std::size_t bytes, std::optional<double> goalMiB) {
  const double mib = static_cast<double>(bytes) / kMiB;
  if (!goalMiB) return {std::move(figure), number(mib, 1, " MiB"), "-", "-", "-", "-"};
  return {std::move(figure),
          number(mib, 1, " MiB"),
          "-",
          "-",
          "<= " + number(*goalMiB, 0, " MiB"),
          mib <= *goalMiB ? "yes" : "NO"};
}

void printRow(const Row& row) {
  std::printf("%-44s %12s %12s %7s %12s %4s\n", row.figure.c_str(), row.burrowd.c_str(),
              row.baseline.c_str(), row.ratio.c_str(), row.goal.c_str(), row.met.c_str());
}

void printTable(const std::vector<Row>& rows) {
  printRow({"figure", "Burrowd", "baseline", "ratio", "goal", "met"});
  for (const Row& row : rows) printRow(row);
}

struct Folders {
  std::string desktop;
  std::string stash;
  std::string bareDesktop;
  std::string bareStash;
};

// Medians of moving one file between Desktop and stash, through Burrowd and bare, interleaved
// so that both see the disk in the same state.
std::vector<Row> measureMoves(const Folders& folders) {
  createFile(folders.desktop + "/" + std::string(kEntryName), "an entry on the Desktop\n");
  createFile(folders.bareDesktop + "/" + std::string(kEntryName), "an entry on the Desktop\n");
  const UniqueFd bareDesktop = openDirectory(folders.bareDesktop);
  const UniqueFd bareStash = openDirectory(folders.bareStash);

  BurrowdProcess burrowd(BURROWD_PATH, folders.desktop, folders.stash, 1 << 16);
  const Json desktopEntry = {{"side", "desktop"}, {"name", kEntryName}};
  const Json stashEntry = {{"side", "stash"}, {"name", kEntryName}};
  // A rename keeps the entry's identity, so one look serves every move.
  const Json identity =
      Json::parse(burrowd.exchange(requestLine({{"action", "stat"}, {"endpoint", desktopEntry}})))
          .at("value");
  const std::string toStash = requestLine(
      {{"action", "move"}, {"from", desktopEntry}, {"to", stashEntry}, {"identity", identity}});
  const std::string toDesktop = requestLine(
      {{"action", "move"}, {"from", stashEntry}, {"to", desktopEntry}, {"identity", identity}});

  std::vector<double> throughBurrowd;
  std::vector<double> bare;
  for (int round = 0; round < kMoveWarmUpRounds + kMoveRounds; ++round) {
    const double burrowdThere =
        millisecondsOf([&] { expectReply(burrowd.exchange(toStash), kNullReply); });
    const double bareThere = millisecondsOf([&] { bareMove(bareDesktop.get(), bareStash.get()); });
    const double burrowdBack =
        millisecondsOf([&] { expectReply(burrowd.exchange(toDesktop), kNullReply); });
    const double bareBack = millisecondsOf([&] { bareMove(bareStash.get(), bareDesktop.get()); });
    if (round < kMoveWarmUpRounds) continue;
    throughBurrowd.insert(throughBurrowd.end(), {burrowdThere, burrowdBack});
    bare.insert(bare.end(), {bareThere, bareBack});
  }
  const std::string figure = "move (median of " + std::to_string(bare.size()) + ")";
  return {timeRow(figure, median(throughBurrowd), median(bare), 1.25)};
}

// Medians of replacing and reading back a full-size journal, over an existing full-size one,
// through Burrowd and as a bare atomic replace, and Burrowd's peak memory for such a write.
std::vector<Row> measureJournal(const Folders& folders) {
  const std::string text = journalText();
  // Encoded before any timing: only Burrowd's work is measured.
  const std::string writeRequest = requestLine({{"action", "write"}, {"text", text}});
  const std::string readRequest = requestLine({{"action", "read"}});
  const std::size_t largestReply = kTextReplyStart.size() + text.size() + kTextReplyEnd.size();

  // The journal every timed write replaces, from a Burrowd of its own.
  expectReply(BurrowdProcess(BURROWD_PATH, folders.desktop, folders.stash, largestReply)
                  .exchange(writeRequest),
              kNullReply);
  const UniqueFd bareStash = openDirectory(folders.bareStash);
  bareReplace(bareStash.get(), text);

  BurrowdProcess burrowd(BURROWD_PATH, folders.desktop, folders.stash, largestReply);
  expectReply(burrowd.exchange(writeRequest), kNullReply);
  const std::size_t peakAfterWrite = burrowd.peakResidentBytes();

  std::vector<double> writes;
  std::vector<double> reads;
  std::vector<double> bare;
  for (int round = 0; round < kJournalRounds; ++round) {
    writes.push_back(
        millisecondsOf([&] { expectReply(burrowd.exchange(writeRequest), kNullReply); }));
    bare.push_back(millisecondsOf([&] { bareReplace(bareStash.get(), text); }));
    std::string_view reply;
    reads.push_back(millisecondsOf([&] { reply = burrowd.exchange(readRequest); }));
    if (reply.size() != largestReply || !reply.starts_with(kTextReplyStart) ||
        !reply.ends_with(kTextReplyEnd) ||
        reply.substr(kTextReplyStart.size(), text.size()) != text) {
      throw std::runtime_error("Burrowd read back another journal: " +
                               std::string(reply.substr(0, 200)));
    }
  }
  const std::string rounds = " (median of " + std::to_string(kJournalRounds) + ")";
  const double bareReplaceTime = median(bare);
  return {timeRow("journal write, 16 MiB" + rounds, median(writes), bareReplaceTime, 1.5),
          timeRow("journal read, 16 MiB" + rounds, median(reads), bareReplaceTime, 2.0),
          memoryRow("peak memory after a 16 MiB write", peakAfterWrite, 64),
          memoryRow("peak memory after the reads too", burrowd.peakResidentBytes(), std::nullopt)};
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
  // A Burrowd that dies shows up as a failed exchange, not as the end of the benchmark.
  ::signal(SIGPIPE, SIG_IGN);
  const ScratchFolder scratch(argc == 2 ? std::filesystem::path(argv[1]) : defaultParent());
  const Folders folders{scratch.folder("burrowd/Desktop"), scratch.folder("burrowd/stash"),
                        scratch.folder("bare/Desktop"), scratch.folder("bare/stash")};
  std::printf("Burrowd %s\nscratch folder %s\n\n", BURROWD_PATH, scratch.path().c_str());

  std::vector<Row> rows = measureMoves(folders);
  const std::vector<Row> journalRows = measureJournal(folders);
  rows.insert(rows.end(), journalRows.begin(), journalRows.end());
  printTable(rows);
  std::printf(
      "\nBaselines: move = fstatat, renameat2(RENAME_NOREPLACE), fsync of both folders, "
      "fstatat;\njournal = write a staging file, fsync, rename over the journal, fsync "
      "the folder (for both write and read).\n");
  return 0;
}

}  // namespace

}  // namespace deskplay::bench

int main(int argc, char** argv) {
  try {
    return deskplay::bench::run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "burrowd_bench: %s\n", error.what());
    return 1;
  }
}
