#include "sim/simdesk/model/desktop_item.hpp"

#include <gtest/gtest.h>

#include "sim/simdesk/model/item_order.hpp"

namespace deskplay::simdesk {
namespace {

TEST(DesktopItemTest, FileUrlsArePercentEncodedAsMacOSDoes) {
  struct Case {
    std::string path;
    bool directory;
    std::string url;
  };
  const Case cases[] = {
      {"/Users/me/Desktop/a.txt", false, "file:///Users/me/Desktop/a.txt"},
      {"/Users/me/Desktop/My File.txt", false, "file:///Users/me/Desktop/My%20File.txt"},
      {"/Users/me/Desktop/Folder", true, "file:///Users/me/Desktop/Folder/"},
      {"/Users/me/Desktop/a#b?c%d", false, "file:///Users/me/Desktop/a%23b%3Fc%25d"},
      {"/Users/me/Desktop/(x)&y+z=1,@:!", false, "file:///Users/me/Desktop/(x)&y+z=1,@:!"},
      {"/Users/me/Desktop/caf\xC3\xA9", false, "file:///Users/me/Desktop/caf%C3%A9"},
      {"/Users/me/Desktop/\xE2\x80\x89tile", false, "file:///Users/me/Desktop/%E2%80%89tile"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fileUrlForPath(c.path, c.directory), c.url) << c.path;
  }
}

TEST(DesktopItemTest, DisplayNameDropsAHiddenExtensionOnly) {
  struct Case {
    std::string name;
    ItemKind kind;
    bool hidden;
    std::string shown;
  };
  const Case cases[] = {
      {"photo.png", ItemKind::file, true, "photo"},
      {"photo.png", ItemKind::file, false, "photo.png"},
      {"archive.tar.gz", ItemKind::file, true, "archive.tar"},
      {".profile", ItemKind::file, true, ".profile"},
      {"ends.", ItemKind::file, true, "ends."},
      {"Stuff.app", ItemKind::folder, true, "Stuff.app"},
  };
  for (const Case& c : cases) {
    DesktopItem item;
    item.name = c.name;
    item.kind = c.kind;
    item.extensionHidden = c.hidden;
    EXPECT_EQ(item.displayName(), c.shown) << c.name;
  }
}

TEST(DesktopItemTest, KindNames) {
  DesktopItem item;
  item.name = "a.png";
  EXPECT_EQ(item.kindName(), "PNG file");
  item.name = "README";
  EXPECT_EQ(item.kindName(), "Document");
  item.kind = ItemKind::folder;
  EXPECT_EQ(item.kindName(), "Folder");
}

TEST(ItemOrderTest, FinderNameOrderIsCaseInsensitiveAndNumeric) {
  EXPECT_TRUE(finderNameLess("Item 9", "Item 10"));
  EXPECT_FALSE(finderNameLess("Item 10", "Item 9"));
  EXPECT_TRUE(finderNameLess("apple", "Banana"));
  EXPECT_TRUE(finderNameLess("file2", "file010"));
  EXPECT_TRUE(finderNameLess("a", "ab"));
  EXPECT_FALSE(finderNameLess("x", "x"));
}

}  // namespace
}  // namespace deskplay::simdesk
