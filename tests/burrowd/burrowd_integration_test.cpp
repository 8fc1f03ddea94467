// The real Burrowd binary on temporary folders: start-up, the request loop, and every action.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <regex>

#include "burrowd_client.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

constexpr size_t kJournalLimit = 16 * 1024 * 1024;

Json ok(const Json& value) {
  return {{"ok", true}, {"value", value}};
}
Json failed(const std::string& error) {
  return {{"error", error}, {"ok", false}};
}
Json failedWith(std::string_view message) {
  return failed(failureText(message));
}

Json identityOnDisk(const fs::path& path) {
  struct stat record {};
  EXPECT_EQ(::lstat(path.c_str(), &record), 0) << path;
  return {{"dev", std::to_string(record.st_dev)}, {"ino", std::to_string(record.st_ino)}};
}

class Burrowd : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(desktop);
    fs::create_directory(stash);
  }

  BurrowdClient& start() {
    client = std::make_unique<BurrowdClient>(desktop, stash);
    EXPECT_EQ(client->ready()["ok"], true) << client->firstLine();
    return *client;
  }

  Json request(const Json& request) { return client->request(request); }
  Json stat(std::string_view side, std::string_view name) {
    return request(statRequest(side, name))["value"];
  }
  Json list(std::string_view side) { return request(listRequest(side))["value"]; }
  Json readJournal() { return request({{"action", "read"}}); }
  Json writeJournal(const std::string& text) {
    return request({{"action", "write"}, {"text", text}});
  }
  std::vector<std::string> stashEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(stash)) {
      names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir root;
  fs::path desktop = root / "Desktop";
  fs::path stash = root / ".deskplay-stash";
  std::unique_ptr<BurrowdClient> client;
};

// ---- start-up ----

TEST_F(Burrowd, ReadyReplyCarriesBothDirectoryIdentities) {
  BurrowdClient& burrowd = start();
  const std::regex shape(
      R"(\{"ok":true,"value":\{"desktop":\{"birth":"\d+:\d+","dev":"\d+","ino":"\d+"\},)"
      R"("stash":\{"birth":"\d+:\d+","dev":"\d+","ino":"\d+"\}\}\})");
  EXPECT_TRUE(std::regex_match(burrowd.firstLine(), shape)) << burrowd.firstLine();
  const Json ready = burrowd.ready()["value"];
  EXPECT_EQ(ready["desktop"]["ino"], identityOnDisk(desktop)["ino"]);
  EXPECT_EQ(ready["desktop"]["dev"], identityOnDisk(desktop)["dev"]);
  EXPECT_EQ(ready["stash"]["ino"], identityOnDisk(stash)["ino"]);
}

TEST_F(Burrowd, EndOfInputRightAfterReadyExitsZero) {
  EXPECT_EQ(start().finish(), 0);
}

TEST_F(Burrowd, WrongArgumentCountFailsWithStatusOne) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {kBurrowdPath}, {kBurrowdPath, desktop}, {kBurrowdPath, desktop, stash, stash}}) {
    const Completed run = runProgram(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "{\"error\":\"Failure(message: \\\"Expected desktop and stash directories\\\")\","
              "\"ok\":false}\n");
  }
}

struct StartupCase {
  const char* label;
  std::function<void(const fs::path& root)> prepare;
  const char* desktop;
  const char* stash;
  std::function<std::string()> expectedError;
};

void PrintTo(const StartupCase& startup, std::ostream* out) {
  *out << startup.label;
}

class BurrowdStartup : public ::testing::TestWithParam<StartupCase> {};

TEST_P(BurrowdStartup, RefusesBadFoldersWithoutAReadyReply) {
  TempDir root;
  fs::create_directory(root / "Desktop");
  fs::create_directory(root / "stash");
  GetParam().prepare(root.path());
  const Completed run =
      runProgram({kBurrowdPath, root / GetParam().desktop, root / GetParam().stash});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, failed(GetParam().expectedError()).dump() + "\n") << run.output;
}

// Linux answers O_NOFOLLOW|O_DIRECTORY on a symbolic link with ENOTDIR.
INSTANTIATE_TEST_SUITE_P(
    Cases, BurrowdStartup,
    ::testing::Values(
        StartupCase{"missing desktop", [](const fs::path&) {}, "nowhere", "stash",
                    [] { return systemFailureText("open desktop", ENOENT); }},
        StartupCase{"missing stash", [](const fs::path&) {}, "Desktop", "nowhere",
                    [] { return systemFailureText("open stash", ENOENT); }},
        StartupCase{"desktop is a file", [](const fs::path& r) { writeFile(r / "file", "x"); },
                    "file", "stash", [] { return systemFailureText("open desktop", ENOTDIR); }},
        StartupCase{
            "desktop is a symbolic link",
            [](const fs::path& r) { fs::create_directory_symlink(r / "Desktop", r / "link"); },
            "link", "stash", [] { return systemFailureText("open desktop", ENOTDIR); }},
        StartupCase{
            "stash is a symbolic link",
            [](const fs::path& r) { fs::create_directory_symlink(r / "stash", r / "link"); },
            "Desktop", "link", [] { return systemFailureText("open stash", ENOTDIR); }},
        StartupCase{"same folder twice", [](const fs::path&) {}, "Desktop", "Desktop",
                    [] { return failureText("Desktop and stash must differ"); }},
        StartupCase{"same folder by two paths", [](const fs::path&) {}, "Desktop",
                    "stash/../Desktop",
                    [] { return failureText("Desktop and stash must differ"); }}));

TEST(BurrowdVolumes, FoldersOnTwoFileSystemsAreRefused) {
  if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no second file system at /dev/shm";
  TempDir onDisk;
  TempDir inMemory("/dev/shm");
  struct stat disk {
  }, memory{};
  ::stat(onDisk.path().c_str(), &disk);
  ::stat(inMemory.path().c_str(), &memory);
  if (disk.st_dev == memory.st_dev) GTEST_SKIP() << "/dev/shm is on the same device here";
  const Completed run = runProgram({kBurrowdPath, onDisk.path(), inMemory.path()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output,
            failedWith("Desktop and stash must be on the same filesystem").dump() + "\n");
}

TEST_F(Burrowd, ASecondInstanceFailsOnTheLockInsteadOfWaiting) {
  start();
  fs::create_directory(root / "OtherDesktop");
  fs::create_directory(root / "OtherStash");
  struct Contender {
    fs::path desktop;
    fs::path stash;
    const char* lockLabel;
  };
  for (const Contender& contender :
       {Contender{desktop, stash, "lock desktop (another stash operation may be active)"},
        Contender{root / "OtherDesktop", stash,
                  "lock stash (another stash operation may be active)"},
        Contender{desktop, root / "OtherStash",
                  "lock desktop (another stash operation may be active)"}}) {
    const Completed second = runProgram({kBurrowdPath, contender.desktop, contender.stash});
    EXPECT_EQ(second.status, 1) << contender.lockLabel;
    EXPECT_EQ(second.output,
              failed(systemFailureText(contender.lockLabel, EWOULDBLOCK)).dump() + "\n");
  }

  EXPECT_EQ(client->finish(), 0);
  EXPECT_EQ(runProgram({kBurrowdPath, desktop, stash}).status, 0) << "locks go with the process";
}

// ---- the request loop ----

TEST_F(Burrowd, BadLinesGetAnErrorReplyAndTheLoopGoesOn) {
  BurrowdClient& burrowd = start();
  for (const std::string& line : std::vector<std::string>{
           "", "not json", "[1,2]", "{\"action\":5}", "{\"text\":\"no action\"}",
           R"({"action":"list","endpoint":{"side":"stash"}})",
           "{\"action\":\"read\",\"text\":\"\xFF\"}", std::string("{\"action\":\"read\"}\0", 19)}) {
    const Json reply = Json::parse(burrowd.send(line).value());
    EXPECT_EQ(reply["ok"], false) << line;
    EXPECT_TRUE(reply["error"].is_string()) << line;
    EXPECT_EQ(reply.size(), 2u) << line;
  }
  EXPECT_EQ(request({{"action", "read"}}), ok(nullptr));
  EXPECT_EQ(burrowd.finish(), 0);
}

TEST_F(Burrowd, RepliesAreSortedCompactAndEscapeSlashes) {
  BurrowdClient& burrowd = start();
  EXPECT_EQ(burrowd.send(R"({"action":"bogus","unknown":{"x":[1]}})").value(),
            R"x({"error":"Failure(message: \"Unknown stash command\")","ok":false})x");
  EXPECT_EQ(burrowd.send(R"({"action":"write","text":"a/b \"c\""})").value(),
            R"({"ok":true,"value":null})");
  EXPECT_EQ(burrowd.send(R"({"action":"read"})").value(), R"({"ok":true,"value":"a\/b \"c\""})");
}

// A number no double holds fails the line's decoding wherever it stands, as it does for a
// decoder that reads the whole document first, and the loop goes on.
TEST_F(Burrowd, NumbersBeyondADoubleGetTheDecodeFailureReply) {
  BurrowdClient& burrowd = start();
  EXPECT_EQ(Json::parse(burrowd.send(R"({"action":"read","unknown":[1e400]})").value()),
            failed("Request is not valid JSON: a number out of range at byte 29"));
  EXPECT_EQ(Json::parse(burrowd.send(R"({"action":-1e400})").value()),
            failed("Request is not valid JSON: a number out of range at byte 11"));
  EXPECT_EQ(request({{"action", "read"}, {"unknown", 1e300}}), ok(nullptr));
}

// Names and the journal are text from elsewhere: whatever line breaks they hold, each reply
// is exactly one line to a reader that splits at any of them.
TEST_F(Burrowd, RepliesStayOneLineWhateverTheirTextHolds) {
  const std::string lineSeparator = "\xE2\x80\xA8";
  const std::string paragraphSeparator = "\xE2\x80\xA9";
  const std::string name = "a" + lineSeparator + "b" + paragraphSeparator +
                           "c\xC2\x85"
                           "d\r\v\f";
  writeFile(desktop / name, "x");
  BurrowdClient& burrowd = start();
  const auto expectOneLine = [&](const std::string& reply) {
    for (const std::string& lineBreak :
         {std::string("\r"), std::string("\v"), std::string("\f"), lineSeparator,
          paragraphSeparator, std::string("\xC2\x85")}) {
      EXPECT_EQ(reply.find(lineBreak), std::string::npos) << reply.substr(0, 200);
    }
  };
  const std::string listed = burrowd.send(listRequest("desktop").dump()).value();
  expectOneLine(listed);
  EXPECT_EQ(Json::parse(listed), ok(Json{name}));

  // The journal goes out in pieces of a mebibyte: both separators straddle a piece's end.
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  std::string journal(kPiece - 1, 'j');
  journal += lineSeparator;
  journal.append(kPiece - 4, 'k');
  journal += paragraphSeparator + "\n\r" + name;
  ASSERT_EQ(writeJournal(journal), ok(nullptr));
  const std::string read = burrowd.send(R"({"action":"read"})").value();
  expectOneLine(read);
  EXPECT_TRUE(Json::parse(read) == ok(journal));
}

TEST_F(Burrowd, AcceptsCrLfAndALastLineWithoutLineFeed) {
  BurrowdClient& burrowd = start();
  burrowd.process().write("{\"action\":\"read\"}\r\n{\"action\":\"read\"}");
  burrowd.process().closeStdin();
  EXPECT_EQ(burrowd.process().readRemainingOutput(),
            "{\"ok\":true,\"value\":null}\n{\"ok\":true,\"value\":null}\n");
  EXPECT_EQ(burrowd.process().wait(), 0);
}

TEST_F(Burrowd, AReplacedDesktopStopsEveryActionEvenUnknownOnes) {
  start();
  fs::rename(desktop, root / "Desktop moved");
  fs::create_directory(desktop);
  for (const Json& req :
       {Json{{"action", "bogus"}}, Json{{"action", "read"}}, listRequest("stash")}) {
    EXPECT_EQ(request(req), failedWith("Directory changed during stash operation")) << req;
  }
}

TEST_F(Burrowd, AMissingRootFailsValidation) {
  start();
  fs::remove(stash);
  EXPECT_EQ(request({{"action", "read"}}), failed(systemFailureText("validate directory", ENOENT)));
}

// ---- list ----

TEST_F(Burrowd, ListReturnsEveryNameSortedHiddenOnesAndJournalIncluded) {
  writeFile(desktop / "zeta.txt", "z");
  writeFile(desktop / ".hidden", "h");
  writeFile(desktop / "Alpha", "a");
  writeFile(desktop / "with space", "s");
  writeFile(desktop / "caf\xC3\xA9", "e");
  fs::create_directory(desktop / "folder");
  fs::create_symlink("/nonexistent", desktop / "dangling");
  // Decomposed, "e\u0301" sorts before "f" byte-wise; composed (U+00E9) it sorts after it.
  writeFile(desktop / "e\xCC\x81", "d");
  writeFile(desktop / "f", "f");
  start();
  const Json expected = {".hidden", "Alpha",      "caf\xC3\xA9", "dangling", "f",
                         "folder",  "with space", "zeta.txt",    "e\xCC\x81"};
  EXPECT_EQ(list("desktop"), expected);
  EXPECT_EQ(list("desktop"), expected) << "a second listing starts from the beginning again";

  EXPECT_EQ(list("stash"), Json::array());
  ASSERT_EQ(writeJournal("{}"), ok(nullptr));
  EXPECT_EQ(list("stash"), Json{".manifest.json"});
}

TEST_F(Burrowd, ListUsesOnlyTheSide) {
  writeFile(stash / "kept", "k");
  start();
  EXPECT_EQ(request({{"action", "list"}, {"endpoint", endpoint("stash", "../../etc")}}),
            ok(Json{"kept"}));
}

TEST_F(Burrowd, ListRefusesNonUtf8Names) {
  writeFile(desktop / "fine", "f");
  writeFile(desktop / "latin1-\xE9", "x");
  start();
  EXPECT_EQ(request(listRequest("desktop")),
            failedWith("Directory contains a non-UTF-8 name; refusing lossy decoding"));
  EXPECT_EQ(request(listRequest("stash")), ok(Json::array())) << "the loop goes on";
}

TEST_F(Burrowd, ListErrors) {
  start();
  EXPECT_EQ(request({{"action", "list"}}), failedWith("Missing directory"));
  EXPECT_EQ(request({{"action", "list"}, {"endpoint", endpoint("Desktop", "x")}}),
            failedWith("Invalid directory side"));
}

// ---- stat ----

TEST_F(Burrowd, StatGivesIdentityOrNull) {
  writeFile(desktop / ".leading dot", "x");
  fs::create_symlink(desktop / ".leading dot", desktop / "link");
  start();
  const Json file = stat("desktop", ".leading dot");
  EXPECT_EQ(file["ino"], identityOnDisk(desktop / ".leading dot")["ino"]);
  EXPECT_EQ(file["dev"], identityOnDisk(desktop / ".leading dot")["dev"]);
  EXPECT_TRUE(std::regex_match(file["birth"].get<std::string>(), std::regex(R"(\d+:\d+)")));
  EXPECT_EQ(file.size(), 3u);

  const Json link = stat("desktop", "link");
  EXPECT_EQ(link["ino"], identityOnDisk(desktop / "link")["ino"]) << "the link itself";
  EXPECT_NE(link["ino"], file["ino"]);

  EXPECT_EQ(request(statRequest("stash", "absent")), ok(nullptr));
  EXPECT_EQ(request(statRequest("stash", std::string(300, 'n'))),
            failed(systemFailureText("stat entry", ENAMETOOLONG)))
      << "a failure other than absence is an error, not null";
  EXPECT_EQ(request({{"action", "stat"}}), failedWith("Missing endpoint"));
  EXPECT_EQ(request(statRequest("trash", "x")), failedWith("Invalid directory side"));
}

TEST_F(Burrowd, InvalidBasenamesAreRefusedByEveryAction) {
  start();
  const Json identity = {{"dev", "1"}, {"ino", "2"}, {"birth", "0:0"}};
  for (const std::string& name : std::vector<std::string>{
           "", ".", "..", "a/b", "/abs", "../Desktop", std::string("nul\0byte", 8)}) {
    EXPECT_EQ(request(statRequest("desktop", name)), failedWith("Invalid basename")) << name;
    EXPECT_EQ(request(moveRequest(endpoint("desktop", name), endpoint("stash", "ok"), identity)),
              failedWith("Invalid basename"))
        << name;
    EXPECT_EQ(request(moveRequest(endpoint("desktop", "ok"), endpoint("stash", name), identity)),
              failedWith("Invalid basename"))
        << name;
  }
  for (const std::string name : {" spaced ", "...", ".x", "\xF0\x9F\x8E\xAE"}) {
    EXPECT_EQ(request(statRequest("desktop", name)), ok(nullptr)) << name;
  }
}

// ---- move ----

TEST_F(Burrowd, MovesKeepTheirIdentityBetweenAndWithinSides) {
  writeFile(desktop / "note.txt", "hello");
  fs::create_directory(desktop / "Projects");
  writeFile(desktop / "Projects" / "inside", "i");
  fs::create_symlink("/nonexistent", desktop / "dangling");
  start();

  struct Step {
    const char* fromSide;
    const char* fromName;
    const char* toSide;
    const char* toName;
  };
  for (const Step& step : {Step{"desktop", "note.txt", "stash", "note.txt"},
                           Step{"stash", "note.txt", "desktop", "renamed.txt"},
                           Step{"desktop", "renamed.txt", "desktop", "note.txt"},
                           Step{"desktop", "Projects", "stash", "Projects"},
                           Step{"desktop", "dangling", "stash", "dangling"}}) {
    const Json before = stat(step.fromSide, step.fromName);
    ASSERT_TRUE(before.is_object()) << step.fromName;
    EXPECT_EQ(request(moveRequest(endpoint(step.fromSide, step.fromName),
                                  endpoint(step.toSide, step.toName), before)),
              ok(nullptr))
        << step.fromName;
    EXPECT_EQ(stat(step.fromSide, step.fromName), nullptr);
    EXPECT_EQ(stat(step.toSide, step.toName), before);
  }
  EXPECT_EQ(readFile(desktop / "note.txt"), "hello");
  EXPECT_EQ(readFile(stash / "Projects" / "inside"), "i");
  EXPECT_TRUE(fs::is_symlink(stash / "dangling"));
}

TEST_F(Burrowd, MoveRefusalsLeaveBothSidesUntouched) {
  writeFile(desktop / "a", "A");
  writeFile(desktop / "b", "B");
  writeFile(stash / "taken", "T");
  start();
  const Json identityA = stat("desktop", "a");
  const Json identityB = stat("desktop", "b");
  Json withExtraKey = identityA;
  withExtraKey["extra"] = "1";
  Json missingKey = identityA;
  missingKey.erase("birth");

  struct Refusal {
    const char* label;
    Json request;
    std::string error;
  };
  const Json from = endpoint("desktop", "a");
  const Json to = endpoint("stash", "a");
  const std::vector<Refusal> refusals = {
      {"no from",
       {{"action", "move"}, {"to", to}, {"identity", identityA}},
       failureText("Missing move intent")},
      {"no to",
       {{"action", "move"}, {"from", from}, {"identity", identityA}},
       failureText("Missing move intent")},
      {"no identity",
       {{"action", "move"}, {"from", from}, {"to", to}},
       failureText("Missing move intent")},
      {"journal as source", moveRequest(endpoint("stash", ".manifest.json"), to, identityA),
       failureText("Cannot move journal metadata")},
      {"journal as target", moveRequest(from, endpoint("desktop", ".manifest.json"), identityA),
       failureText("Cannot move journal metadata")},
      {"stale identity", moveRequest(from, to, identityB),
       failureText("Move source identity changed")},
      {"extra identity key", moveRequest(from, to, withExtraKey),
       failureText("Move source identity changed")},
      {"missing identity key", moveRequest(from, to, missingKey),
       failureText("Move source identity changed")},
      {"absent source", moveRequest(endpoint("desktop", "gone"), to, identityA),
       failureText("Move source identity changed")},
      {"bad source side", moveRequest(endpoint("attic", "a"), to, identityA),
       failureText("Invalid directory side")},
      {"bad target side", moveRequest(from, endpoint("attic", "a"), identityA),
       failureText("Invalid directory side")},
      {"target exists", moveRequest(from, endpoint("stash", "taken"), identityA),
       systemFailureText("exclusive move", EEXIST)},
      {"target exists on the same side", moveRequest(from, endpoint("desktop", "b"), identityA),
       systemFailureText("exclusive move", EEXIST)},
  };
  for (const Refusal& refusal : refusals) {
    EXPECT_EQ(request(refusal.request), failed(refusal.error)) << refusal.label;
  }
  EXPECT_EQ(stat("desktop", "a"), identityA);
  EXPECT_EQ(stat("desktop", "b"), identityB);
  EXPECT_EQ(readFile(desktop / "a"), "A");
  EXPECT_EQ(readFile(desktop / "b"), "B");
  EXPECT_EQ(readFile(stash / "taken"), "T");
  EXPECT_EQ(list("stash"), Json{"taken"});
}

TEST_F(Burrowd, TheJournalCannotBeMovedEvenWithItsOwnIdentity) {
  start();
  ASSERT_EQ(writeJournal("j"), ok(nullptr));
  const Json journal = stat("stash", ".manifest.json");
  EXPECT_EQ(request(moveRequest(endpoint("stash", ".manifest.json"), endpoint("desktop", "stolen"),
                                journal)),
            failedWith("Cannot move journal metadata"));
  EXPECT_EQ(readJournal(), ok("j"));
}

// ---- read and write ----

TEST_F(Burrowd, JournalRoundTrips) {
  start();
  EXPECT_EQ(readJournal(), ok(nullptr));
  EXPECT_EQ(writeJournal(""), ok(nullptr));
  EXPECT_EQ(readJournal(), ok("")) << "an empty journal is not an absent one";
  const std::string text = "{\"moves\":[\"caf\xC3\xA9\"]}\n\ttabs \\ and / slashes";
  EXPECT_EQ(writeJournal(text), ok(nullptr));
  EXPECT_EQ(readJournal(), ok(text));
  EXPECT_EQ(readFile(stash / ".manifest.json"), text);
  EXPECT_EQ(stashEntries(), std::vector<std::string>{".manifest.json"}) << "no staging file left";
  struct stat record {};
  ::stat((stash / ".manifest.json").c_str(), &record);
  EXPECT_EQ(record.st_mode & 0777, 0600u);
  EXPECT_EQ(request({{"action", "write"}}), failedWith("Missing journal"));
}

TEST_F(Burrowd, JournalSizeLimitIsSixteenMebibytesExactly) {
  start();
  ASSERT_EQ(writeJournal("old"), ok(nullptr));
  const std::string atLimit(kJournalLimit, 'j');
  EXPECT_EQ(writeJournal(atLimit + "x"), failedWith("Journal exceeds the recovery size limit"));
  EXPECT_EQ(readJournal(), ok("old"));
  EXPECT_EQ(writeJournal(atLimit), ok(nullptr));
  EXPECT_EQ(readJournal(), ok(atLimit));

  writeFile(stash / ".manifest.json", atLimit + "x");
  EXPECT_EQ(readJournal(), failedWith("Journal is not a bounded regular file"));
  EXPECT_EQ(writeJournal("new"), failedWith("Journal is not a bounded regular file"));
}

struct UnreadableJournal {
  const char* label;
  std::function<void(const fs::path& journal)> make;
  std::function<std::string()> error;
};

void PrintTo(const UnreadableJournal& journal, std::ostream* out) {
  *out << journal.label;
}

class BurrowdUnreadableJournal : public Burrowd,
                                 public ::testing::WithParamInterface<UnreadableJournal> {};

TEST_P(BurrowdUnreadableJournal, IsNeitherReadNorReplaced) {
  const fs::path journal = stash / ".manifest.json";
  writeFile(root / "outside", "outside");
  GetParam().make(journal);
  start();
  const std::string error = GetParam().error();
  EXPECT_EQ(readJournal(), failed(error));
  EXPECT_EQ(writeJournal("new"), failed(error));
  EXPECT_EQ(stashEntries(), std::vector<std::string>{".manifest.json"});
  EXPECT_EQ(readFile(root / "outside"), "outside");
  EXPECT_EQ(request(listRequest("stash")), ok(Json{".manifest.json"})) << "still serving";
}

// ELOOP is what Linux gives for O_NOFOLLOW on a symbolic link.
INSTANTIATE_TEST_SUITE_P(
    Cases, BurrowdUnreadableJournal,
    ::testing::Values(
        UnreadableJournal{"symbolic link",
                          [](const fs::path& j) {
                            fs::create_symlink(j.parent_path().parent_path() / "outside", j);
                          },
                          [] { return systemFailureText("open journal", ELOOP); }},
        UnreadableJournal{"directory", [](const fs::path& j) { fs::create_directory(j); },
                          [] { return failureText("Journal is not a bounded regular file"); }},
        UnreadableJournal{"fifo", [](const fs::path& j) { ::mkfifo(j.c_str(), 0600); },
                          [] { return failureText("Journal is not a bounded regular file"); }},
        UnreadableJournal{"not UTF-8", [](const fs::path& j) { writeFile(j, "ok then \xC0\xAF"); },
                          [] { return failureText("Journal is not UTF-8"); }}));

}  // namespace
}  // namespace deskplay::testing
