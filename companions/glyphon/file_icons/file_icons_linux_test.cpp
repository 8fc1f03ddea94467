// The file icon commands over the workspace that is real on Linux: icons and flags in the
// files' extended attributes, images decoded by Qt.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include "file_icons/base64.hpp"
#include "file_icons/extension_hidden.hpp"
#include "file_icons/file_icon_commands.hpp"
#include "file_icons/testing/file_icon_rig.hpp"
#include "platform/linux/linux_workspace.hpp"

namespace deskplay::glyphon {
namespace {

using ::testing::StartsWith;

std::string encodedImage(QRgb colour, const char* format) {
  QImage image(24, 24, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return encodeBase64(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

QImage decodedIcon(const CommandAnswer& answer) {
  if (!answer.result || !answer.result->data) return {};
  const auto png = decodeBase64(*answer.result->data);
  if (!png) return {};
  return QImage::fromData(png->data(), static_cast<int>(png->size()), "PNG");
}

struct LinuxFileIcons {
  LinuxFileIcons() { deskplay::testing::writeFile(file, "sprite"); }

  testing::FileIconRig rig;
  platform::LinuxWorkspace workspace{rig.workspace};
  FileIconServices services{workspace, rig.repaintQueue, rig.scripts, rig.output, rig.log};
  std::string file = rig.folder / "sprite.txt";
};

TEST(FileIconsOnLinux, AnIconSetFromDataIsReadBackAndTravelsWithATemplateCopy) {
  LinuxFileIcons icons;
  ASSERT_EQ(iconSetData(icons.services, icons.file, encodedImage(qRgb(200, 30, 30), "PNG")),
            CommandAnswer::success());

  const QImage icon = decodedIcon(iconGet(icons.services, icons.file));
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixelColor(12, 12), QColor(200, 30, 30));

  const std::string copy = icons.rig.folder / "copy.txt";
  ASSERT_EQ(templateCopy(icons.file, copy), CommandAnswer::success());
  EXPECT_EQ(decodedIcon(iconGet(icons.services, copy)).pixelColor(12, 12), QColor(200, 30, 30));

  ASSERT_EQ(iconClear(icons.services, icons.file), CommandAnswer::success());
  CommandResult none;
  none.hasCustomIcon = false;
  EXPECT_EQ(iconGet(icons.services, icons.file), CommandAnswer::success(none));
  EXPECT_EQ(deskplay::testing::readFile(icons.file), "sprite");
}

TEST(FileIconsOnLinux, AJpegBecomesAPngIcon) {
  LinuxFileIcons icons;
  ASSERT_EQ(iconSetData(icons.services, icons.file, encodedImage(qRgb(0, 0, 255), "JPG")),
            CommandAnswer::success());
  EXPECT_FALSE(decodedIcon(iconGet(icons.services, icons.file)).isNull());
}

TEST(FileIconsOnLinux, AnExtensionThatCannotBeHiddenIsReportedAndLeftToFinder) {
  LinuxFileIcons icons;
  const std::string gone = icons.rig.folder / "gone.txt";
  extensionHidden(icons.services, gone, "true");
  ASSERT_EQ(icons.rig.output.lines().size(), 1u);
  EXPECT_THAT(icons.rig.output.lines()[0].text, StartsWith("COCOA_EXTENSION_ERROR:"));
  EXPECT_EQ(icons.rig.output.lines()[0].flush, OutputLines::Flush::withNext);
  EXPECT_EQ(icons.rig.host.runs().size(), 1u);
}

}  // namespace
}  // namespace deskplay::glyphon
