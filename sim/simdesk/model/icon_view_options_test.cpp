#include "sim/simdesk/model/icon_view_options.hpp"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include "plist_files/plist_file.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::simdesk {
namespace {

// Writes DesktopViewSettings:IconViewSettings with what `fill` puts in.
template <class Fill>
std::filesystem::path writePreferences(const deskplay::testing::TempDir& dir, Fill fill) {
  const std::filesystem::path file = dir / "com.apple.finder.plist";
  plist::PlistNode root(plist_new_dict());
  plist_t desktop = plist_new_dict();
  plist_t icons = plist_new_dict();
  fill(icons);
  plist_dict_set_item(desktop, "IconViewSettings", icons);
  plist_dict_set_item(root.get(), "DesktopViewSettings", desktop);
  EXPECT_TRUE(plist::writePlistFile(file, root.get(), plist::PlistFormat::binary).ok());
  return file;
}

TEST(IconViewOptionsTest, ReadsTheKeysGlyphonWrites) {
  deskplay::testing::TempDir dir;
  const auto file = writePreferences(dir, [](plist_t icons) {
    plist_dict_set_item(icons, "gridSpacing", plist_new_real(80.0));
    plist_dict_set_item(icons, "iconSize", plist_new_real(96.0));
    plist_dict_set_item(icons, "textSize", plist_new_uint(14));
    plist_dict_set_item(icons, "labelOnBottom", plist_new_bool(0));
    plist_dict_set_item(icons, "arrangeBy", plist_new_string("name"));
    plist_dict_set_item(icons, "showItemInfo", plist_new_bool(1));
  });
  const IconViewOptions options = readDesktopIconViewOptions(file);
  EXPECT_EQ(options.gridSpacing, 80);
  EXPECT_EQ(options.iconSize, 96);
  EXPECT_EQ(options.textSize, 14);
  EXPECT_EQ(options.labelPosition, LabelPosition::right);
  EXPECT_EQ(options.arrangement, Arrangement::byName);
  EXPECT_TRUE(options.showsItemInfo);
}

TEST(IconViewOptionsTest, MissingBrokenOrMistypedValuesKeepDefaults) {
  deskplay::testing::TempDir dir;
  EXPECT_EQ(readDesktopIconViewOptions(dir / "missing.plist"), IconViewOptions{});
  deskplay::testing::writeFile(dir / "broken.plist", "not a plist");
  EXPECT_EQ(readDesktopIconViewOptions(dir / "broken.plist"), IconViewOptions{});
  const auto file = writePreferences(dir, [](plist_t icons) {
    plist_dict_set_item(icons, "iconSize", plist_new_string("big"));
    plist_dict_set_item(icons, "arrangeBy", plist_new_string("sideways"));
    plist_dict_set_item(icons, "labelOnBottom", plist_new_string("yes"));
  });
  EXPECT_EQ(readDesktopIconViewOptions(file), IconViewOptions{});
}

TEST(IconViewOptionsTest, SizesAreClampedToWhatFinderAllows) {
  deskplay::testing::TempDir dir;
  const auto file = writePreferences(dir, [](plist_t icons) {
    plist_dict_set_item(icons, "iconSize", plist_new_real(4000.0));
    plist_dict_set_item(icons, "textSize", plist_new_uint(2));
  });
  const IconViewOptions options = readDesktopIconViewOptions(file);
  EXPECT_EQ(options.iconSize, 512);
  EXPECT_EQ(options.textSize, 10);
  EXPECT_EQ(clampIconSize(8), 16);
  EXPECT_EQ(clampIconSize(-5), 16);
}

TEST(IconViewOptionsTest, ArrangementNamesRoundTrip) {
  for (Arrangement arrangement :
       {Arrangement::notArranged, Arrangement::snapToGrid, Arrangement::byName,
        Arrangement::byKind, Arrangement::byDateModified, Arrangement::byDateCreated,
        Arrangement::bySize, Arrangement::byLabel}) {
    EXPECT_EQ(arrangementFromConstant(arrangementConstant(arrangement)), arrangement);
    EXPECT_EQ(arrangementFromPreference(arrangementPreference(arrangement)), arrangement);
  }
  EXPECT_EQ(arrangementFromPreference("grid"), Arrangement::snapToGrid);
  EXPECT_EQ(arrangementFromPreference("dateModified"), Arrangement::byDateModified);
  EXPECT_EQ(arrangementConstant(Arrangement::byDateModified), "arranged by modification date");
  EXPECT_FALSE(arrangementFromConstant("by magic"));
}

}  // namespace
}  // namespace deskplay::simdesk
