// Runs the real PlistBuddy over tables of commands, on XML and on binary files, and checks
// what it prints on each stream, its exit status, and the file afterwards as libplist reads it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "plist_files/plist_file.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::plistbuddy {
namespace {

using plist::PlistFormat;
using testing::Completed;
using testing::TempDir;

// The parts of the starting file that cases change; the defaults are the file as written.
struct Fixture {
  std::string name = "<string>Finder</string>";
  std::string count = "<integer>3</integer>";
  std::string iconView =
      "<key>gridSpacing</key><real>54</real><key>showItemInfo</key><false/>"
      "<key>arrangeBy</key><string>none</string>";
  std::string tags = "<string>a</string><string>b</string>";
  std::string more;  // entries after the last one
};

std::string fixtureXml(const Fixture& f) {
  return "<dict><key>name</key>" + f.name + "<key>count</key>" + f.count +
         "<key>DesktopViewSettings</key><dict><key>IconViewSettings</key><dict>" + f.iconView +
         "</dict></dict><key>tags</key><array>" + f.tags + "</array>" + f.more + "</dict>";
}

template <class Change>
std::string fixtureWith(Change change) {
  Fixture fixture;
  change(fixture);
  return fixtureXml(fixture);
}

std::string plistDocument(const std::string& rootXml) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + rootXml +
         "</plist>\n";
}

// `rootXml` as libplist writes it, so that equal content compares equal.
std::string canonicalXml(const std::string& rootXml) {
  Result<plist::PlistDocument> parsed = plist::parsePlist(plistDocument(rootXml));
  EXPECT_TRUE(parsed.ok()) << rootXml;
  return parsed.ok() ? plist::serialisePlist(parsed.value().root.get(), PlistFormat::xml) : "";
}

std::string formatName(PlistFormat format) {
  return format == PlistFormat::xml ? "Xml" : "Binary";
}

std::string withFile(std::string text, const std::string& file) {
  const std::string mark = "{file}";
  for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
    text.replace(at, mark.size(), file);
    at += file.size();
  }
  return text;
}

Completed runPlistBuddy(const std::vector<std::string>& commands, const std::string& file) {
  std::vector<std::string> argv{PLISTBUDDY_PATH};
  for (const std::string& command : commands) {
    argv.push_back("-c");
    argv.push_back(command);
  }
  argv.push_back(file);
  return testing::runProgram(argv);
}

struct TableCase {
  const char* name;
  std::vector<std::string> commands;
  std::string output;  // "{file}" stands for the file's path
  std::string errors;
  int status;
  // The root afterwards; nothing: the file is left exactly as it was (or absent when there
  // was none).
  std::optional<std::string> after;
};

void PrintTo(const TableCase& c, std::ostream* out) {
  *out << c.name;
}

void expectRun(const TableCase& c, const Completed& run, const std::string& file) {
  EXPECT_EQ(run.output, withFile(c.output, file));
  EXPECT_EQ(run.errors, withFile(c.errors, file));
  EXPECT_EQ(run.status, c.status);
}

// Cases on an existing file, run once with it in XML and once in binary form.
const std::vector<TableCase> kExistingFileCases = {
    // Print
    {"PrintString", {"Print :name"}, "Finder\n", "", 0, std::nullopt},
    {"PrintInteger", {"Print :count"}, "3\n", "", 0, std::nullopt},
    {"PrintNestedReal",
     {"Print :DesktopViewSettings:IconViewSettings:gridSpacing"},
     "54\n",
     "",
     0,
     std::nullopt},
    {"PrintBool",
     {"Print :DesktopViewSettings:IconViewSettings:showItemInfo"},
     "false\n",
     "",
     0,
     std::nullopt},
    {"PrintDict",
     {"Print :DesktopViewSettings"},
     "Dict {\n"
     "    IconViewSettings = Dict {\n"
     "        gridSpacing = 54\n"
     "        showItemInfo = false\n"
     "        arrangeBy = none\n"
     "    }\n"
     "}\n",
     "",
     0,
     std::nullopt},
    {"PrintArrayAndItem",
     {"Print :tags", "Print :tags:1"},
     "Array {\n    a\n    b\n}\nb\n",
     "",
     0,
     std::nullopt},
    {"PrintLowerCaseWithoutLeadingColon",
     {"print DesktopViewSettings:IconViewSettings:arrangeBy"},
     "none\n",
     "",
     0,
     std::nullopt},
    {"PrintMissingEntry",
     {"Print :DesktopViewSettings:IconViewSettings:iconSize"},
     "",
     "Print: Entry, \":DesktopViewSettings:IconViewSettings:iconSize\", Does Not Exist\n",
     1,
     std::nullopt},
    {"PrintBelowAString",
     {"Print :name:first"},
     "",
     "Print: Entry, \":name:first\", Does Not Exist\n",
     1,
     std::nullopt},
    {"PrintPastTheArray",
     {"Print :tags:2"},
     "",
     "Print: Entry, \":tags:2\", Does Not Exist\n",
     1,
     std::nullopt},
    // Set
    {"SetRealFromAnInteger",
     {"Set :DesktopViewSettings:IconViewSettings:gridSpacing 80"},
     "",
     "",
     0,
     fixtureWith([](Fixture& f) {
       f.iconView =
           "<key>gridSpacing</key><real>80</real><key>showItemInfo</key><false/>"
           "<key>arrangeBy</key><string>none</string>";
     })},
    {"SetStringWithBlanks", {"Set :name \"Finder 2\""}, "", "", 0, fixtureWith([](Fixture& f) {
       f.name = "<string>Finder 2</string>";
     })},
    {"SetNegativeInteger", {"Set :count -2"}, "", "", 0, fixtureWith([](Fixture& f) {
       f.count = "<integer>-2</integer>";
     })},
    {"SetBool",
     {"Set :DesktopViewSettings:IconViewSettings:showItemInfo YES"},
     "",
     "",
     0,
     fixtureWith([](Fixture& f) {
       f.iconView =
           "<key>gridSpacing</key><real>54</real><key>showItemInfo</key><true/>"
           "<key>arrangeBy</key><string>none</string>";
     })},
    {"SetArrayItem", {"Set :tags:0 z"}, "", "", 0, fixtureWith([](Fixture& f) {
       f.tags = "<string>z</string><string>b</string>";
     })},
    {"SetMissingEntry",
     {"Set :iconSize 64"},
     "",
     "Set: Entry, \":iconSize\", Does Not Exist\n",
     1,
     std::nullopt},
    {"SetDictionary",
     {"Set :DesktopViewSettings 1"},
     "",
     "Set: Cannot Perform Set On Containers\n",
     1,
     std::nullopt},
    {"SetIntegerToWords",
     {"Set :count many"},
     "",
     "Set: Invalid Integer Value: many\n",
     1,
     std::nullopt},
    {"SetRealToWords",
     {"Set :DesktopViewSettings:IconViewSettings:gridSpacing wide"},
     "",
     "Set: Invalid Real Value: wide\n",
     1,
     std::nullopt},
    {"SetBoolToWords",
     {"Set :DesktopViewSettings:IconViewSettings:showItemInfo maybe"},
     "",
     "Set: Invalid Bool Value: maybe\n",
     1,
     std::nullopt},
    {"SetWithoutValue", {"Set :count"}, "", "Invalid Arguments\n", 1, std::nullopt},
    // Add
    {"AddReal",
     {"Add :DesktopViewSettings:IconViewSettings:iconSize real 64.0"},
     "",
     "",
     0,
     fixtureWith([](Fixture& f) { f.iconView += "<key>iconSize</key><real>64</real>"; })},
    {"AddExistingDict",
     {"Add :DesktopViewSettings dict"},
     "",
     "Add: \":DesktopViewSettings\" Entry Already Exists\n",
     1,
     std::nullopt},
    {"AddExistingLeaf",
     {"Add :DesktopViewSettings:IconViewSettings:gridSpacing real 64.0"},
     "",
     "Add: \":DesktopViewSettings:IconViewSettings:gridSpacing\" Entry Already Exists\n",
     1,
     std::nullopt},
    {"AddCreatesMissingParents",
     {"Add :StandardViewSettings:IconViewSettings:gridSpacing real 64"},
     "",
     "",
     0,
     fixtureWith([](Fixture& f) {
       f.more =
           "<key>StandardViewSettings</key><dict><key>IconViewSettings</key><dict>"
           "<key>gridSpacing</key><real>64</real></dict></dict>";
     })},
    {"AddBelowAString",
     {"Add :name:first string x"},
     "",
     "Add: Can't Add Entry, \":name:first\", to Parent\n",
     1,
     std::nullopt},
    {"AddPastTheArrayEnd",
     {"Add :tags:3 string x"},
     "",
     "Add: Can't Add Entry, \":tags:3\", to Parent\n",
     1,
     std::nullopt},
    {"AddIntoArray",
     {"Add :tags:0 string first", "Add :tags:3 string last", "Add :tags: string end"},
     "",
     "",
     0,
     fixtureWith([](Fixture& f) {
       f.tags =
           "<string>first</string><string>a</string><string>b</string>"
           "<string>last</string><string>end</string>";
     })},
    {"AddEachType",
     {"Add :s string hello world", "Add :i integer -7", "Add :r real 0.5", "Add :b bool",
      "Add :t bool true", "Add :d dict", "Add :l array", "Add :l:0 integer 1"},
     "",
     "",
     0,
     fixtureWith([](Fixture& f) {
       f.more =
           "<key>s</key><string>hello world</string><key>i</key><integer>-7</integer>"
           "<key>r</key><real>0.5</real><key>b</key><false/><key>t</key><true/>"
           "<key>d</key><dict/><key>l</key><array><integer>1</integer></array>";
     })},
    {"AddUnknownType", {"Add :x float 1"}, "", "Unrecognized Type: float\n", 1, std::nullopt},
    {"AddValueNotOfType",
     {"Add :x integer ten"},
     "",
     "Add: Invalid Integer Value: ten\n",
     1,
     std::nullopt},
    {"AddWithoutType", {"Add :x"}, "", "Invalid Arguments\n", 1, std::nullopt},
    // Commands in one run
    {"UnknownCommand", {"Delete :name"}, "", "Unrecognized Command\n", 1, std::nullopt},
    {"CommandsRunInOrder",
     {"Set :count 4", "Print :count", "Add :x string y", "Print :x"},
     "4\ny\n",
     "",
     0,
     fixtureWith([](Fixture& f) {
       f.count = "<integer>4</integer>";
       f.more = "<key>x</key><string>y</string>";
     })},
    {"FailureStopsTheRunAndSavesNothing",
     {"Set :count 4", "Print :count", "Print :missing", "Set :name x"},
     "4\n",
     "Print: Entry, \":missing\", Does Not Exist\n",
     1,
     std::nullopt},
};

class ExistingFile : public ::testing::TestWithParam<std::tuple<TableCase, PlistFormat>> {};

TEST_P(ExistingFile, PrintsExitsAndLeavesTheFileAsExpected) {
  const auto& [c, format] = GetParam();
  TempDir folder;
  const std::string file = (folder / "com.apple.finder.plist").string();
  Result<plist::PlistDocument> start = plist::parsePlist(plistDocument(fixtureXml(Fixture())));
  ASSERT_TRUE(start.ok());
  ASSERT_TRUE(plist::writePlistFile(file, start.value().root.get(), format).ok());
  const std::string before = testing::readFile(file);

  expectRun(c, runPlistBuddy(c.commands, file), file);

  if (!c.after) {
    EXPECT_EQ(testing::readFile(file), before) << "the file was rewritten";
    return;
  }
  Result<std::optional<plist::PlistDocument>> read = plist::readPlistFile(file);
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_TRUE(read.value().has_value());
  EXPECT_EQ(read.value()->format, format);
  EXPECT_EQ(plist::serialisePlist(read.value()->root.get(), PlistFormat::xml),
            canonicalXml(*c.after));
}

INSTANTIATE_TEST_SUITE_P(Commands, ExistingFile,
                         ::testing::Combine(::testing::ValuesIn(kExistingFileCases),
                                            ::testing::Values(PlistFormat::xml,
                                                              PlistFormat::binary)),
                         [](const ::testing::TestParamInfo<ExistingFile::ParamType>& param) {
                           return std::string(std::get<0>(param.param).name) + "_" +
                                  formatName(std::get<1>(param.param));
                         });

// Cases on a file that does not exist yet: it is created as XML when a command changes it.
const std::vector<TableCase> kNewFileCases = {
    {"PrintAnnouncesTheFileButDoesNotCreateIt",
     {"Print :a"},
     "File Doesn't Exist, Will Create: {file}\n",
     "Print: Entry, \":a\", Does Not Exist\n",
     1,
     std::nullopt},
    {"PrintOfTheWholeFileIsAnEmptyDict",
     {"Print"},
     "File Doesn't Exist, Will Create: {file}\nDict {\n}\n",
     "",
     0,
     std::nullopt},
    {"SetFailsAndCreatesNothing",
     {"Set :a 1"},
     "File Doesn't Exist, Will Create: {file}\n",
     "Set: Entry, \":a\", Does Not Exist\n",
     1,
     std::nullopt},
    {"AddCreatesTheFile",
     {"Add :DesktopViewSettings dict"},
     "File Doesn't Exist, Will Create: {file}\n",
     "",
     0,
     "<dict><key>DesktopViewSettings</key><dict/></dict>"},
    {"AddWithParentsCreatesTheFile",
     {"Add :DesktopViewSettings:IconViewSettings:gridSpacing real 64.0"},
     "File Doesn't Exist, Will Create: {file}\n",
     "",
     0,
     "<dict><key>DesktopViewSettings</key><dict><key>IconViewSettings</key><dict>"
     "<key>gridSpacing</key><real>64</real></dict></dict></dict>"},
};

class NewFile : public ::testing::TestWithParam<TableCase> {};

TEST_P(NewFile, PrintsExitsAndCreatesTheFileOnlyWhenChanged) {
  const TableCase& c = GetParam();
  TempDir folder;
  const std::string file = (folder / "new.plist").string();

  expectRun(c, runPlistBuddy(c.commands, file), file);

  if (!c.after) {
    EXPECT_FALSE(std::filesystem::exists(file));
    return;
  }
  Result<std::optional<plist::PlistDocument>> read = plist::readPlistFile(file);
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_TRUE(read.value().has_value());
  EXPECT_EQ(read.value()->format, PlistFormat::xml);
  EXPECT_EQ(plist::serialisePlist(read.value()->root.get(), PlistFormat::xml),
            canonicalXml(*c.after));
}

INSTANTIATE_TEST_SUITE_P(Commands, NewFile, ::testing::ValuesIn(kNewFileCases),
                         [](const ::testing::TestParamInfo<TableCase>& param) {
                           return std::string(param.param.name);
                         });

// Files that cannot be read as plists are reported and left alone, whatever the command.
struct UnreadableCase {
  const char* name;
  std::optional<std::string> content;  // nothing: a folder stands where the file should be
  const char* command;
};

void PrintTo(const UnreadableCase& c, std::ostream* out) {
  *out << c.name;
}

class UnreadableFile : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableFile, IsAnErrorReadingTheFile) {
  const UnreadableCase& c = GetParam();
  TempDir folder;
  const std::string file = (folder / "broken.plist").string();
  if (c.content) {
    testing::writeFile(file, *c.content);
  } else {
    std::filesystem::create_directory(file);
  }

  const Completed run = runPlistBuddy({c.command}, file);

  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.errors, "Error Reading File: " + file + "\n");
  EXPECT_EQ(run.status, 1);
  if (c.content) {
    EXPECT_EQ(testing::readFile(file), *c.content);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableFile,
    ::testing::Values(UnreadableCase{"Garbage", "not a plist", "Print :a"},
                      UnreadableCase{"Empty", "", "Add :a dict"},
                      UnreadableCase{"CutShortBinary", "bplist00\xd1\x01\x02", "Print"},
                      UnreadableCase{"UnclosedXml", plistDocument("<dict><key>a</key>"),
                                     "Set :a 1"},
                      UnreadableCase{"Folder", std::nullopt, "Print :a"}),
    [](const ::testing::TestParamInfo<UnreadableCase>& param) {
      return std::string(param.param.name);
    });

// The calls a Finder grid-spacing reader makes on a fresh preferences file: three Adds that
// may fail harmlessly, then Print; then a Set and a Print of the new value.
TEST(PlistBuddy, GridSpacingEntryIsCreatedOnceAndThenChanged) {
  TempDir folder;
  const std::string file = (folder / "com.apple.finder.plist").string();
  const std::string grid = ":DesktopViewSettings:IconViewSettings:gridSpacing";
  for (int round = 0; round < 2; ++round) {
    runPlistBuddy({"Add :DesktopViewSettings dict"}, file);
    runPlistBuddy({"Add :DesktopViewSettings:IconViewSettings dict"}, file);
    const Completed add = runPlistBuddy({"Add " + grid + " real 64.0"}, file);
    EXPECT_EQ(add.status, round == 0 ? 0 : 1);
    const Completed print = runPlistBuddy({"Print " + grid}, file);
    EXPECT_EQ(print.status, 0);
    EXPECT_EQ(print.output, "64\n");
  }
  EXPECT_EQ(runPlistBuddy({"Set " + grid + " 80"}, file).status, 0);
  EXPECT_EQ(runPlistBuddy({"Print " + grid}, file).output, "80\n");
}

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  const char* outputStart;  // what standard output begins with
  const char* errors;
};

void PrintTo(const CommandLineCase& c, std::ostream* out) {
  *out << c.name;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, HelpOnOutputAndOneLineErrors) {
  const CommandLineCase& c = GetParam();
  std::vector<std::string> argv{PLISTBUDDY_PATH};
  argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
  const Completed run = testing::runProgram(argv);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(run.output.rfind(c.outputStart, 0), 0u) << run.output;
  if (*c.outputStart == '\0') {
    EXPECT_EQ(run.output, "");
  }
  EXPECT_EQ(run.errors, c.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLine,
    ::testing::Values(
        CommandLineCase{"Help", {"--help"}, 0, "Usage: PlistBuddy ", ""},
        CommandLineCase{"ShortHelp", {"-h"}, 0, "Usage: PlistBuddy ", ""},
        CommandLineCase{"NoArgumentsShowsUsage",
                        {},
                        1,
                        "Usage: PlistBuddy ",
                        "PlistBuddy: no plist file given (see --help)\n"},
        CommandLineCase{
            "NoFile", {"-c", "Print"}, 1, "", "PlistBuddy: no plist file given (see --help)\n"},
        CommandLineCase{"NoCommand",
                        {"x.plist"},
                        1,
                        "",
                        "PlistBuddy: no command given; interactive mode is not supported, use -c "
                        "(see --help)\n"},
        CommandLineCase{"UnknownOption",
                        {"-q", "-c", "Print", "x.plist"},
                        1,
                        "",
                        "PlistBuddy: unknown option -q (see --help)\n"},
        CommandLineCase{
            "ExtraArguments", {"-c", "Print", "x.plist", "y.plist"}, 1, "", "Invalid Arguments\n"}),
    [](const ::testing::TestParamInfo<CommandLineCase>& param) {
      return std::string(param.param.name);
    });

// Whether the process is blocked on a file lock: the kernel lists such a wait as "->".
bool waitsForALock(pid_t pid) {
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, arrow, kind, mode, access, owner;
    if (fields >> number >> arrow >> kind >> mode >> access >> owner && arrow == "->" &&
        owner == std::to_string(pid)) {
      return true;
    }
  }
  return false;
}

// Set and Add read, change and replace the file while holding the lock on its folder, so a
// writer that holds the lock keeps them waiting and no change is lost.
TEST(PlistBuddy, ChangesWaitForTheFolderLock) {
  TempDir folder;
  const std::string file = (folder / "a.plist").string();
  ASSERT_EQ(runPlistBuddy({"Add :n integer 1"}, file).status, 0);

  std::optional<Result<plist::PlistFolderLock>> held(
      plist::PlistFolderLock::acquire(folder.path()));
  ASSERT_TRUE(held->ok());
  testing::ChildProcess child({PLISTBUDDY_PATH, "-c", "Set :n 2", file});
  ASSERT_TRUE(testing::eventually([&] { return waitsForALock(child.pid()); }));
  const Completed whileHeld = runPlistBuddy({"Print :n"}, file);
  EXPECT_EQ(whileHeld.output, "1\n") << "Set did not wait for the lock";
  held.reset();

  EXPECT_EQ(child.wait(), 0);
  EXPECT_EQ(runPlistBuddy({"Print :n"}, file).output, "2\n");
}

}  // namespace
}  // namespace deskplay::plistbuddy
