#include "file_icons/file_icon_commands.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "common/extended_attributes.hpp"
#include "file_icons/base64.hpp"
#include "file_icons/testing/file_icon_rig.hpp"
#include "platform/finder_info.hpp"

namespace deskplay::glyphon {
namespace {

using platform::Image;
using testing::FileIconRig;
using testing::pngHeader;

CommandAnswer answersCustomIcon(bool has, std::optional<std::string> data = std::nullopt) {
  CommandResult result;
  result.hasCustomIcon = has;
  result.data = std::move(data);
  return CommandAnswer::success(std::move(result));
}

// --- icon_get

TEST(IconGet, AnswersNoCustomIconForAPlainOrUnreadableFile) {
  FileIconRig rig;
  EXPECT_EQ(iconGet(rig.services, "/Desktop/plain.txt"), answersCustomIcon(false));
  rig.workspace.makeUnreadable("/Desktop/gone.txt");
  EXPECT_EQ(iconGet(rig.services, "/Desktop/gone.txt"), answersCustomIcon(false));
}

TEST(IconGet, AnswersTheIconAsBase64Png) {
  FileIconRig rig;
  const Image icon{pngHeader(16, 16), 16, 16};
  ASSERT_TRUE(rig.workspace.setCustomIcon("/Desktop/a.sprite", icon));
  EXPECT_EQ(iconGet(rig.services, "/Desktop/a.sprite"),
            answersCustomIcon(true, encodeBase64(icon.png)));
}

TEST(IconGet, AnswersACustomIconWithoutDataWhenThereIsNoPng) {
  FileIconRig rig;
  ASSERT_TRUE(rig.workspace.setCustomIcon("/Desktop/a.sprite", Image{{}, 0, 0}));
  EXPECT_EQ(iconGet(rig.services, "/Desktop/a.sprite"), answersCustomIcon(true));
}

// --- icon_set_path

TEST(IconSetPath, SetsTheImageAndNudgesFinder) {
  FileIconRig rig;
  const auto file = rig.folder / "a.sprite";
  deskplay::testing::writeFile(file, "");
  const Image image{pngHeader(32, 32), 32, 32};
  rig.workspace.setImageFile("/images/ghost.png", image);

  EXPECT_EQ(iconSetPath(rig.services, file, "/images/ghost.png"), CommandAnswer::success());
  ASSERT_TRUE(rig.workspace.customIcon(file).has_value());
  EXPECT_EQ(rig.workspace.customIcon(file)->png, image.png);
  EXPECT_EQ(rig.workspace.fileSystemChanges(), std::vector<std::filesystem::path>{file});
}

TEST(IconSetPath, FailsForAMissingImageOrARefusedIcon) {
  FileIconRig rig;
  EXPECT_EQ(iconSetPath(rig.services, "/Desktop/a.sprite", "/images/missing.png"),
            CommandAnswer::failure("Icon image not found"));
  rig.workspace.setImageFile("/images/ghost.png", Image{pngHeader(8, 8), 8, 8});
  rig.workspace.failCustomIcons(true);
  EXPECT_EQ(iconSetPath(rig.services, "/Desktop/a.sprite", "/images/ghost.png"),
            CommandAnswer::failure("Failed to set icon from path"));
  EXPECT_FALSE(rig.workspace.customIcon("/Desktop/a.sprite").has_value());
  EXPECT_TRUE(rig.workspace.fileSystemChanges().empty());
}

// --- icon_set_data

TEST(IconSetData, SetsTheDecodedImageAndNudgesFinder) {
  FileIconRig rig;
  const auto file = rig.folder / "a.sprite";
  deskplay::testing::writeFile(file, "");
  const std::vector<unsigned char> png = pngHeader(48, 24);

  EXPECT_EQ(iconSetData(rig.services, file, encodeBase64(png)), CommandAnswer::success());
  ASSERT_TRUE(rig.workspace.customIcon(file).has_value());
  EXPECT_EQ(rig.workspace.customIcon(file)->png, png);
  EXPECT_EQ(rig.workspace.customIcon(file)->width, 48);
  EXPECT_EQ(rig.workspace.fileSystemChanges(), std::vector<std::filesystem::path>{file});
}

class InvalidIconData : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidIconData, IsRejectedBeforeTouchingTheFile) {
  FileIconRig rig;
  EXPECT_EQ(iconSetData(rig.services, "/Desktop/a.sprite", GetParam()),
            CommandAnswer::failure("Invalid icon data"));
  EXPECT_FALSE(rig.workspace.customIcon("/Desktop/a.sprite").has_value());
  EXPECT_TRUE(rig.workspace.fileSystemChanges().empty());
}

INSTANTIATE_TEST_SUITE_P(NoBase64, InvalidIconData,
                         ::testing::Values("not base64!", encodeBase64(pngHeader(8, 8)) + "\n",
                                           "data:image/png;base64," + encodeBase64(pngHeader(8, 8)),
                                           encodeBase64(pngHeader(8, 8)).substr(1)));
INSTANTIATE_TEST_SUITE_P(NoImage, InvalidIconData,
                         ::testing::Values("", "aGVsbG8gd29ybGQ=",
                                           encodeBase64(std::vector<unsigned char>(40, 0))));

TEST(IconSetData, FailsWhenTheIconIsRefused) {
  FileIconRig rig;
  rig.workspace.failCustomIcons(true);
  EXPECT_EQ(iconSetData(rig.services, "/Desktop/a.sprite", encodeBase64(pngHeader(8, 8))),
            CommandAnswer::failure("Failed to set icon from data"));
  EXPECT_TRUE(rig.workspace.fileSystemChanges().empty());
}

// --- icon_clear

TEST(IconClear, RemovesTheIconWithoutNudgingFinder) {
  FileIconRig rig;
  ASSERT_TRUE(rig.workspace.setCustomIcon("/Desktop/a.sprite", Image{pngHeader(8, 8), 8, 8}));
  EXPECT_EQ(iconClear(rig.services, "/Desktop/a.sprite"), CommandAnswer::success());
  EXPECT_FALSE(rig.workspace.customIcon("/Desktop/a.sprite").has_value());
  EXPECT_TRUE(rig.workspace.fileSystemChanges().empty());
}

TEST(IconClear, FailsWhenTheWorkspaceRefuses) {
  FileIconRig rig;
  rig.workspace.failCustomIcons(true);
  EXPECT_EQ(iconClear(rig.services, "/Desktop/a.sprite"),
            CommandAnswer::failure("Failed to clear icon"));
}

// --- template_copy

TEST(TemplateCopy, CreatesTheCopy) {
  FileIconRig rig;
  const auto from = rig.folder / "template";
  deskplay::testing::writeFile(from, "");
  const std::string finderInfo = platform::platformAttributeName(platform::kFinderInfoAttribute);
  const std::string fork = platform::platformAttributeName(platform::kResourceForkAttribute);
  ASSERT_TRUE(writeAttribute(from, finderInfo, std::string(32, '\0')).ok());
  ASSERT_TRUE(writeAttribute(from, fork, "png").ok());

  EXPECT_EQ(templateCopy(from, rig.folder / "copy"), CommandAnswer::success());
  EXPECT_TRUE(std::filesystem::exists(rig.folder / "copy"));
  // Onto what now exists: the platform's text for the file-exists error.
  EXPECT_EQ(templateCopy(from, rig.folder / "copy"),
            CommandAnswer::failure(std::string("template_copy: ") + std::strerror(EEXIST)));
}

TEST(TemplateCopy, NamesTheErrorOfAnIncompleteTemplate) {
  FileIconRig rig;
  const auto from = rig.folder / "template";
  deskplay::testing::writeFile(from, "");
  ASSERT_TRUE(writeAttribute(from, platform::platformAttributeName(platform::kFinderInfoAttribute),
                             std::string(32, '\0'))
                  .ok());
#ifdef __APPLE__
  const int noSuchAttribute = ENOATTR;
#else
  const int noSuchAttribute = ENODATA;
#endif
  EXPECT_EQ(
      templateCopy(from, rig.folder / "copy"),
      CommandAnswer::failure(std::string("template_copy: ") + std::strerror(noSuchAttribute)));
  EXPECT_FALSE(std::filesystem::exists(rig.folder / "copy"));
}

}  // namespace
}  // namespace deskplay::glyphon
