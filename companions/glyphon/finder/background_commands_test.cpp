#include "finder/background_commands.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "finder/result_with.hpp"
#include "finder/testing/finder_rig.hpp"

namespace deskplay::glyphon {
namespace {

using platform::ScriptRun;
using platform::ScriptValue;
using platform::testing::answersText;
using platform::testing::failsWith;
using ::testing::ElementsAre;
using testing::FinderRig;

const std::string kGetPicture =
    "tell application \"System Events\" to get picture of current desktop";

TEST(BackgroundGet, AnswersThePicturesPath) {
  FinderRig rig;
  rig.host.setAnswer(kGetPicture, answersText("/Library/Desktop Pictures/Sky.heic"));
  EXPECT_EQ(backgroundGet(rig.services),
            CommandAnswer::success(
                resultWith(&CommandResult::data, "/Library/Desktop Pictures/Sky.heic")));
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] background_get ok /Library/Desktop Pictures/Sky.heic"));
}

TEST(BackgroundGet, ReportsTheScriptErrorBeforeAnswering) {
  FinderRig rig;
  rig.host.setAnswer(kGetPicture,
                     failsWith("System Events got an error: Can't get picture.", -1728));
  EXPECT_EQ(backgroundGet(rig.services),
            CommandAnswer::failure("System Events got an error: Can't get picture."));
  EXPECT_EQ(rig.output.lines().size(), 1u);
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] background_get error System Events got an error: Can't get "
                          "picture."));
}

TEST(BackgroundGet, RejectsAnAnswerThatIsNoText) {
  for (const ScriptRun& run :
       {ScriptRun::success(), ScriptRun::success(ScriptValue{std::nullopt, 0, "[list]"})}) {
    FinderRig rig;
    rig.host.setAnswer(kGetPicture, run);
    EXPECT_EQ(backgroundGet(rig.services),
              CommandAnswer::failure("Unexpected background response"));
    EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] background_get unexpected response"));
  }
}

TEST(BackgroundSetPath, EscapesThePathInsideTheScript) {
  FinderRig rig;
  const std::string path = "/Users/me/Pictures/a \"quoted\" \\ name.png";
  EXPECT_EQ(backgroundSetPath(rig.services, path), CommandAnswer::success());
  EXPECT_THAT(rig.host.runs(),
              ElementsAre("tell application \"System Events\" to set picture of current desktop "
                          "to POSIX file \"/Users/me/Pictures/a \\\"quoted\\\" \\\\ name.png\""));
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] background_set_path ok " + path));
}

TEST(BackgroundSetPath, AnswersTheScriptError) {
  FinderRig rig;
  rig.host.setFallbackAnswer(failsWith("File not found.", -43));
  EXPECT_EQ(backgroundSetPath(rig.services, "/missing.png"),
            CommandAnswer::failure("File not found."));
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] background_set_path error File not found."));
}

}  // namespace
}  // namespace deskplay::glyphon
