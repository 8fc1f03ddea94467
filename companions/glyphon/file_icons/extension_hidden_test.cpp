#include "file_icons/extension_hidden.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "file_icons/testing/file_icon_rig.hpp"

namespace deskplay::glyphon {
namespace {

using platform::ExtensionVisibility;
using ::testing::ElementsAre;
using testing::FileIconRig;
using testing::RecordingOutput;
using Flush = OutputLines::Flush;

struct Visibility {
  std::string value;
  ExtensionVisibility visibility;
  std::string logged;
};

void PrintTo(const Visibility& visibility, std::ostream* out) {
  *out << '"' << visibility.value << '"';
}

class ExtensionHiddenValue : public ::testing::TestWithParam<Visibility> {};

TEST_P(ExtensionHiddenValue, HidesOnlyForTrueInAnyCase) {
  FileIconRig rig;
  extensionHidden(rig.services, "/Desktop/a.txt", GetParam().value);
  EXPECT_EQ(rig.workspace.extensionVisibility("/Desktop/a.txt"), GetParam().visibility);
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] extension_hidden cocoa ok path=/Desktop/a.txt "
                                           "hidden=" +
                                           GetParam().logged));
  EXPECT_TRUE(rig.output.lines().empty());
  EXPECT_TRUE(rig.host.runs().empty());
}

INSTANTIATE_TEST_SUITE_P(Values, ExtensionHiddenValue,
                         ::testing::Values(Visibility{"true", ExtensionVisibility::hidden, "true"},
                                           Visibility{"TRUE", ExtensionVisibility::hidden, "true"},
                                           Visibility{"True", ExtensionVisibility::hidden, "true"},
                                           Visibility{"false", ExtensionVisibility::shown, "false"},
                                           Visibility{"yes", ExtensionVisibility::shown, "false"},
                                           Visibility{"1", ExtensionVisibility::shown, "false"},
                                           Visibility{" true", ExtensionVisibility::shown, "false"},
                                           Visibility{"", ExtensionVisibility::shown, "false"}));

TEST(ExtensionHidden, FallsBackToFinderWithTheValueAsReceived) {
  FileIconRig rig;
  rig.workspace.failExtensionChange("write attribute: errno 13 (Permission denied)");
  extensionHidden(rig.services, "/Desktop/my \"odd\" \\ name.txt", "TRUE");
  EXPECT_THAT(
      rig.log.lines(),
      ElementsAre("[ORVEL] extension_hidden cocoa error path=/Desktop/my \"odd\" \\ "
                  "name.txt hidden=true err=write attribute: errno 13 (Permission denied)"));
  EXPECT_THAT(
      rig.output.lines(),
      ElementsAre(RecordingOutput::Line{
          "COCOA_EXTENSION_ERROR:write attribute: errno 13 (Permission denied)", Flush::withNext}));
  EXPECT_THAT(rig.host.runs(),
              ElementsAre("tell application \"Finder\" to set extension hidden of (POSIX file "
                          "\"/Desktop/my \\\"odd\\\" \\\\ name.txt\" as alias) to TRUE"));
}

TEST(ExtensionHidden, ReportsAFailingFallbackOnlyAsAScriptError) {
  FileIconRig rig;
  rig.workspace.failExtensionChange("no such file");
  rig.host.setFallbackAnswer(platform::testing::failsWith("File not found.", -43));
  extensionHidden(rig.services, "/Desktop/gone.txt", "false");
  EXPECT_THAT(
      rig.output.lines(),
      ElementsAre(RecordingOutput::Line{"COCOA_EXTENSION_ERROR:no such file", Flush::withNext},
                  RecordingOutput::Line{"FINDER_SCRIPT_ERROR:File not found.", Flush::now}));
  EXPECT_EQ(rig.log.lines().size(), 1u);
}

TEST(ExtensionHidden, NeverPutsAnythingButABooleanIntoTheFallbackScript) {
  for (const std::string value : {"yes", "", "true\ndo shell script \"touch /tmp/owned\"",
                                  "false) & (do shell script \"x\""}) {
    FileIconRig rig;
    rig.workspace.failExtensionChange("no such file");
    extensionHidden(rig.services, "/Desktop/a.txt", value);
    EXPECT_TRUE(rig.host.runs().empty()) << value;
    EXPECT_EQ(rig.output.lines().size(), 1u);
    EXPECT_THAT(rig.log.lines(),
                ElementsAre("[ORVEL] extension_hidden cocoa error path=/Desktop/a.txt hidden=false "
                            "err=no such file",
                            "[ORVEL] extension_hidden script skipped path=/Desktop/a.txt: value is "
                            "not true or false"));
  }
}

TEST(SetHiddenExtensionCocoa, GivesTheWorkspacesError) {
  FileIconRig rig;
  EXPECT_TRUE(setHiddenExtensionCocoa(rig.workspace, "/Desktop/a.txt", true).ok());
  EXPECT_EQ(rig.workspace.extensionVisibility("/Desktop/a.txt"), ExtensionVisibility::hidden);
  rig.workspace.failExtensionChange("read-only file system");
  const Status failed = setHiddenExtensionCocoa(rig.workspace, "/Desktop/a.txt", false);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.message(), "read-only file system");
}

}  // namespace
}  // namespace deskplay::glyphon
