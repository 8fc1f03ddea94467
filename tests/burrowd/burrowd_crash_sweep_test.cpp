// Kills Burrowd at every system call of a move and of a journal write, then starts a fresh
// Burrowd on the same folders and checks that nothing was lost: the operation either did not
// happen or happened whole.
//
// strace's fault injection delivers SIGKILL on entry to the N-th call of one system call, so
// that call and everything after it never run. A dry run under strace records the calls of
// the operation (from the read of the request line to the write of its reply) and numbers
// each among the same-named calls of the whole run, as the injection counts them; every
// sweep run then gets exactly the same input on fresh folders, which makes the call sequence
// repeat.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "burrowd_client.hpp"
#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kKilledBySigkill = 128 + SIGKILL;
const std::string kJournalName = ".manifest.json";
const std::regex kStagingName(
    R"(\.frondel-journal-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\.tmp)");

// A fresh Desktop and stash for one run, holding bystanders that no operation may touch.
struct Folders {
  TempDir root;
  fs::path desktop = root / "Desktop";
  fs::path stash = root / "Stash";

  Folders() {
    fs::create_directory(desktop);
    fs::create_directory(stash);
    writeFile(desktop / "Keep.txt", "stays on the Desktop\n");
    writeFile(stash / "Earlier.txt", "stashed by an earlier session\n");
  }
};

// Every entry in both folders by its path below the root ("Desktop/Keep.txt"): a file's
// content, or kFolder.
using Tree = std::map<std::string, std::string>;
const std::string kFolder = "<folder>";

Tree snapshot(const Folders& folders) {
  Tree tree;
  for (const fs::path& side : {folders.desktop, folders.stash}) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(side)) {
      const std::string name = entry.path().lexically_relative(folders.root.path()).string();
      tree[name] = entry.is_directory() ? kFolder : readFile(entry.path());
    }
  }
  return tree;
}

// Removes the journal staging files directly in the stash from `tree` and returns their names.
std::vector<std::string> takeStagingFiles(Tree& tree) {
  const std::string stashPrefix = "Stash/";
  std::vector<std::string> staging;
  for (auto entry = tree.begin(); entry != tree.end();) {
    const std::string& name = entry->first;
    if (name.starts_with(stashPrefix) &&
        std::regex_match(name.substr(stashPrefix.size()), kStagingName)) {
      staging.push_back(name);
      entry = tree.erase(entry);
    } else {
      ++entry;
    }
  }
  return staging;
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::vector<std::string> lines(const std::string& output) {
  std::vector<std::string> result;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

bool isSuccessReply(const std::string& line) {
  const Json reply = Json::parse(line, nullptr, false);
  return reply.is_object() && reply.value("ok", false);
}

// The value of a success reply; any other reply ends the test.
Json succeeded(const Json& reply) {
  if (!reply.is_object() || !reply.value("ok", false)) {
    throw std::runtime_error("Burrowd failed: " + reply.dump());
  }
  return reply.at("value");
}

std::set<std::string> listed(BurrowdClient& burrowd, std::string_view side) {
  return succeeded(burrowd.request(listRequest(side))).get<std::set<std::string>>();
}

// Whether the crashed operation took effect, as a fresh Burrowd sees it. Declared in the
// order a run goes through them.
enum class Outcome { NotDone, Done };

// One operation to sweep: what it works on, its request, and how to tell whether it happened.
class Operation {
 public:
  virtual ~Operation() = default;
  virtual std::string description() const = 0;
  // Adds what the operation works on to fresh folders.
  virtual void prepare(const Folders& folders) const = 0;
  // The request, built with the help of a Burrowd on the prepared folders.
  virtual Json request(BurrowdClient& burrowd) = 0;
  // Asks a fresh Burrowd after a crash whether the operation took effect, checking that it
  // is wholly one way or the other.
  virtual Outcome observe(BurrowdClient& burrowd) const = 0;
  // The folders once the operation is done, given the folders before it.
  virtual Tree done(Tree before) const = 0;
  // Whether a crash may leave one journal staging file behind in the stash.
  virtual bool mayLeaveStagingFile() const { return false; }
};

// Moves one Desktop entry to the stash under the same name.
class MoveOperation : public Operation {
 public:
  MoveOperation(std::string entry, bool folder) : entry_(std::move(entry)), folder_(folder) {}

  std::string description() const override {
    return "move of the " + std::string(folder_ ? "folder " : "file ") + entry_;
  }

  void prepare(const Folders& folders) const override {
    const fs::path entry = folders.desktop / entry_;
    if (folder_) {
      fs::create_directories(entry / "Trips");
      writeFile(entry / "beach.txt", "sand\n");
      writeFile(entry / "Trips" / "pier.txt", "gulls\n");
    } else {
      writeFile(entry, "remember the milk\n");
    }
    // A move runs with the client's journal already in place; it must stay as it is.
    writeFile(folders.stash / kJournalName, R"({"moving":")" + entry_ + R"("})");
  }

  // Remembers the entry's identity, which a fresh Burrowd must find again.
  Json request(BurrowdClient& burrowd) override {
    identity_ = succeeded(burrowd.request(statRequest("desktop", entry_)));
    return moveRequest(endpoint("desktop", entry_), endpoint("stash", entry_), identity_);
  }

  Outcome observe(BurrowdClient& burrowd) const override {
    const Json onDesktop = succeeded(burrowd.request(statRequest("desktop", entry_)));
    const Json inStash = succeeded(burrowd.request(statRequest("stash", entry_)));
    EXPECT_NE(onDesktop.is_null(), inStash.is_null())
        << "the entry must be in exactly one folder; Desktop: " << onDesktop
        << ", stash: " << inStash;
    EXPECT_EQ(inStash.is_null() ? onDesktop : inStash, identity_);
    return inStash.is_null() ? Outcome::NotDone : Outcome::Done;
  }

  Tree done(Tree before) const override {
    const std::string from = "Desktop/" + entry_;
    const std::string to = "Stash/" + entry_;
    Tree after;
    for (auto& [name, content] : before) {
      const bool moved = name == from || name.starts_with(from + "/");
      after[moved ? to + name.substr(from.size()) : name] = std::move(content);
    }
    return after;
  }

 private:
  std::string entry_;
  bool folder_;
  Json identity_;
};

// Writes a new journal over an earlier one, or as the first.
class WriteOperation : public Operation {
 public:
  explicit WriteOperation(std::optional<std::string> earlierJournal)
      : earlierJournal_(std::move(earlierJournal)) {}

  std::string description() const override {
    return earlierJournal_ ? "write over an earlier journal" : "write of a first journal";
  }

  void prepare(const Folders& folders) const override {
    if (earlierJournal_) writeFile(folders.stash / kJournalName, *earlierJournal_);
  }

  Json request(BurrowdClient&) override { return {{"action", "write"}, {"text", kNewJournal}}; }

  Outcome observe(BurrowdClient& burrowd) const override {
    const Json journal = succeeded(burrowd.request({{"action", "read"}}));
    if (journal == Json(kNewJournal)) return Outcome::Done;
    EXPECT_EQ(journal, earlierJournal_ ? Json(*earlierJournal_) : Json(nullptr))
        << "the journal is neither the earlier one nor the new one";
    return Outcome::NotDone;
  }

  Tree done(Tree before) const override {
    before["Stash/" + kJournalName] = kNewJournal;
    return before;
  }

  bool mayLeaveStagingFile() const override { return true; }

 private:
  static constexpr std::string_view kNewJournal =
      R"({"moves":[{"name":"Notes.txt","from":"desktop","to":"stash"}]})";
  std::optional<std::string> earlierJournal_;
};

// The N-th call of one system call in a run of Burrowd.
struct CrashPoint {
  std::string syscall;
  int ordinal;
};

std::ostream& operator<<(std::ostream& out, const CrashPoint& point) {
  return out << point.syscall << '#' << point.ordinal;
}

// The calls from the read of the request line up to and including the write of its reply,
// in an strace output file of the whole run; empty when the reply never came.
std::vector<CrashPoint> operationWindow(const std::string& trace) {
  static const std::regex kCall(R"(^\d+\s+(\w+)\((.*))");
  std::map<std::string, int> calls;
  std::vector<CrashPoint> window;
  std::istringstream stream(trace);
  for (std::string line; std::getline(stream, line);) {
    std::smatch call;
    if (!std::regex_search(line, call, kCall)) continue;
    const std::string name = call[1];
    const std::string arguments = call[2];
    const int ordinal = ++calls[name];
    if (window.empty() && !(name == "read" && arguments.starts_with("0,"))) continue;
    window.push_back({name, ordinal});
    if (name == "write" && arguments.starts_with("1,")) return window;
  }
  return {};
}

std::vector<std::string> underStrace(const std::vector<std::string>& options,
                                     const Folders& folders) {
  // LeakSanitizer cannot work under ptrace; in a sanitizer build it would fail every run.
  std::vector<std::string> argv = {"strace", "-f", "-qq", "-E", "ASAN_OPTIONS=detect_leaks=0"};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.insert(argv.end(), {kBurrowdPath, folders.desktop.string(), folders.stash.string()});
  return argv;
}

// Why the sweep cannot run here, if it cannot.
std::optional<std::string> straceUnavailable() {
  try {
    const Completed probe = runProgram({"strace", "-f", "-qq", "-o", "/dev/null", "true"});
    if (probe.status != 0) {
      return "strace cannot trace here (is ptrace permitted?): " + probe.errors;
    }
  } catch (const std::runtime_error& error) {
    return std::string("strace is not installed: ") + error.what();
  }
  return std::nullopt;
}

class CrashSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::optional<std::string> reason = straceUnavailable()) GTEST_SKIP() << *reason;
  }

  // Kills Burrowd at every call of the operation, checking the folders after each crash.
  void sweep(Operation& operation) {
    std::vector<CrashPoint> window;
    ASSERT_NO_FATAL_FAILURE(recordWindow(operation, window));
    ASSERT_FALSE(window.empty()) << "the trace shows no request read followed by a reply";

    std::vector<Outcome> outcomes;
    for (const CrashPoint& point : window) {
      std::ostringstream label;
      label << "killed at " << point;
      SCOPED_TRACE(label.str());
      Outcome outcome = Outcome::NotDone;
      ASSERT_NO_FATAL_FAILURE(crashAt(operation, point, outcome));
      outcomes.push_back(outcome);
    }

    std::ostringstream points;
    for (const CrashPoint& point : window) points << ' ' << point;
    std::cout << "[  SWEPT   ] " << operation.description() << ": " << outcomes.size()
              << " crash points:" << points.str() << '\n';
    RecordProperty("crash_points", static_cast<int>(outcomes.size()));
    EXPECT_EQ(outcomes.size(), window.size());
    // The first point comes before any change and the last after all of them; once the
    // operation has taken effect, no later crash undoes it.
    EXPECT_EQ(outcomes.front(), Outcome::NotDone);
    EXPECT_EQ(outcomes.back(), Outcome::Done);
    EXPECT_TRUE(std::is_sorted(outcomes.begin(), outcomes.end()));
  }

 private:
  // Lays out fresh folders and returns the request line, asked of a Burrowd on them.
  static std::string prepare(Operation& operation, const Folders& folders) {
    operation.prepare(folders);
    BurrowdClient burrowd(folders.desktop, folders.stash);
    const std::string line = operation.request(burrowd).dump();
    EXPECT_EQ(burrowd.finish(), 0);
    return line;
  }

  static void recordWindow(Operation& operation, std::vector<CrashPoint>& window) {
    const Folders folders;
    const std::string request = prepare(operation, folders);
    const fs::path trace = folders.root / "burrowd.trace";
    const Completed run = runProgram(underStrace({"-o", trace.string()}, folders), request + "\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> replies = lines(run.output);
    ASSERT_EQ(replies.size(), 2u) << run.output;
    ASSERT_EQ(replies[1], R"({"ok":true,"value":null})");
    window = operationWindow(readFile(trace));
  }

  static void crashAt(Operation& operation, const CrashPoint& point, Outcome& outcome) {
    const Folders folders;
    const std::string request = prepare(operation, folders);
    const Tree before = snapshot(folders);

    const Completed run = runProgram(
        underStrace(
            {"-o", "/dev/null", "-e", "trace=" + point.syscall, "-e",
             "inject=" + point.syscall + ":signal=SIGKILL:when=" + std::to_string(point.ordinal)},
            folders),
        request + "\n");
    ASSERT_EQ(run.status, kKilledBySigkill)
        << "the crash point was never reached; output: " << run.output << run.errors;
    const std::vector<std::string> replies = lines(run.output);
    ASSERT_EQ(replies.size(), 1u) << "expected a death between the ready reply and the reply to "
                                     "the request: "
                                  << run.output;
    ASSERT_TRUE(isSuccessReply(replies[0])) << replies[0];

    BurrowdClient fresh(folders.desktop, folders.stash);
    ASSERT_TRUE(isSuccessReply(fresh.firstLine()))
        << "a fresh Burrowd could not start: " << fresh.firstLine();
    outcome = operation.observe(fresh);
    EXPECT_EQ(listed(fresh, "desktop"), namesIn(folders.desktop));
    EXPECT_EQ(listed(fresh, "stash"), namesIn(folders.stash));
    EXPECT_EQ(fresh.finish(), 0);

    Tree after = snapshot(folders);
    const std::vector<std::string> staging = takeStagingFiles(after);
    if (operation.mayLeaveStagingFile() && outcome == Outcome::NotDone) {
      EXPECT_LE(staging.size(), 1u);
    } else {
      EXPECT_EQ(staging, std::vector<std::string>());
    }
    EXPECT_EQ(after, outcome == Outcome::Done ? operation.done(before) : before);
  }
};

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& tested) {
  return tested.param.name;
}

struct MoveCase {
  const char* name;
  const char* entry;
  bool folder;
};

void PrintTo(const MoveCase& move, std::ostream* out) {
  *out << move.name;
}

class MoveCrashSweep : public CrashSweep, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveCrashSweep, EntryIsInExactlyOneFolderWithItsIdentity) {
  MoveOperation move(GetParam().entry, GetParam().folder);
  sweep(move);
}

INSTANTIATE_TEST_SUITE_P(Entries, MoveCrashSweep,
                         ::testing::Values(MoveCase{"File", "Notes.txt", false},
                                           MoveCase{"Folder", "Photos", true}),
                         caseName<MoveCase>);

struct WriteCase {
  const char* name;
  std::optional<std::string> earlierJournal;
};

void PrintTo(const WriteCase& write, std::ostream* out) {
  *out << write.name;
}

class WriteCrashSweep : public CrashSweep, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteCrashSweep, JournalIsWhollyOldOrWhollyNew) {
  WriteOperation write(GetParam().earlierJournal);
  sweep(write);
}

INSTANTIATE_TEST_SUITE_P(Journals, WriteCrashSweep,
                         ::testing::Values(WriteCase{"OverEarlierJournal", R"({"moves":[]})"},
                                           WriteCase{"FirstJournal", std::nullopt}),
                         caseName<WriteCase>);

}  // namespace
}  // namespace deskplay::testing
