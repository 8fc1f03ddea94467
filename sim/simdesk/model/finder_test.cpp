#include "sim/simdesk/model/finder.hpp"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <chrono>

#include "common/extended_attributes.hpp"
#include "platform/finder_info.hpp"
#include "platform/linux/file_icons.hpp"
#include "plist_files/plist_file.hpp"
#include "sim/simdesk/model/desktop_fixture.hpp"
#include "sim/simdesk/model/finder_metadata.hpp"

namespace deskplay::simdesk {
namespace {

namespace fs = std::filesystem;
using platform::Point;
using testing::DesktopFixture;

std::vector<std::string> itemNames(Finder& finder) {
  std::vector<std::string> names;
  for (const auto& [id, item] : finder.items()) names.push_back(item.name);
  std::sort(names.begin(), names.end());
  return names;
}

void writeIconPreferences(const fs::path& home, int iconSize, const std::string& arrangeBy) {
  plist::PlistNode root(plist_new_dict());
  plist_t desktop = plist_new_dict();
  plist_t icons = plist_new_dict();
  plist_dict_set_item(icons, "iconSize", plist_new_real(iconSize));
  plist_dict_set_item(icons, "arrangeBy", plist_new_string(arrangeBy.c_str()));
  plist_dict_set_item(desktop, "IconViewSettings", icons);
  plist_dict_set_item(root.get(), "DesktopViewSettings", desktop);
  fs::create_directories(finderPreferencesFile(home).parent_path());
  ASSERT_TRUE(
      plist::writePlistFile(finderPreferencesFile(home), root.get(), plist::PlistFormat::xml).ok());
}

class FinderTest : public DesktopFixture {};

TEST_F(FinderTest, ItemsAreTheVisibleEntriesOfTheDesktopFolder) {
  addFile("a.txt");
  addFolder("Projects");
  addFile(".DS_Store");
  addFile(".hidden");
  EXPECT_EQ(itemNames(finder()), (std::vector<std::string>{"Projects", "a.txt"}));
  EXPECT_TRUE(item("Projects").isFolder());
  EXPECT_EQ(item("a.txt").path, onDesktop("a.txt"));

  addFile("b.txt");
  fs::remove(onDesktop("a.txt"));
  finder().refresh();
  EXPECT_EQ(itemNames(finder()), (std::vector<std::string>{"Projects", "b.txt"}));
}

TEST_F(FinderTest, ANoticeForOnePathUpdatesThatItemOnly) {
  addFile("a.txt");
  finder();
  addFile("new.txt");
  finder().noteFileSystemChanged(desktopFolder() / "elsewhere" / "x.txt");
  EXPECT_EQ(finder().itemNamed("new.txt"), nullptr);
  finder().noteFileSystemChanged(onDesktop("new.txt"));
  EXPECT_NE(finder().itemNamed("new.txt"), nullptr);
  fs::remove(onDesktop("a.txt"));
  finder().noteFileSystemChanged(onDesktop("a.txt"));
  EXPECT_EQ(itemNames(finder()), (std::vector<std::string>{"new.txt"}));
}

TEST_F(FinderTest, TheWatchFollowsTheFolderWhileTheEventLoopRuns) {
  int argc = 1;
  char name[] = "finder_test";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  start(Finder::Watching::automatic);
  auto waitFor = [](auto condition) { return QTest::qWaitFor(condition, 5000); };
  addFile("appeared.txt");
  EXPECT_TRUE(waitFor([&] { return finder().itemNamed("appeared.txt") != nullptr; }));
  ASSERT_TRUE(platform::writeCustomIcon(onDesktop("appeared.txt"), "png bytes").ok());
  EXPECT_TRUE(waitFor([&] { return item("appeared.txt").customIconPng.has_value(); }));
  fs::rename(onDesktop("appeared.txt"), home() / "moved.txt");
  EXPECT_TRUE(waitFor([&] { return finder().items().empty(); }));

  // The Desktop folder itself going and coming back.
  fs::remove_all(desktopFolder());
  fs::create_directory(desktopFolder());
  addFile("again.txt");
  EXPECT_TRUE(waitFor([&] { return finder().itemNamed("again.txt") != nullptr; }));
}

TEST_F(FinderTest, NewItemsTakeTheFreeSlotsFromTheTopRight) {
  finder();
  for (const char* name : {"one", "two", "three"}) {
    addFile(name);
    finder().refresh();
  }
  const DesktopGrid& grid = finder().grid();
  EXPECT_EQ(item("one").position, grid.slotCentre(0));
  EXPECT_EQ(item("two").position, grid.slotCentre(1));
  EXPECT_EQ(item("three").position, grid.slotCentre(2));

  // A moved item frees its slot; the next new one fills it.
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("one"), {300, 400}).ok());
  addFile("four");
  finder().refresh();
  EXPECT_EQ(item("four").position, grid.slotCentre(0));
  EXPECT_EQ(item("one").position, (Point{300, 400}));
}

TEST_F(FinderTest, AColumnFullOfIconsContinuesInTheNextColumnLeft) {
  finder();
  const std::size_t rows = finder().grid().rows();
  for (std::size_t i = 0; i <= rows; ++i) addFile("f" + std::to_string(i + 100));
  finder().refresh();
  const DesktopGrid& grid = finder().grid();
  // Names sort, so the one-past-a-column item is the last.
  EXPECT_EQ(item("f" + std::to_string(rows + 100)).position, grid.slotCentre(rows));
  EXPECT_LT(grid.slotCentre(rows).x, grid.slotCentre(0).x);
}

TEST_F(FinderTest, PositionsSurviveRelaunchesAndANewSimdesk) {
  addFile("keep.txt");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("keep.txt"), {321, 456}).ok());
  relaunchFinder();
  EXPECT_EQ(item("keep.txt").position, (Point{321, 456}));
  restart();
  EXPECT_EQ(item("keep.txt").position, (Point{321, 456}));
  // The state lives outside the Desktop folder.
  EXPECT_EQ(itemNames(finder()), (std::vector<std::string>{"keep.txt"}));
  EXPECT_TRUE(fs::exists(home() / "Library/Application Support/simdesk/desktop-positions.json"));
}

TEST_F(FinderTest, AnItemThatLeavesAndComesBackReturnsToItsPlace) {
  addFile("tile");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("tile"), {200, 200}).ok());
  fs::rename(onDesktop("tile"), home() / "tile");
  finder().refresh();
  addFile("other");
  finder().refresh();
  fs::rename(home() / "tile", onDesktop("tile"));
  finder().refresh();
  EXPECT_EQ(item("tile").position, (Point{200, 200}));
}

TEST_F(FinderTest, ARenamedItemKeepsItsPlace) {
  addFile("before");
  addFile("other");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("before"), {250, 350}).ok());
  fs::rename(onDesktop("before"), onDesktop("after"));
  finder().refresh();
  EXPECT_EQ(item("after").position, (Point{250, 350}));
  // A new file under the old name is a new item, placed anew.
  addFile("before");
  finder().refresh();
  EXPECT_NE(item("before").position, (Point{250, 350}));
}

TEST_F(FinderTest, QuitMakesFinderUnavailableUntilTheLaunchCompletes) {
  addFile("a");
  const auto firstPid = finder().pid();
  ASSERT_TRUE(finder().quit(AfterQuit::stayQuit).ok());
  EXPECT_EQ(finder().state(), FinderState::notRunning);
  EXPECT_FALSE(finder().quit(AfterQuit::stayQuit).ok());
  EXPECT_TRUE(finder().items().empty());
  EXPECT_EQ(desktop().applications().byName("Finder"), nullptr);
  EXPECT_FALSE(finder().setDesktopPosition(onDesktop("a"), {1, 1}).ok());

  finder().launch();
  EXPECT_EQ(finder().state(), FinderState::launching);
  clock_.advance(Finder::kLaunchTime / 2);
  EXPECT_EQ(finder().state(), FinderState::launching);
  clock_.advance(Finder::kLaunchTime / 2);
  EXPECT_EQ(finder().state(), FinderState::running);
  EXPECT_NE(finder().pid(), firstPid);
  EXPECT_EQ(desktop().applications().frontmostApplication()->localizedName, "Finder");
  EXPECT_EQ(itemNames(finder()), (std::vector<std::string>{"a"}));
}

TEST_F(FinderTest, KilledFinderComesBackByItself) {
  ASSERT_TRUE(finder().quit(AfterQuit::relaunch).ok());
  EXPECT_EQ(finder().state(), FinderState::launching);
  EXPECT_EQ(finder().timeToNextTransition(), Finder::kLaunchTime);
  clock_.advance(Finder::kLaunchTime);
  EXPECT_TRUE(finder().isRunning());
  EXPECT_EQ(finder().launchCount(), 2);
}

TEST_F(FinderTest, PreferencesTakeEffectOnlyWhenFinderStarts) {
  writeIconPreferences(home(), 48, "name");
  EXPECT_EQ(finder().iconViewOptions().iconSize, 48);
  writeIconPreferences(home(), 128, "kind");
  finder().refresh();
  EXPECT_EQ(finder().iconViewOptions().iconSize, 48);
  EXPECT_EQ(finder().iconViewOptions().arrangement, Arrangement::byName);
  relaunchFinder();
  EXPECT_EQ(finder().iconViewOptions().iconSize, 128);
  EXPECT_EQ(finder().iconViewOptions().arrangement, Arrangement::byKind);
}

TEST_F(FinderTest, ScriptedOptionsApplyAtOnceAndLastUntilRelaunch) {
  finder().setIconSize(72);
  finder().setTextSize(15);
  finder().setLabelPosition(LabelPosition::right);
  finder().setShowsItemInfo(true);
  EXPECT_EQ(finder().iconViewOptions().iconSize, 72);
  EXPECT_EQ(finder().iconViewOptions().textSize, 15);
  finder().setIconSize(9000);
  EXPECT_EQ(finder().iconViewOptions().iconSize, 512);
  relaunchFinder();
  EXPECT_EQ(finder().iconViewOptions(), IconViewOptions{});
}

TEST_F(FinderTest, NotArrangedKeepsExactPositionsAndSnapToGridSnaps) {
  addFile("a");
  addFile("b");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("a"), {500.5, 333.25}).ok());
  EXPECT_EQ(item("a").position, (Point{500.5, 333.25}));

  finder().setArrangement(Arrangement::snapToGrid);
  const DesktopGrid& grid = finder().grid();
  EXPECT_EQ(item("a").position, grid.slotCentre(grid.nearestSlot({500.5, 333.25})));

  // Onto b's slot: a takes the nearest free one instead.
  const Point bSlot = item("b").position;
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("a"), {bSlot.x + 3, bSlot.y - 2}).ok());
  EXPECT_NE(item("a").position, bSlot);
  EXPECT_EQ(item("b").position, bSlot);
  EXPECT_GE(grid.exactSlot(item("a").position), 0);
}

struct ArrangedCase {
  Arrangement arrangement;
  std::vector<std::string> order;
};

TEST_F(FinderTest, ArrangementsLayItemsOutInOrder) {
  // name, size in bytes, label index, seconds of age
  addFile("b.txt", std::string(300, 'x'));
  addFile("Item 10.png", std::string(10, 'x'));
  addFile("Item 9.png", std::string(2000, 'x'));
  addFolder("zeta");
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(onDesktop("b.txt"), now - std::chrono::hours(3));
  fs::last_write_time(onDesktop("Item 10.png"), now - std::chrono::hours(1));
  fs::last_write_time(onDesktop("Item 9.png"), now - std::chrono::hours(2));
  fs::last_write_time(onDesktop("zeta"), now - std::chrono::hours(4));
  ASSERT_TRUE(finder().setLabelIndex(onDesktop("b.txt"), 2).ok());
  ASSERT_TRUE(finder().setLabelIndex(onDesktop("zeta"), 1).ok());

  const ArrangedCase cases[] = {
      {Arrangement::byName, {"b.txt", "Item 9.png", "Item 10.png", "zeta"}},
      {Arrangement::byKind, {"zeta", "Item 9.png", "Item 10.png", "b.txt"}},
      {Arrangement::byDateModified, {"Item 10.png", "Item 9.png", "b.txt", "zeta"}},
      {Arrangement::bySize, {"Item 9.png", "b.txt", "Item 10.png", "zeta"}},
      {Arrangement::byLabel, {"zeta", "b.txt", "Item 9.png", "Item 10.png"}},
  };
  for (const ArrangedCase& c : cases) {
    finder().setArrangement(c.arrangement);
    for (std::size_t slot = 0; slot < c.order.size(); ++slot) {
      EXPECT_EQ(item(c.order[slot]).position, finder().grid().slotCentre(slot))
          << arrangementConstant(c.arrangement) << " " << c.order[slot];
    }
  }
  // An arranged desktop keeps its order against moves.
  const Point before = item("zeta").position;
  EXPECT_TRUE(finder().setDesktopPosition(onDesktop("zeta"), {10, 500}).ok());
  EXPECT_EQ(item("zeta").position, before);
  // New items join the order.
  finder().setArrangement(Arrangement::byName);
  addFile("a first");
  finder().refresh();
  EXPECT_EQ(item("a first").position, finder().grid().slotCentre(0));
}

TEST_F(FinderTest, MetadataComesFromTheFilesAttributes) {
  addFile("pic.png");
  ASSERT_TRUE(platform::writeCustomIcon(onDesktop("pic.png"), "PNGDATA").ok());
  ASSERT_TRUE(platform::setFinderFlag(onDesktop("pic.png"), platform::FinderInfo::kExtensionHidden,
                                      true)
                  .ok());
  ASSERT_TRUE(writeComment(onDesktop("pic.png"), "sprite 3").ok());
  ASSERT_TRUE(writeLabelIndex(onDesktop("pic.png"), 4).ok());
  const DesktopItem& pic = item("pic.png");
  EXPECT_EQ(pic.customIconPng, "PNGDATA");
  EXPECT_TRUE(pic.extensionHidden);
  EXPECT_EQ(pic.displayName(), "pic");
  EXPECT_EQ(pic.comment, "sprite 3");
  EXPECT_EQ(pic.labelIndex, 4);
  // The custom icon and the extension flag share FinderInfo with the label.
  EXPECT_EQ(platform::readHasCustomIcon(onDesktop("pic.png")), true);
}

TEST_F(FinderTest, ScriptingWritesMetadataToTheFile) {
  addFile("a.txt");
  const fs::path outside = home() / "outside.txt";
  deskplay::testing::writeFile(outside, "x");
  for (int label = 0; label <= 7; ++label) {
    ASSERT_TRUE(finder().setLabelIndex(onDesktop("a.txt"), label).ok());
    EXPECT_EQ(readFinderMetadata(onDesktop("a.txt")).labelIndex, label);
    EXPECT_EQ(item("a.txt").labelIndex, label);
  }
  EXPECT_FALSE(finder().setLabelIndex(onDesktop("a.txt"), 8).ok());
  ASSERT_TRUE(finder().setComment(outside, "not on the desktop").ok());
  EXPECT_EQ(finder().commentOf(outside).value(), "not on the desktop");
  ASSERT_TRUE(finder().setExtensionHidden(onDesktop("a.txt"), true).ok());
  EXPECT_TRUE(finder().extensionHiddenOf(onDesktop("a.txt")).value());
  EXPECT_FALSE(finder().setComment(home() / "missing", "x").ok());
  EXPECT_FALSE(finder().labelIndexOf(home() / "missing").ok());
  EXPECT_FALSE(finder().setDesktopPosition(outside, {1, 1}).ok());
}

TEST_F(FinderTest, LabelIndexUsesFinderInfoColourBits) {
  // Label 1 (orange) is colour 7, label 7 (gray) colour 1, in bits 1–3 of the flags.
  EXPECT_EQ(finderFlagsWithLabel(0, 1), 0x000E);
  EXPECT_EQ(finderFlagsWithLabel(0, 7), 0x0002);
  EXPECT_EQ(finderFlagsWithLabel(0x0400, 0), 0x0400);
  EXPECT_EQ(labelIndexFromFinderFlags(0x040E), 1);
  EXPECT_EQ(labelIndexFromFinderFlags(0x0008), 4);
}

TEST_F(FinderTest, RevealOpensAWindowAndBringsFinderForward) {
  addFile("a.txt");
  const fs::path stash = home() / ".deskplay-stash";
  fs::create_directories(stash / "inside");
  desktop().applications().registerClient(77, "Deskplay");
  desktop().applications().activate(77);

  finder().reveal({stash});
  ASSERT_EQ(finder().windows().size(), 1u);
  EXPECT_EQ(finder().windows()[0].target, home());
  EXPECT_EQ(finder().windows()[0].selection, (std::vector<fs::path>{stash}));
  EXPECT_EQ(desktop().applications().frontmostApplication()->localizedName, "Finder");
  const auto list = desktop().windowServer().onScreenWindowList();
  EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](const platform::WindowInfo& info) {
    return info.ownerName == "Finder" && info.layer == 0;
  }));

  finder().openFolder(stash);
  EXPECT_EQ(finder().windows().size(), 2u);
  finder().closeAllWindows();
  EXPECT_TRUE(finder().windows().empty());

  finder().reveal({stash});
  relaunchFinder();
  EXPECT_TRUE(finder().windows().empty());
  EXPECT_TRUE(desktop().windowServer().onScreenOrder().empty());

  // Revealing while Finder is away launches it; the window opens once it is up.
  ASSERT_TRUE(finder().quit(AfterQuit::stayQuit).ok());
  finder().reveal({stash});
  EXPECT_EQ(finder().state(), FinderState::launching);
  clock_.advance(Finder::kLaunchTime);
  EXPECT_TRUE(finder().isRunning());
  ASSERT_EQ(finder().windows().size(), 1u);
  EXPECT_EQ(finder().windows()[0].selection, (std::vector<fs::path>{stash}));
}

TEST_F(FinderTest, GeometryOfIconsAndLabels) {
  addFile("name.txt");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("name.txt"), {400, 300}).ok());
  const DesktopItem& it = item("name.txt");
  EXPECT_EQ(finder().iconFrame(it), (platform::Rect{{368, 268}, {64, 64}}));
  const platform::Rect below = finder().labelFrame(it);
  EXPECT_EQ(below.origin.x + below.size.width / 2, 400);
  EXPECT_GT(below.minY(), 332);
  EXPECT_EQ(finder().itemAt({400, 300}), &it);
  EXPECT_EQ(finder().itemAt({400, below.minY() + 2}), &it);
  EXPECT_EQ(finder().itemAt({100, 100}), nullptr);

  finder().setLabelPosition(LabelPosition::right);
  const platform::Rect right = finder().labelFrame(it);
  EXPECT_GT(right.minX(), 432);
  EXPECT_EQ(finder().itemAt({right.minX() + 2, 300}), &it);
}

TEST_F(FinderTest, ArrangedLayoutFollowsTheScreen) {
  addFile("a");
  finder().setArrangement(Arrangement::byName);
  const Point before = item("a").position;
  desktop().screens().setSizes({platform::Size{1024, 768}});
  EXPECT_NE(item("a").position, before);
  EXPECT_EQ(item("a").position, finder().grid().slotCentre(0));
  EXPECT_LT(item("a").position.x, 1024);
}

TEST_F(FinderTest, NothingIsEverWrittenIntoTheDesktopFolder) {
  addFile("a.txt");
  addFolder("f");
  ASSERT_TRUE(finder().setDesktopPosition(onDesktop("a.txt"), {10, 10}).ok());
  finder().setArrangement(Arrangement::snapToGrid);
  relaunchFinder();
  stop();
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(desktopFolder())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "f"}));
}

}  // namespace
}  // namespace deskplay::simdesk
