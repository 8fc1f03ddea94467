#include "core/feedback/game_session_feedback.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "core/feedback/tile_layout.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_main_loop_timers.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "platform/testing/fake_windows.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::core {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using platform::testing::answersNumber;
using platform::testing::failsToCompile;
using platform::testing::failsWith;
using platform::testing::FakeStatusPanel;
using Seconds = platform::Clock::Seconds;
using deskplay::testing::TempDir;
using deskplay::testing::writeFile;

const std::string kThin = "\u2009";
const std::string kHair = "\u200A";
const std::string kIconSizeScript(kDesktopIconSizeScript);

std::string tileName(unsigned pattern) {
  std::string name;
  for (int bit = 13; bit >= 0; --bit) name += ((pattern >> bit) & 1u) != 0 ? kHair : kThin;
  return name;
}

struct stat statOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status;
}

// Puts another file in the tile's place; both exist for a moment, so the inode differs.
void replaceWithOtherFile(const fs::path& tile) {
  const fs::path other = tile.parent_path() / "replacement";
  writeFile(other, "someone else's");
  fs::rename(other, tile);
}

class GameSessionFeedbackTest : public ::testing::Test {
 public:
  GameSessionFeedbackTest() {
    fs::create_directories(tmp);
    fs::create_directories(desktop);
  }

  GameSessionFeedback::Services services() { return {windows, scripts, clock, timers}; }

  std::unique_ptr<GameSessionFeedback> create() {
    Result<std::unique_ptr<GameSessionFeedback>> created =
        GameSessionFeedback::create(services(), tmp, desktop);
    EXPECT_TRUE(created.ok()) << (created.ok() ? "" : created.message());
    return created.ok() ? std::move(created).value() : nullptr;
  }

  json record(const GameSessionFeedback& feedback, int version, const std::string& phase) {
    json value = {{"version", version},
                  {"session", feedback.session()},
                  {"desktop", desktop.string()},
                  {"phase", phase},
                  {"tiles", json::array()}};
    if (version == 2) value["surface"] = "native";
    return value;
  }

  // A tile file on the Desktop and its entry, with the file's own identity.
  json makeTile(unsigned pattern, int index) {
    const fs::path path = desktop / tileName(pattern);
    writeFile(path, "");
    const struct stat status = statOf(path);
    return {{"path", path.string()},
            {"phase", "restoring"},
            {"index", index},
            {"dev", std::to_string(status.st_dev)},
            {"ino", std::to_string(status.st_ino)}};
  }

  void writeRecord(const GameSessionFeedback& feedback, const json& value) {
    writeFile(feedback.recordPath(), value.dump());
  }

  // The record as the feedback reads it back.
  GameSessionFeedback::Record storedRecord(const GameSessionFeedback& feedback) {
    Result<std::optional<GameSessionFeedback::Record>, FeedbackError> read = feedback.read();
    EXPECT_TRUE(read.ok() && read.value().has_value());
    return read.ok() && read.value() ? *read.value() : GameSessionFeedback::Record{};
  }

  FakeStatusPanel* panel() {
    const std::vector<FakeStatusPanel*> panels = windows.statusPanels();
    return panels.size() == 1 ? panels.front() : nullptr;
  }

  std::string shownText() {
    FakeStatusPanel* shown = panel();
    return shown != nullptr && shown->isVisible() ? shown->content().text : "";
  }

  TempDir root;
  fs::path tmp = root / "tmp";
  fs::path desktop = root / "home" / "Desktop";
  platform::testing::FakeWindows windows;
  platform::testing::FakeScriptHost scripts;
  platform::testing::FakeClock clock{Seconds(1000)};
  platform::testing::FakeMainLoopTimers timers{clock};
};

TEST_F(GameSessionFeedbackTest, CreatesAPrivateDirectoryNamedAfterAFreshSession) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  ASSERT_NE(feedback, nullptr);

  EXPECT_THAT(feedback->session(),
              ::testing::MatchesRegex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-"
                                      "[0-9A-F]{12}"));
  EXPECT_EQ(feedback->directory(), tmp / ("deskplay-session-" + feedback->session()));
  EXPECT_EQ(feedback->recordPath(), feedback->directory() / "status.json");
  EXPECT_EQ(feedback->desktop(), desktop);
  EXPECT_TRUE(fs::is_directory(feedback->directory()));
  EXPECT_EQ(statOf(feedback->directory()).st_mode & 07777, 0700u);
  EXPECT_EQ(feedback->statusWindow(), nullptr);
  EXPECT_EQ(windows.createdWindowCount(), 0);

  const std::unique_ptr<GameSessionFeedback> second = create();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->session(), feedback->session());
}

TEST_F(GameSessionFeedbackTest, RefusesADirectoryThatIsAlreadyThere) {
  fs::create_directory(tmp / "deskplay-session-PLANTED");
  fs::create_directory(root / "target");
  fs::create_directory_symlink(root / "target", tmp / "deskplay-session-LINKED");

  for (const char* session : {"PLANTED", "LINKED"}) {
    const Result<std::unique_ptr<GameSessionFeedback>> created =
        GameSessionFeedback::createForSession(services(), session, tmp, desktop);
    EXPECT_FALSE(created.ok()) << session;
  }
  EXPECT_TRUE(fs::is_empty(root / "target"));

  const Result<std::unique_ptr<GameSessionFeedback>> withoutTemp =
      GameSessionFeedback::create(services(), root / "no-such-tmp", desktop);
  EXPECT_FALSE(withoutTemp.ok());
}

struct ReadCase {
  std::string name;
  // Writes what the engine left; empty when it left nothing.
  std::function<void(GameSessionFeedbackTest&, const GameSessionFeedback&)> leave;
  std::optional<FeedbackFailure> failure;  // nothing: read succeeds
  bool hasRecord;
};

// Test names in the output, not bytes.
void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

// Grows a valid record with spaces to exactly `size` bytes.
std::string padded(const json& value, std::size_t size) {
  std::string bytes = value.dump();
  bytes.insert(1, size - bytes.size(), ' ');
  return bytes;
}

class ReadTest : public GameSessionFeedbackTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTest, ReadsOnlyAValidRecordOfThisSession) {
  const ReadCase& c = GetParam();
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  ASSERT_NE(feedback, nullptr);
  if (c.leave) c.leave(*this, *feedback);

  const Result<std::optional<GameSessionFeedback::Record>, FeedbackError> read = feedback->read();

  if (c.failure) {
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().failure, *c.failure) << read.message();
  } else {
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read.value().has_value(), c.hasRecord);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ReadTest,
    ::testing::Values(ReadCase{"NoRecord", nullptr, std::nullopt, false},
                      ReadCase{"Valid",
                               [](GameSessionFeedbackTest& test, const GameSessionFeedback& f) {
                                 test.writeRecord(f, test.record(f, 2, "ready"));
                               },
                               std::nullopt, true},
                      ReadCase{"Exactly65535Bytes",
                               [](GameSessionFeedbackTest& test, const GameSessionFeedback& f) {
                                 writeFile(f.recordPath(),
                                           padded(test.record(f, 2, "ready"), 65535));
                               },
                               std::nullopt, true},
                      ReadCase{"Of65536Bytes",
                               [](GameSessionFeedbackTest& test, const GameSessionFeedback& f) {
                                 writeFile(f.recordPath(),
                                           padded(test.record(f, 2, "ready"), 65536));
                               },
                               FeedbackFailure::invalidRecord, false},
                      ReadCase{"SymlinkedToAValidRecord",
                               [](GameSessionFeedbackTest& test, const GameSessionFeedback& f) {
                                 writeFile(test.root / "elsewhere.json",
                                           test.record(f, 2, "ready").dump());
                                 fs::create_symlink(test.root / "elsewhere.json", f.recordPath());
                               },
                               FeedbackFailure::invalidRecord, false},
                      ReadCase{"OtherSession",
                               [](GameSessionFeedbackTest& test, const GameSessionFeedback& f) {
                                 json value = test.record(f, 2, "ready");
                                 value["session"] = "A-DIFFERENT-SESSION";
                                 test.writeRecord(f, value);
                               },
                               FeedbackFailure::invalidRecord, false},
                      ReadCase{"OtherDesktop",
                               [](GameSessionFeedbackTest& test, const GameSessionFeedback& f) {
                                 json value = test.record(f, 2, "ready");
                                 value["desktop"] = (test.root / "Desktop").string();
                                 test.writeRecord(f, value);
                               },
                               FeedbackFailure::invalidRecord, false},
                      ReadCase{"NotJson",
                               [](GameSessionFeedbackTest&, const GameSessionFeedback& f) {
                                 writeFile(f.recordPath(), "{\"version\": 2,");
                               },
                               FeedbackFailure::decodingFailed, false}),
    [](const ::testing::TestParamInfo<ReadCase>& param) { return param.param.name; });

TEST_F(GameSessionFeedbackTest, ADesktopGivenWithATrailingSlashStillMatchesTheRecord) {
  Result<std::unique_ptr<GameSessionFeedback>> created =
      GameSessionFeedback::createForSession(services(), "S", tmp, desktop.string() + "/");
  ASSERT_TRUE(created.ok());
  GameSessionFeedback& feedback = *created.value();
  EXPECT_EQ(feedback.desktop(), desktop);
  writeRecord(feedback, record(feedback, 2, "ready"));
  EXPECT_TRUE(feedback.read().ok());
}

TEST_F(GameSessionFeedbackTest, BeginNativeShowsLoadingAndStartsThePoll) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->beginNative();

  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(shownText(), "Loading");
  EXPECT_TRUE(panel()->content().spinnerAnimating);
  EXPECT_TRUE(feedback->isPolling());
  EXPECT_EQ(timers.repeatingCount(), 1);
}

// One record the engine writes between two polls: a version and a phase, or something
// that does not pass.
struct Written {
  int version;
  std::string phase;
  enum class Kind { record, foreign, none } kind = Kind::record;
};

struct PollCase {
  std::string name;
  std::vector<Written> steps;
  std::string shown;  // empty: hidden
  bool polling;
};

// Test names in the output, not bytes.
void PrintTo(const PollCase& c, std::ostream* os) {
  *os << c.name;
}

class PollTest : public GameSessionFeedbackTest, public ::testing::WithParamInterface<PollCase> {};

TEST_P(PollTest, DrivesTheWindowFromThePhase) {
  const PollCase& c = GetParam();
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->beginNative();

  for (const Written& step : c.steps) {
    if (step.kind == Written::Kind::none) {
      fs::remove(feedback->recordPath());
    } else {
      json value = record(*feedback, step.version, step.phase);
      if (step.kind == Written::Kind::foreign) value["session"] = "someone else";
      writeRecord(*feedback, value);
    }
    timers.advance(GameSessionFeedback::kPollInterval);
  }

  EXPECT_EQ(shownText(), c.shown);
  EXPECT_EQ(feedback->isPolling(), c.polling);
  EXPECT_EQ(timers.repeatingCount(), c.polling ? 1 : 0);
  if (const FakeStatusPanel* shown = panel(); shown != nullptr && !shown->isVisible()) {
    EXPECT_FALSE(shown->content().spinnerAnimating);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Phases, PollTest,
    ::testing::Values(
        PollCase{"NoRecordYet", {{0, "", Written::Kind::none}}, "Loading", true},
        PollCase{"Loading", {{2, "loading"}}, "Loading", true},
        PollCase{"ReadyHides", {{2, "ready"}}, "", true},
        PollCase{"Restoring", {{2, "restoring"}}, "Goodbye", true},
        PollCase{"Failed", {{2, "failed"}}, "Session error", true},
        PollCase{"ChildCompleteChangesNothing", {{2, "child-complete"}}, "Loading", true},
        PollCase{"ReadyThenLoadingShowsAgain", {{2, "ready"}, {2, "loading"}}, "Loading", true},
        PollCase{
            "ReadyAfterRestoringKeepsGoodbye", {{2, "restoring"}, {2, "ready"}}, "Goodbye", true},
        PollCase{"LoadingAfterRestoringKeepsGoodbye",
                 {{2, "restoring"}, {2, "loading"}},
                 "Goodbye",
                 true},
        PollCase{"Version1HidesAndStops", {{1, "loading"}}, "", false},
        PollCase{"Version1AfterReadyStops", {{2, "ready"}, {1, "restoring"}}, "", false},
        PollCase{"ForeignRecordIgnored", {{2, "ready", Written::Kind::foreign}}, "Loading", true},
        PollCase{"InvalidRecordIgnoredAfterReady", {{2, "ready"}, {3, "failed"}}, "", true}),
    [](const ::testing::TestParamInfo<PollCase>& param) { return param.param.name; });

TEST_F(GameSessionFeedbackTest, APhaseSeenBeforeIsNotAppliedAgain) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->beginNative();
  writeRecord(*feedback, record(*feedback, 2, "ready"));
  timers.advance(GameSessionFeedback::kPollInterval);
  ASSERT_EQ(shownText(), "");

  feedback->showNative("failed");
  timers.advance(GameSessionFeedback::kPollInterval * 4);

  EXPECT_EQ(shownText(), "Session error");
  EXPECT_EQ(feedback->lastPhase(), "ready");
}

TEST_F(GameSessionFeedbackTest, OnceRestoringHasBeenShownLoadingIsNot) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->beginNative();

  feedback->showNative("restoring");
  clock.advance(Seconds(3));
  feedback->showNative("restoring");
  feedback->showNative("loading");

  EXPECT_EQ(shownText(), "Goodbye");
  EXPECT_FALSE(panel()->content().spinnerVisible);
  ASSERT_TRUE(feedback->goodbyeAt().has_value());
  EXPECT_EQ(feedback->goodbyeAt()->count(), 1000);
  EXPECT_EQ(windows.createdWindowCount(), 1);
}

TEST_F(GameSessionFeedbackTest, EachSessionHasItsOwnWindow) {
  const std::unique_ptr<GameSessionFeedback> first = create();
  const std::unique_ptr<GameSessionFeedback> second = create();
  first->showNative("failed");
  second->showNative("loading");

  ASSERT_EQ(windows.statusPanels().size(), 2u);
  EXPECT_EQ(windows.statusPanels()[0]->content().text, "Session error");
  EXPECT_EQ(windows.statusPanels()[1]->content().text, "Loading");
}

TEST_F(GameSessionFeedbackTest, ShowLinesTheTilesUpByIndexInTheMiddleOfTheScreen) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 2), makeTile(2, 0), makeTile(3, 1)});
  writeRecord(*feedback, value);
  scripts.setAnswer(kIconSizeScript, answersNumber(64));

  const Result<void, FeedbackError> shown = feedback->show("restoring", storedRecord(*feedback));

  ASSERT_TRUE(shown.ok()) << shown.message();
  EXPECT_EQ(shownText(), "Goodbye");
  const std::string d = desktop.string() + "/";
  EXPECT_EQ(scripts.runs(), (std::vector<std::string>{kIconSizeScript,
                                                      "tell application \"Finder\"\n"
                                                      "set desktop position of (POSIX file \"" +
                                                          d + tileName(2) +
                                                          "\" as alias) to {686, 450}\n"
                                                          "set desktop position of (POSIX file \"" +
                                                          d + tileName(3) +
                                                          "\" as alias) to {720, 450}\n"
                                                          "set desktop position of (POSIX file \"" +
                                                          d + tileName(1) +
                                                          "\" as alias) to {753, 450}\n"
                                                          "end tell"}));
}

TEST_F(GameSessionFeedbackTest, ShowEscapesTheDesktopPathInsideTheScript) {
  desktop = root / "he said \"hi\" \\ left" / "Desktop";
  fs::create_directories(desktop);
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(5, 0)});
  writeRecord(*feedback, value);

  ASSERT_TRUE(feedback->show("restoring", storedRecord(*feedback)).ok());

  ASSERT_EQ(scripts.runs().size(), 2u);
  EXPECT_THAT(scripts.runs()[1], ::testing::HasSubstr("he said \\\"hi\\\" \\\\ left/Desktop/" +
                                                      tileName(5) + "\" as alias"));
}

struct ShowCase {
  std::string name;
  std::function<void(GameSessionFeedbackTest&)> arrange;
  bool succeeds;
  std::size_t scriptRuns;
};

// Test names in the output, not bytes.
void PrintTo(const ShowCase& c, std::ostream* os) {
  *os << c.name;
}

class ShowTest : public GameSessionFeedbackTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowTest, ReportsWhatFinderCouldNotDo) {
  const ShowCase& c = GetParam();
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 0), makeTile(2, 1)});
  writeRecord(*feedback, value);
  scripts.setAnswer(kIconSizeScript, answersNumber(64));
  c.arrange(*this);

  const Result<void, FeedbackError> shown = feedback->show("restoring", storedRecord(*feedback));

  EXPECT_EQ(shown.ok(), c.succeeds);
  if (!shown.ok()) {
    EXPECT_EQ(shown.error().failure, FeedbackFailure::positionFailed);
  }
  EXPECT_EQ(scripts.runs().size(), c.scriptRuns);
  EXPECT_EQ(shownText(), "Goodbye");
}

INSTANTIATE_TEST_SUITE_P(
    Finder, ShowTest,
    ::testing::Values(ShowCase{"Moved", [](GameSessionFeedbackTest&) {}, true, 2},
                      ShowCase{"PositionFails",
                               [](GameSessionFeedbackTest& test) {
                                 test.scripts.setAnswerForScriptsContaining(
                                     "set desktop position", failsWith("Can't get alias.", -1728));
                               },
                               false, 2},
                      ShowCase{"PositionDoesNotCompile",
                               [](GameSessionFeedbackTest& test) {
                                 test.scripts.setAnswerForScriptsContaining("set desktop position",
                                                                            failsToCompile());
                               },
                               false, 2},
                      ShowCase{"IconSizeFails",
                               [](GameSessionFeedbackTest& test) {
                                 test.scripts.setAnswer(kIconSizeScript,
                                                        failsWith("Finder got an error.", -600));
                               },
                               false, 1},
                      ShowCase{"NoScreenMovesNothing",
                               [](GameSessionFeedbackTest& test) { test.windows.setScreens({}); },
                               true, 1}),
    [](const ::testing::TestParamInfo<ShowCase>& param) { return param.param.name; });

TEST_F(GameSessionFeedbackTest, ShowWithoutTilesAsksFinderNothing) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  writeRecord(*feedback, record(*feedback, 2, "ready"));

  EXPECT_TRUE(feedback->show("restoring", storedRecord(*feedback)).ok());

  EXPECT_TRUE(scripts.runs().empty());
  EXPECT_EQ(shownText(), "Goodbye");
}

struct OwnershipCase {
  std::string name;
  // Changes what lies at the second tile's path.
  std::function<void(const fs::path& tile, const fs::path& root)> change;
};

// Test names in the output, not bytes.
void PrintTo(const OwnershipCase& c, std::ostream* os) {
  *os << c.name;
}

class OwnershipTest : public GameSessionFeedbackTest,
                      public ::testing::WithParamInterface<OwnershipCase> {};

TEST_P(OwnershipTest, ShowAndClearLeaveAChangedTileAlone) {
  const OwnershipCase& c = GetParam();
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 0), makeTile(2, 1)});
  writeRecord(*feedback, value);
  const fs::path first = desktop / tileName(1);
  const fs::path second = desktop / tileName(2);
  const GameSessionFeedback::Record stored = storedRecord(*feedback);
  c.change(second, root.path());

  const Result<void, FeedbackError> shown = feedback->show("restoring", stored);
  ASSERT_FALSE(shown.ok());
  EXPECT_EQ(shown.error().failure, FeedbackFailure::ownershipChanged);
  EXPECT_TRUE(scripts.runs().empty());

  const Result<void, FeedbackError> cleared = feedback->clear();
  ASSERT_FALSE(cleared.ok());
  EXPECT_EQ(cleared.error().failure, FeedbackFailure::ownershipChanged);

  // Nothing is removed when one tile is not the engine's any more.
  EXPECT_TRUE(fs::exists(fs::symlink_status(first)));
  EXPECT_TRUE(fs::exists(feedback->recordPath()));
  EXPECT_TRUE(fs::exists(feedback->directory()));
  timers.advance(Seconds(10));
  EXPECT_EQ(shownText(), "Goodbye");
}

INSTANTIATE_TEST_SUITE_P(
    Changes, OwnershipTest,
    ::testing::Values(OwnershipCase{"ReplacedByAnotherFile",
                                    [](const fs::path& tile, const fs::path&) {
                                      replaceWithOtherFile(tile);
                                    }},
                      OwnershipCase{"ReplacedByALink",
                                    [](const fs::path& tile, const fs::path& root) {
                                      fs::rename(tile, root / "moved");
                                      fs::create_symlink(root / "moved", tile);
                                    }},
                      OwnershipCase{"ReplacedByAFolder",
                                    [](const fs::path& tile, const fs::path&) {
                                      fs::remove(tile);
                                      fs::create_directory(tile);
                                    }}),
    [](const ::testing::TestParamInfo<OwnershipCase>& param) { return param.param.name; });

TEST_F(GameSessionFeedbackTest, ShowRefusesAMissingTileOrOneWithAnotherIdentity) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 0)});
  writeRecord(*feedback, value);
  GameSessionFeedback::Record stored = storedRecord(*feedback);

  GameSessionFeedback::Record otherDevice = stored;
  otherDevice.tiles[0].dev = "0" + otherDevice.tiles[0].dev;
  EXPECT_EQ(feedback->show("restoring", otherDevice).error().failure,
            FeedbackFailure::ownershipChanged);

  fs::remove(desktop / tileName(1));
  EXPECT_EQ(feedback->show("restoring", stored).error().failure, FeedbackFailure::ownershipChanged);
  EXPECT_TRUE(scripts.runs().empty());
}

TEST_F(GameSessionFeedbackTest, ClearRemovesTilesRecordAndDirectoryThenSaysGoodbyeForTwoSeconds) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 0), makeTile(2, 1)});
  writeRecord(*feedback, value);
  writeFile(desktop / "notes.txt", "the user's");
  feedback->showNative("restoring");
  timers.advance(Seconds(0.5));

  const Result<void, FeedbackError> cleared = feedback->clear();

  ASSERT_TRUE(cleared.ok()) << cleared.message();
  EXPECT_FALSE(fs::exists(desktop / tileName(1)));
  EXPECT_FALSE(fs::exists(desktop / tileName(2)));
  EXPECT_TRUE(fs::exists(desktop / "notes.txt"));
  EXPECT_FALSE(fs::exists(feedback->directory()));

  timers.advance(Seconds(1.49));
  EXPECT_EQ(shownText(), "Goodbye");
  timers.advance(Seconds(0.01));
  EXPECT_EQ(shownText(), "");
}

TEST_F(GameSessionFeedbackTest, ClearWithoutARecordStillRemovesTheDirectory) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->beginNative();

  ASSERT_TRUE(feedback->clear().ok());

  EXPECT_FALSE(fs::exists(feedback->directory()));
  EXPECT_FALSE(feedback->isPolling());
  EXPECT_EQ(timers.repeatingCount(), 0);
  // No goodbye was shown, so nothing holds the window up.
  timers.runDue();
  EXPECT_EQ(shownText(), "");
}

TEST_F(GameSessionFeedbackTest, ClearSkipsTilesThatAreGoneAlready) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 0), makeTile(2, 1)});
  writeRecord(*feedback, value);
  fs::remove(desktop / tileName(1));

  const Result<void, FeedbackError> cleared = feedback->clear();

  ASSERT_TRUE(cleared.ok()) << cleared.message();
  EXPECT_FALSE(fs::exists(desktop / tileName(2)));
  EXPECT_FALSE(fs::exists(feedback->directory()));
}

TEST_F(GameSessionFeedbackTest, ClearKeepsEverythingWhenTheRecordIsInvalid) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  json value = record(*feedback, 1, "restoring");
  value["tiles"] = json::array({makeTile(1, 0)});
  value["session"] = "another";
  writeRecord(*feedback, value);

  const Result<void, FeedbackError> cleared = feedback->clear();

  ASSERT_FALSE(cleared.ok());
  EXPECT_EQ(cleared.error().failure, FeedbackFailure::invalidRecord);
  EXPECT_TRUE(fs::exists(desktop / tileName(1)));
  EXPECT_TRUE(fs::exists(feedback->recordPath()));
}

TEST_F(GameSessionFeedbackTest, ClearCannotRemoveADirectoryTheEngineLeftFilesIn) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->showNative("failed");
  writeRecord(*feedback, record(*feedback, 2, "child-complete"));
  writeFile(feedback->directory() / "engine.tmp", "");

  const Result<void, FeedbackError> cleared = feedback->clear();

  ASSERT_FALSE(cleared.ok());
  EXPECT_EQ(cleared.error().failure, FeedbackFailure::invalidRecord);
  EXPECT_FALSE(fs::exists(feedback->recordPath()));
  EXPECT_TRUE(fs::exists(feedback->directory() / "engine.tmp"));
  timers.advance(Seconds(10));
  EXPECT_EQ(shownText(), "Session error");
}

TEST_F(GameSessionFeedbackTest, ClearRemovesCopiesOfTheRecordThatAKilledEngineLeftUnfinished) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  writeRecord(*feedback, record(*feedback, 2, "ready"));
  writeFile(feedback->directory() / ".status.json.4242.tmp", "{\"vers");

  const Result<void, FeedbackError> cleared = feedback->clear();

  ASSERT_TRUE(cleared.ok()) << cleared.message();
  EXPECT_FALSE(fs::exists(feedback->directory()));
}

TEST_F(GameSessionFeedbackTest, GoodbyeStaysUpAfterTheSessionIsDropped) {
  std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->showNative("restoring");
  ASSERT_TRUE(feedback->clear().ok());
  feedback.reset();

  ASSERT_NE(panel(), nullptr);
  EXPECT_EQ(shownText(), "Goodbye");
  timers.advance(Seconds(1.9));
  EXPECT_EQ(shownText(), "Goodbye");
  timers.advance(Seconds(0.1));
  EXPECT_TRUE(windows.statusPanels().empty());
}

TEST_F(GameSessionFeedbackTest, AGoodbyeShownLongAgoEndsAtOnce) {
  const std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->showNative("restoring");
  clock.advance(Seconds(5));

  ASSERT_TRUE(feedback->clear().ok());
  timers.runDue();

  EXPECT_EQ(shownText(), "");
}

TEST_F(GameSessionFeedbackTest, DroppingTheSessionStopsThePoll) {
  std::unique_ptr<GameSessionFeedback> feedback = create();
  feedback->beginNative();
  ASSERT_EQ(timers.repeatingCount(), 1);

  feedback.reset();

  EXPECT_EQ(timers.repeatingCount(), 0);
  timers.advance(Seconds(1));
}

}  // namespace
}  // namespace deskplay::core
