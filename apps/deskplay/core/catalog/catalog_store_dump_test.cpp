#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <cerrno>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/catalog/catalog_test_support.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

constexpr int kDumpTimeoutMs = 60000;

std::vector<std::string> ids(const std::vector<Game>& games) {
  std::vector<std::string> result;
  for (const Game& game : games) result.push_back(game.id);
  return result;
}

platform::PreferenceData dataOf(const std::string& text) {
  return platform::PreferenceData{std::vector<unsigned char>(text.begin(), text.end())};
}

// A valid record but for a number beyond a double's range under a key nobody reads.
std::string outOfRangeRecord() {
  std::string record = testing::gameJson("huge", "Huge");
  return record.insert(record.size() - 1, ",\"ignored\":1e400");
}

// The development layout: a bundle deep inside a checkout (no resource games folder), the
// real login shell, and a fake `node` first in PATH whose behaviour each test writes.
class DevelopmentCatalogTest : public ::testing::Test {
 protected:
  DevelopmentCatalogTest()
      : checkout_(dir_ / "it's checkout"),
        paths_{dir_ / "home", dir_ / "tmp", checkout_ / "build" / "dev" / "Deskplay.app"},
        environment_(testing::testEnvironment(paths_.home, dir_ / "run", dir_ / "bin")) {
    std::filesystem::create_directories(paths_.bundle / "Contents" / "MacOS");
    std::filesystem::create_directories(paths_.temporaryDirectory);
    deskplay::testing::writeFile(checkout_ / "pnpm-workspace.yaml", "packages: []\n");
  }

  CatalogStore& store() {
    if (!store_) {
      platform::ToolPaths tools = platform::macosToolPaths();
      tools.zsh = zsh_;
      store_ = std::make_unique<CatalogStore>(paths_, preferences_, clock_, tools, environment_);
    }
    return *store_;
  }

  // The dump prints `output` on standard output and exits with `status`.
  void dumpPrints(const std::string& output, int status = 0) {
    deskplay::testing::writeFile(dir_ / "dump-output", output);
    testing::writeScript(dir_ / "bin" / "node", "cat '" + (dir_ / "dump-output").string() +
                                                    "'\nexit " + std::to_string(status) + "\n");
  }
  void dumpRuns(const std::string& script) { testing::writeScript(dir_ / "bin" / "node", script); }

  // Refreshes and waits for the outcome on the main thread.
  void refreshAndWait() {
    QSignalSpy finished(&store(), &CatalogStore::refreshFinished);
    store().refresh();
    ASSERT_TRUE(finished.wait(kDumpTimeoutMs));
  }

  std::optional<platform::PreferenceValue> cache() { return preferences_.value(kCatalogJSONKey); }

  static std::string catalogOf(const std::vector<std::string>& records) {
    std::string text = "[";
    for (size_t index = 0; index < records.size(); ++index) {
      text += (index > 0 ? "," : "") + records[index];
    }
    return text + "]";
  }

  deskplay::testing::TempDir dir_;
  std::filesystem::path checkout_;
  AppPaths paths_;
  QProcessEnvironment environment_;
  std::filesystem::path zsh_ = "/bin/zsh";
  platform::testing::FakePreferences preferences_;
  platform::testing::FakeClock clock_;
  std::unique_ptr<CatalogStore> store_;
};

TEST_F(DevelopmentCatalogTest, PublishesTheDumpAsReceivedAndCachesItsBytes) {
  const std::string output = "\n" +
                             catalogOf({testing::gameJson("zeta", "Zeta", "studio"),
                                        testing::gameJson("alpha", "Alpha", "arcade"),
                                        testing::gameJson("alpha", "Alpha again", "arcade")}) +
                             "\n";
  dumpPrints(output);
  QSignalSpy gamesChanged(&store(), &CatalogStore::gamesChanged);

  refreshAndWait();

  // No sorting and no de-duplication for the dump.
  EXPECT_EQ(ids(store().games()), (std::vector<std::string>{"zeta", "alpha", "alpha"}));
  EXPECT_EQ(store().games()[0].bundleURL, std::nullopt);
  EXPECT_EQ(store().refreshError(), std::nullopt);
  EXPECT_EQ(gamesChanged.count(), 1);
  EXPECT_EQ(cache(), platform::PreferenceValue(dataOf(output)));
  EXPECT_EQ(store().bundledGamesURL(), std::nullopt);
}

TEST_F(DevelopmentCatalogTest, LoadShowsTheCacheAtOnceThenTheDump) {
  ASSERT_TRUE(preferences_
                  .setValue(kCatalogJSONKey, dataOf(catalogOf({testing::gameJson("b", "B"),
                                                               testing::gameJson("a", "A")})))
                  .ok());
  dumpPrints(catalogOf({testing::gameJson("fresh", "Fresh")}));
  QSignalSpy finished(&store(), &CatalogStore::refreshFinished);

  store().load();
  // Unsorted, as stored, before the dump has had any chance to end.
  EXPECT_EQ(ids(store().games()), (std::vector<std::string>{"b", "a"}));

  ASSERT_TRUE(finished.wait(kDumpTimeoutMs));
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"fresh"});
}

TEST_F(DevelopmentCatalogTest, BadOrForeignCacheIsIgnored) {
  dumpPrints("[]");
  for (const platform::PreferenceValue& cached :
       {platform::PreferenceValue(dataOf("[{\"id\":1}]")), platform::PreferenceValue(dataOf("")),
        platform::PreferenceValue(dataOf("[" + outOfRangeRecord() + "]")),
        platform::PreferenceValue("[" + testing::gameJson("text", "Text") + "]")}) {
    store_.reset();
    ASSERT_TRUE(preferences_.setValue(kCatalogJSONKey, cached).ok());
    store().load();
    EXPECT_TRUE(store().games().empty());
    QSignalSpy finished(&store(), &CatalogStore::refreshFinished);
    ASSERT_TRUE(finished.wait(kDumpTimeoutMs));
  }
}

TEST_F(DevelopmentCatalogTest, FailedDumpReportsTheLastErrorLineAndKeepsTheGames) {
  dumpPrints(catalogOf({testing::gameJson("kept", "Kept")}));
  refreshAndWait();
  const auto cachedBefore = cache();

  dumpRuns("echo 'Loading tsx' >&2\necho 'Error: Cannot find module' >&2\nexit 1\n");
  refreshAndWait();
  EXPECT_EQ(store().refreshError(), "Catalog refresh failed: Error: Cannot find module");
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"kept"});

  dumpRuns("exit 3\n");
  refreshAndWait();
  EXPECT_EQ(store().refreshError(), "Catalog refresh failed: exit 3");
  EXPECT_EQ(cache(), cachedBefore);
}

TEST_F(DevelopmentCatalogTest, UndecodableOutputReportsTheDecodeError) {
  dumpPrints(catalogOf({testing::gameJson("kept", "Kept")}));
  refreshAndWait();
  const auto cachedBefore = cache();

  for (const auto& [output, reason] :
       {std::pair<std::string, std::string>{"Compiling…\n[]", "syntax error"},
        {catalogOf({testing::gameJson("x", "X", "sports")}), "sports"},
        {catalogOf({outOfRangeRecord()}), "number overflow parsing '1e400'"}}) {
    dumpPrints(output);
    refreshAndWait();
    ASSERT_TRUE(store().refreshError());
    EXPECT_TRUE(store().refreshError()->starts_with("Catalog decode failed: "))
        << *store().refreshError();
    EXPECT_NE(store().refreshError()->find(reason), std::string::npos) << *store().refreshError();
    EXPECT_EQ(ids(store().games()), std::vector<std::string>{"kept"});
    EXPECT_EQ(cache(), cachedBefore);
  }
}

TEST_F(DevelopmentCatalogTest, ErrorStaysWhileADumpIsInFlightAndClearsOnSuccess) {
  dumpRuns("exit 2\n");
  refreshAndWait();
  ASSERT_EQ(store().refreshError(), "Catalog refresh failed: exit 2");

  dumpPrints("[]");
  QSignalSpy finished(&store(), &CatalogStore::refreshFinished);
  store().refresh();
  EXPECT_EQ(store().refreshError(), "Catalog refresh failed: exit 2");
  ASSERT_TRUE(finished.wait(kDumpTimeoutMs));
  EXPECT_EQ(store().refreshError(), std::nullopt);
  EXPECT_TRUE(store().games().empty());
}

TEST_F(DevelopmentCatalogTest, BigOutputOnBothPipes) {
  // A catalog far larger than a pipe, after even more text on standard error.
  std::string record = testing::gameJson("big", "Big");
  record.insert(record.size() - 1, ",\"padding\":\"" + std::string(4 << 20, 'p') + "\"");
  deskplay::testing::writeFile(dir_ / "dump-output", catalogOf({record}));
  dumpRuns("head -c 6291456 /dev/zero | tr '\\0' e >&2\ncat '" + (dir_ / "dump-output").string() +
           "'\n");
  refreshAndWait();
  EXPECT_EQ(store().refreshError(), std::nullopt);
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"big"});
}

TEST_F(DevelopmentCatalogTest, ShellThatCannotStart) {
  zsh_ = dir_ / "no-zsh-here";
  refreshAndWait();
  ASSERT_TRUE(store().refreshError());
  EXPECT_TRUE(store().refreshError()->starts_with("Catalog refresh failed to start: "))
      << *store().refreshError();
}

TEST_F(DevelopmentCatalogTest, NoCheckoutIsReportedAtOnce) {
  std::filesystem::remove(checkout_ / "pnpm-workspace.yaml");
  QSignalSpy errorChanged(&store(), &CatalogStore::refreshErrorChanged);
  store().refresh();
  EXPECT_EQ(store().refreshError(), "Could not locate the tilestack repo (pnpm-workspace.yaml).");
  EXPECT_EQ(errorChanged.count(), 1);
  EXPECT_TRUE(store().games().empty());
}

// A named pipe that a dump reads a line from: it waits there until the test lets it go.
class DumpGate {
 public:
  explicit DumpGate(std::filesystem::path path) : path_(std::move(path)) {
    EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0);
  }
  DumpGate(const DumpGate&) = delete;
  DumpGate& operator=(const DumpGate&) = delete;
  // A dump still waiting when a test fails is let go too, so that none outlives the test.
  ~DumpGate() { open(); }

  const std::filesystem::path& path() const { return path_; }
  // Only a dump already waiting is let go; without one this does nothing.
  void open() const {
    const UniqueFd fd(::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() >= 0) static_cast<void>(writeAll(fd.get(), "go\n"));
  }

 private:
  std::filesystem::path path_;
};

TEST_F(DevelopmentCatalogTest, LastDumpToFinishWins) {
  // The first dump is slow and the second quick: the slow one's catalog is the one left.
  const auto counter = dir_ / "calls";
  const DumpGate gate(dir_ / "gate");
  dumpRuns("if [ -e '" + counter.string() + "' ]; then echo '[" + testing::gameJson("quick", "Q") +
           "]'; else touch '" + counter.string() + "'; read -r _ < '" + gate.path().string() +
           "'; echo '[" + testing::gameJson("slow", "S") + "]'; fi\n");
  QSignalSpy finished(&store(), &CatalogStore::refreshFinished);
  store().refresh();
  // The first dump is under way before the second starts.
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(counter); }, kDumpTimeoutMs));
  store().refresh();
  ASSERT_TRUE(finished.wait(kDumpTimeoutMs));
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"quick"});

  gate.open();
  ASSERT_TRUE(finished.wait(kDumpTimeoutMs));
  EXPECT_EQ(ids(store().games()), std::vector<std::string>{"slow"});
}

TEST_F(DevelopmentCatalogTest, StoreDestroyedWhileADumpRunsIsLeftAlone) {
  // The dump outlives the store, then succeeds; it notes its process id for the test.
  const auto pidFile = dir_ / "dump-pid";
  const DumpGate gate(dir_ / "gate");
  dumpRuns("echo $$ > '" + pidFile.string() + "'\nread -r _ < '" + gate.path().string() +
           "'\necho '[" + testing::gameJson("late", "Late") + "]'\n");
  store().refresh();
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(pidFile); }, kDumpTimeoutMs));
  const pid_t dump = std::stoi(deskplay::testing::readFile(pidFile));
  store_.reset();

  gate.open();
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  // Nothing of the gone store ran: a dump handed to it would have been cached.
  EXPECT_EQ(cache(), std::nullopt);
  // The dump ended and was reaped, not left behind as a zombie.
  EXPECT_TRUE(
      deskplay::testing::eventually([&] { return ::kill(dump, 0) != 0 && errno == ESRCH; }));
}

}  // namespace
}  // namespace deskplay::core
