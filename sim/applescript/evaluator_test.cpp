#include "applescript/evaluator.hpp"

#include <gtest/gtest.h>

#include "applescript/descriptor.hpp"
#include "applescript/fake_application.hpp"
#include "applescript/quoted_scripts.hpp"

namespace deskplay::applescript {
namespace {

using namespace testing;
using platform::ScriptRun;

const std::string apostrophe = "\xE2\x80\x99";

class Evaluation : public ::testing::Test {
 protected:
  ScriptRun run(const std::string& source) { return applescript::run(source, environment_); }

  static ObjectSpecifier process(const std::string& name) {
    return ObjectSpecifier{"System Events",
                           std::nullopt,
                           {{SpecifierStep::Form::name, "process", name, 0, nullptr, {}}}};
  }

  FakeEnvironment environment_;
  FakeApplication& finder_ = environment_.finder;
  FakeApplication& events_ = environment_.systemEvents;
};

TEST_F(Evaluation, ReadingAPropertyGivesItsValue) {
  finder_.answer("icon size of icon view options of container window of desktop", Value(64));
  finder_.answer("icon size of icon view options of window of desktop", Value(48));
  const auto run1 = run(iconSizeGet());
  ASSERT_EQ(run1.outcome, ScriptRun::Outcome::succeeded);
  EXPECT_EQ(run1.result->int32Value, 64);
  EXPECT_EQ(run1.result->stringValue, "64");
  const auto run2 = run(iconSizeGetOfWindow());
  EXPECT_EQ(run2.result->int32Value, 48);
}

TEST_F(Evaluation, PathsReachTheApplicationExactlyAsWritten) {
  const std::vector<std::string> paths = {
      "/Users/me/Desktop/plain.txt",
      "/Users/me/Desktop/say \"hi\".txt",
      "/Users/me/Desktop/back\\slash\\\\twice",
      "/Users/me/Desktop/r\xC3\xA9sum\xC3\xA9 \xE2\x80\x89\xE2\x80\x8A",
      "/Users/me/Desktop/colon: and / slash",
      "/Users/me/Desktop/line\nbreak -- (* no comment *) # \xC2\xAC\ttab",
  };
  environment_.existingFiles = paths;
  const auto result = run(positions(paths, -20, 450));
  ASSERT_EQ(result.outcome, ScriptRun::Outcome::succeeded) << result.error.description;
  ASSERT_EQ(finder_.events().size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const auto& event = finder_.events()[i];
    EXPECT_EQ(event.verb, "set");
    ASSERT_TRUE(event.specifier && event.specifier->base);
    EXPECT_EQ(event.specifier->base->posixPath, paths[i]);
    EXPECT_EQ(event.specifier->base->kind, FileRef::Kind::alias);
    ASSERT_EQ(event.specifier->steps.size(), 1U);
    EXPECT_EQ(event.specifier->steps[0].term, "desktop position");
    EXPECT_EQ(event.value, Value(List{Value(-20 + static_cast<int>(i)), Value(450)}));
  }
  // The last statement's result is the list that was set: no text, so no batch data.
  EXPECT_FALSE(result.result->stringValue.has_value());
}

TEST_F(Evaluation, FreeTextReachesTheApplicationUnchanged) {
  const std::string path = "/Users/me/Desktop/a";
  environment_.existingFiles = {path};
  const std::string comment = "line one\nsays \"two\"\t\\ end \xE2\x9C\x93";
  ASSERT_EQ(run(commentSet(path, comment)).outcome, ScriptRun::Outcome::succeeded);
  EXPECT_EQ(finder_.events().back().value, Value(comment));
}

TEST_F(Evaluation, SettingsScriptsSetWhatTheyName) {
  const std::string path = "/Users/me/Desktop/a.txt";
  environment_.existingFiles = {path};
  struct Case {
    std::string source;
    FakeApplication* application;
    std::string object;
    Value value;
  };
  const std::string options = " of icon view options of container window of desktop";
  const std::string alias = " of alias \"Macintosh HD:Users:me:Desktop:a.txt\"";
  const Constant snap{"snap to grid", "grda"};
  const Constant right{"right", "lrgt"};
  const std::vector<Case> cases = {
      {iconSizeSet(72), &finder_, "icon size" + options, Value(72)},
      {iconSizeSetOfWindow(72), &finder_, "icon size of icon view options of window of desktop",
       Value(72)},
      {textSizeSet(14), &finder_, "text size" + options, Value(14)},
      {labelPositionSet("right"), &finder_, "label position" + options, Value(right)},
      {arrangementSet("snap to grid"), &finder_, "arrangement" + options, Value(snap)},
      {arrangementSet("not arranged"), &finder_, "arrangement" + options,
       Value(Constant{"not arranged", "narr"})},
      {labelPositionSet("bottom"), &finder_, "label position" + options,
       Value(Constant{"bottom", "lbot"})},
      {showsItemInfoSet("false"), &finder_, "shows item info" + options, Value(false)},
      {labelIndexSet(path, "3"), &finder_, "label index" + alias, Value(3)},
      {extensionHiddenSet(path, "TRUE"), &finder_, "extension hidden" + alias, Value(true)},
      {dockAutohide("true"), &events_, "autohide of dock preferences", Value(true)},
      {menuBarAutohide("false"), &events_, "autohide menu bar of dock preferences", Value(false)},
      {pictureSet("/Library/Pictures/\"x\".png"), &events_, "picture of current desktop",
       Value(FileRef{FileRef::Kind::file, "/Library/Pictures/\"x\".png"})},
  };
  for (const auto& [source, application, object, value] : cases) {
    const auto result = run(source);
    ASSERT_EQ(result.outcome, ScriptRun::Outcome::succeeded) << source << result.error.description;
    EXPECT_EQ(application->lastSet(object), value) << source;
  }
}

TEST_F(Evaluation, WhoseTestsPickTheElementsToChange) {
  events_.answer("every process", Value(List{Value(process("Finder")), Value(process("Glyphon")),
                                             Value(process("Hidden"))}));
  for (const auto& [name, visible] : std::vector<std::pair<std::string, bool>>{
           {"Finder", true}, {"Glyphon", true}, {"Hidden", false}}) {
    events_.answer("name of process \"" + name + "\"", Value(name));
    events_.answer("visible of process \"" + name + "\"", Value(visible));
  }
  const auto result = run(hideOtherProcesses());
  ASSERT_EQ(result.outcome, ScriptRun::Outcome::succeeded) << result.error.description;
  std::vector<std::string> changed;
  for (const auto& event : events_.events()) {
    if (event.verb == "set") changed.push_back(event.object);
  }
  EXPECT_EQ(changed, std::vector<std::string>{"visible of process \"Glyphon\""});
  EXPECT_EQ(events_.lastSet("visible of process \"Glyphon\""), Value(false));
}

TEST_F(Evaluation, CommandsGoToTheirApplication) {
  finder_.answer("every item of desktop", Value(List{Value(1), Value(2)}));
  EXPECT_EQ(run("tell application \"Finder\" to count every item of desktop").result->int32Value,
            2);
  EXPECT_EQ(run("tell application \"Finder\" to count items of desktop").result->int32Value, 2);
  const auto closed = run(closeEveryWindow());
  ASSERT_EQ(closed.outcome, ScriptRun::Outcome::succeeded);
  EXPECT_FALSE(closed.result.has_value());
  EXPECT_EQ(finder_.events().back().verb, "close");
  EXPECT_EQ(finder_.events().back().object, "every window");
  ASSERT_EQ(run("tell application \"Finder\" to quit").outcome, ScriptRun::Outcome::succeeded);
  EXPECT_EQ(finder_.events().back().verb, "quit");
  EXPECT_FALSE(finder_.events().back().specifier.has_value());
}

TEST_F(Evaluation, ResultsOfTextConstantsAndNames) {
  finder_.answer("name of startup disk", Value("Macintosh HD"));
  finder_.answer("arrangement of icon view options of container window of desktop",
                 Value(Constant{"not arranged", "narr"}));
  events_.answer("picture of current desktop", Value("/System/Library/x.heic"));
  EXPECT_EQ(run(startupDiskNameGet()).result->stringValue, "Macintosh HD");
  const auto arrangement = run(arrangementGet());
  EXPECT_FALSE(arrangement.result->stringValue.has_value());
  EXPECT_EQ(arrangement.result->description, "'enum'('narr')");
  EXPECT_EQ(run(pictureGet()).result->stringValue, "/System/Library/x.heic");
}

TEST_F(Evaluation, RunTimeErrorsCarryAppleScriptsNumbersAndMessages) {
  environment_.existingFiles = {"/Users/me/Desktop/a"};
  struct Case {
    std::string source;
    int number;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"tell application \"Finder\" to get desktop position of item \"x\" of desktop", -1728,
       "Finder got an error: Can" + apostrophe +
           "t get desktop position of item \"x\" of desktop."},
      {labelIndexSet("/Users/me/Desktop/gone", "2"), -1700,
       "Can" + apostrophe + "t make file \"Macintosh HD:Users:me:Desktop:gone\" into type alias."},
      {labelIndexSet("/Users/me/Desktop/a", "red"), -2753, "The variable red is not defined."},
      {extensionHiddenSet("/Users/me/Desktop/a", "yes"), -2753, "The variable yes is not defined."},
      {arrangementSet("date modified"), -2753, "The variable modified is not defined."},
      {"get 1 < \"a\"", -1700, "Can" + apostrophe + "t make \"a\" into type number."},
      {"get {1} as date", -1700, "Can" + apostrophe + "t make {1} into type date."},
      {"set 5 to 6", -10006, "Can" + apostrophe + "t set 5 to 6."},
      {"quit", -1708,
       "\xC2\xABscript\xC2\xBB doesn" + apostrophe +
           "t understand the \xE2\x80\x9Cquit\xE2\x80\x9D message."},
  };
  for (const auto& [source, number, message] : cases) {
    const auto result = run(source);
    ASSERT_EQ(result.outcome, ScriptRun::Outcome::runFailed) << source;
    EXPECT_EQ(result.error.number, number) << source;
    EXPECT_EQ(result.error.message, message) << source;
  }
}

TEST_F(Evaluation, AQuitApplicationAnswersEveryEventWithMinus600) {
  finder_.setRunning(false);
  const auto result = run(iconSizeGet());
  ASSERT_EQ(result.outcome, ScriptRun::Outcome::runFailed);
  EXPECT_EQ(result.error.number, -600);
  EXPECT_EQ(result.error.message,
            "Finder got an error: Application isn" + apostrophe + "t running.");
}

TEST_F(Evaluation, ReadOnlyPropertiesRefuseToBeSet) {
  finder_.makeReadOnly("name of startup disk");
  const auto result = run("tell application \"Finder\" to set name of startup disk to \"X\"");
  EXPECT_EQ(result.error.number, -10006);
  EXPECT_EQ(result.error.message,
            "Finder got an error: Can" + apostrophe + "t set name of startup disk to \"X\".");
}

TEST_F(Evaluation, BarePropertiesAsValuesAreReadFromTheTarget) {
  // A word of the dictionary used as a value is a property of the application it tells.
  finder_.answer("name", Value("Finder"));
  ASSERT_EQ(run(arrangementSet("name")).outcome, ScriptRun::Outcome::succeeded);
  EXPECT_EQ(finder_.lastSet("arrangement of icon view options of container window of desktop"),
            Value("Finder"));
}

TEST_F(Evaluation, TryReturnsAndVariables) {
  const auto caught = run(
      "tell application \"Finder\"\n  try\n    get item \"x\" of desktop\n  on error msg number n\n"
      "    return {n, msg}\n  end try\n  return 0\nend tell");
  ASSERT_EQ(caught.outcome, ScriptRun::Outcome::succeeded);
  EXPECT_EQ(caught.result->description, "[ 'long'(-1728), 'utxt'(\"Finder got an error: Can" +
                                            apostrophe + "t get item \\\"x\\\" of desktop.\") ]");
  const auto variables = run("set x to 5\nset y to \"n=\" & x\nreturn y\nget 1");
  EXPECT_EQ(variables.result->stringValue, "n=5");
}

TEST_F(Evaluation, ExistsAndComparisons) {
  finder_.answer("item \"a\" of desktop", Value(1));
  EXPECT_EQ(run("tell application \"Finder\" to exists item \"a\" of desktop").result->int32Value,
            1);
  EXPECT_EQ(run("tell application \"Finder\" to item \"b\" of desktop exists").result->stringValue,
            "false");
  EXPECT_EQ(run("get \"ABC\" contains \"b\" and 2 \xE2\x89\xA5 2.0").result->stringValue, "true");
  EXPECT_EQ(run("get not (1 is 1) or {1, 2} contains {2}").result->stringValue, "true");
}

}  // namespace
}  // namespace deskplay::applescript
