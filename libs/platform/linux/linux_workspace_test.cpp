#include "platform/linux/linux_workspace.hpp"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdlib>
#include <filesystem>

#include "common/extended_attributes.hpp"
#include "platform/finder_info.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::platform {
namespace {

using deskplay::testing::readFile;
using deskplay::testing::TempDir;
using deskplay::testing::writeFile;

std::vector<unsigned char> encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return {bytes.begin(), bytes.end()};
}

QImage filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// An image that compresses badly, so that its PNG is far larger than an attribute may hold.
QImage noise(int side) {
  QImage image(side, side, QImage::Format_ARGB32);
  unsigned state = 12345;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      state = state * 1103515245u + 12345u;
      image.setPixel(x, y, 0xFF000000u | (state >> 8));
    }
  }
  return image;
}

bool isPng(const std::vector<unsigned char>& bytes) {
  return bytes.size() > 8 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G';
}

std::string finderInfoOf(const std::filesystem::path& file) {
  auto value = readAttribute(file, platformAttributeName(kFinderInfoAttribute));
  return value.ok() && value.value() ? *value.value() : std::string();
}

class LinuxWorkspaceTest : public ::testing::Test {
 protected:
  TempDir folder;
  testing::FakeWorkspace desktop;
  LinuxWorkspace workspace{desktop};
  std::filesystem::path file = folder / "sprite.txt";

  void SetUp() override { writeFile(file, "content stays"); }
};

TEST_F(LinuxWorkspaceTest, TheOpenPanelIsTheDesktops) {
  std::optional<std::filesystem::path> answer;
  bool answered = false;
  workspace.chooseFolder({folder.path(), "Choose", FolderChoice::Creation::allowed},
                         [&](std::optional<std::filesystem::path> chosen) {
                           answered = true;
                           answer = std::move(chosen);
                         });
  ASSERT_EQ(desktop.openPanels().size(), 1u);
  EXPECT_EQ(desktop.openPanels()[0].prompt, "Choose");
  EXPECT_EQ(desktop.openPanels()[0].folderCreation, FolderChoice::Creation::allowed);
  ASSERT_TRUE(desktop.answerOpenPanel(folder.path()));
  EXPECT_TRUE(answered);
  EXPECT_EQ(answer, folder.path());
}

TEST_F(LinuxWorkspaceTest, IconFromAPngFileIsStoredAsFinderKeepsIt) {
  const auto png = folder / "icon.png";
  const auto bytes = encoded(filled(32, 32, Qt::red), "PNG");
  writeFile(png, std::string(bytes.begin(), bytes.end()));

  const auto image = workspace.loadImage(png);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(workspace.hasCustomIcon(file), false);
  ASSERT_TRUE(workspace.setCustomIcon(file, image));

  EXPECT_EQ(workspace.hasCustomIcon(file), true);
  const std::string info = finderInfoOf(file);
  ASSERT_EQ(info.size(), FinderInfo::kSize);
  EXPECT_EQ(static_cast<unsigned char>(info[8]), 0x04);
  const auto icon = workspace.iconForFile(file);
  ASSERT_TRUE(icon.has_value());
  EXPECT_TRUE(isPng(icon->png));
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(readFile(file), "content stays");
}

TEST_F(LinuxWorkspaceTest, JpegBytesBecomeAPngIconAndAHugeImageIsShrunkToFit) {
  const auto jpeg = workspace.decodeImage(encoded(filled(40, 20, Qt::blue), "JPG"));
  ASSERT_TRUE(jpeg.has_value());
  ASSERT_TRUE(workspace.setCustomIcon(file, jpeg));
  auto icon = workspace.iconForFile(file);
  ASSERT_TRUE(icon.has_value());
  EXPECT_TRUE(isPng(icon->png));
  EXPECT_EQ(icon->width, 40);
  EXPECT_EQ(icon->height, 20);

  const auto huge = workspace.decodeImage(encoded(noise(1024), "PNG"));
  ASSERT_TRUE(huge.has_value());
  ASSERT_TRUE(workspace.setCustomIcon(file, huge));
  icon = workspace.iconForFile(file);
  ASSERT_TRUE(icon.has_value());
  EXPECT_LE(icon->width, 512);
  EXPECT_EQ(icon->width, icon->height);
}

TEST_F(LinuxWorkspaceTest, ClearingKeepsTheRestOfFinderInfoAndDropsTheImage) {
  ASSERT_TRUE(workspace.setExtensionVisibility(file, ExtensionVisibility::hidden).ok());
  ASSERT_TRUE(workspace.setCustomIcon(
      file, workspace.decodeImage(encoded(filled(8, 8, Qt::green), "PNG"))));
  ASSERT_TRUE(workspace.setCustomIcon(file, std::nullopt));

  EXPECT_EQ(workspace.hasCustomIcon(file), false);
  EXPECT_FALSE(workspace.iconForFile(file).has_value());
  const std::string info = finderInfoOf(file);
  ASSERT_EQ(info.size(), FinderInfo::kSize);
  EXPECT_EQ(static_cast<unsigned char>(info[8]), 0x00);
  EXPECT_EQ(static_cast<unsigned char>(info[9]), 0x10) << "the hidden extension stays";
  auto fork = readAttribute(file, platformAttributeName(kResourceForkAttribute));
  ASSERT_TRUE(fork.ok());
  EXPECT_FALSE(fork.value().has_value());

  ASSERT_TRUE(workspace.setExtensionVisibility(file, ExtensionVisibility::shown).ok());
  EXPECT_TRUE(finderInfoOf(file).empty()) << "an all-zero FinderInfo goes away";
}

TEST_F(LinuxWorkspaceTest, CopyingTheTwoAttributesCarriesTheIcon) {
  ASSERT_TRUE(workspace.setCustomIcon(
      file, workspace.decodeImage(encoded(filled(16, 16, Qt::red), "PNG"))));
  const auto copy = folder / "copy";
  writeFile(copy, "");
  for (std::string_view name : {kFinderInfoAttribute, kResourceForkAttribute}) {
    const std::string attribute = platformAttributeName(name);
    auto value = readAttribute(file, attribute);
    ASSERT_TRUE(value.ok() && value.value());
    ASSERT_TRUE(writeAttribute(copy, attribute, *value.value()).ok());
  }
  EXPECT_EQ(workspace.hasCustomIcon(copy), true);
  EXPECT_EQ(workspace.iconForFile(copy)->png, workspace.iconForFile(file)->png);
}

TEST_F(LinuxWorkspaceTest, MissingFilesAndNonImagesFail) {
  const auto gone = folder / "gone";
  EXPECT_FALSE(workspace.hasCustomIcon(gone).has_value());
  EXPECT_FALSE(
      workspace.setCustomIcon(gone, workspace.decodeImage(encoded(filled(8, 8, Qt::red), "PNG"))));
  EXPECT_FALSE(workspace.setCustomIcon(gone, std::nullopt));
  const Status hidden = workspace.setExtensionVisibility(gone, ExtensionVisibility::hidden);
  ASSERT_FALSE(hidden.ok());
  EXPECT_NE(hidden.message().find("No such file"), std::string::npos);

  EXPECT_FALSE(workspace.loadImage(file).has_value());
  EXPECT_FALSE(workspace.decodeImage({'n', 'o', 't'}).has_value());
  EXPECT_FALSE(workspace.setCustomIcon(file, Image{{1, 2, 3}, 1, 1}));
}

TEST_F(LinuxWorkspaceTest, WebPagesGoToTheBrowserAndTheRestToTheDesktop) {
  const auto bin = folder / "bin";
  std::filesystem::create_directories(bin);
  const auto opened = folder / "opened";
  writeFile(bin / "xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened.string() +
                                  "'\ncase \"$1\" in *fail*) exit 4;; esac\n");
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  const std::string savedPath = std::getenv("PATH");
  ::setenv("PATH", (bin.string() + ":" + savedPath).c_str(), 1);
  ::unsetenv("BROWSER");

  EXPECT_TRUE(workspace.openUrl("https://rooms.example/app-signin"));
  EXPECT_TRUE(workspace.openUrl("HTTP://example.org/"));
  EXPECT_FALSE(workspace.openUrl("https://fail.example/"));
  EXPECT_TRUE(workspace.openUrl(
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"));
  workspace.activateFileViewerSelecting({folder.path()});
  workspace.noteFileSystemChanged(file);
  ::setenv("PATH", savedPath.c_str(), 1);

  EXPECT_EQ(readFile(opened),
            "https://rooms.example/app-signin\nHTTP://example.org/\nhttps://fail.example/\n");
  EXPECT_EQ(desktop.openedUrls(),
            std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"});
  ASSERT_EQ(desktop.reveals().size(), 1u);
  EXPECT_EQ(desktop.fileSystemChanges(), std::vector<std::filesystem::path>{file});
}

TEST_F(LinuxWorkspaceTest, BrowserVariableListsBrowsersTriedInTurn) {
  const auto opened = folder / "opened";
  const auto browser = [&](const std::string& name, int status) {
    const auto script = folder / name;
    writeFile(script, "#!/bin/sh\necho \"" + name + " $*\" >> '" + opened.string() + "'\nexit " +
                          std::to_string(status) + "\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script.string();
  };
  const std::string refusing = browser("refusing", 3);
  const std::string taking = browser("taking", 0);
  const char* saved = std::getenv("BROWSER");
  const std::string savedBrowser = saved != nullptr ? saved : "";
  struct Case {
    std::string browsers;
    bool taken;
    std::string calls;
  };
  const std::string page =
      "https://rooms.example/app-signin?a=1&b=$(touch " + (folder / "x").string() + ")";
  const std::vector<Case> cases = {
      {taking, true, "taking " + page + "\n"},
      {refusing + ":" + taking + " --new-tab %s", true,
       "refusing " + page + "\ntaking --new-tab " + page + "\n"},
      {"::" + refusing, false, "refusing " + page + "\n"},
      {folder.path().string() + "/absent", false, ""},
  };
  for (const Case& testCase : cases) {
    SCOPED_TRACE(testCase.browsers);
    std::filesystem::remove(opened);
    ::setenv("BROWSER", testCase.browsers.c_str(), 1);
    EXPECT_EQ(workspace.openUrl(page), testCase.taken);
    EXPECT_EQ(std::filesystem::exists(opened) ? readFile(opened) : "", testCase.calls);
  }
  if (saved != nullptr) {
    ::setenv("BROWSER", savedBrowser.c_str(), 1);
  } else {
    ::unsetenv("BROWSER");
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "x"));
}

}  // namespace
}  // namespace deskplay::platform
