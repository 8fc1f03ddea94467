#include "ui/models/library_model.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

using testing::MenuTestStores;
using testing::TestGame;

QStringList captions(const QVariantList& sections) {
  QStringList captions;
  for (const QVariant& section : sections) captions << section.toMap()["caption"].toString();
  return captions;
}

QStringList gameNames(const QVariant& section) {
  QStringList names;
  for (const QVariant& game : section.toMap()["games"].toList()) {
    names << game.toMap()["name"].toString();
  }
  return names;
}

TEST(LibraryModel, ShowsSectionsWithGamesInLibraryOrder) {
  MenuTestStores stores;
  stores.addGame(TestGame("chess", "Chess").in("tabletop"));
  stores.addGame(TestGame("snake", "Snake").at(2));
  stores.addGame(TestGame("pong", "Pong").at(1));
  stores.addGame(TestGame("paint", "Paint").in("studio"));
  LibraryModel library(stores.host.keyTap, stores.catalog);
  QSignalSpy changes(&library, &LibraryModel::catalogChanged);
  stores.refreshCatalog();

  EXPECT_GE(changes.count(), 1);
  const QVariantList sections = library.sections();
  EXPECT_EQ(captions(sections), (QStringList{"ARCADE", "TABLETOP", "STUDIO"}));
  EXPECT_EQ(gameNames(sections[0]), (QStringList{"Pong", "Snake"}));
  EXPECT_EQ(library.refreshError(), "");
}

TEST(LibraryModel, AnEmptyCatalogShowsItsErrorAsCritical) {
  MenuTestStores stores;
  LibraryModel library(stores.host.keyTap, stores.catalog);
  stores.refreshCatalog();

  EXPECT_TRUE(library.sections().isEmpty());
  EXPECT_FALSE(library.refreshError().isEmpty());
  EXPECT_EQ(library.refreshError().toStdString(), stores.catalog.refreshError().value_or(""));
  EXPECT_TRUE(library.refreshErrorIsCritical());

  stores.addGame(TestGame("snake", "Snake"));
  stores.refreshCatalog();
  EXPECT_FALSE(library.refreshErrorIsCritical());
}

TEST(LibraryModel, TheBannerFollowsKeyboardControlAndPromptsForIt) {
  MenuTestStores stores;
  LibraryModel library(stores.host.keyTap, stores.catalog);
  QSignalSpy banner(&library, &LibraryModel::permissionNeededChanged);
  EXPECT_FALSE(library.permissionNeeded());

  stores.setTrusted(false);
  EXPECT_TRUE(library.permissionNeeded());
  EXPECT_EQ(banner.count(), 1);

  const int prompts = stores.host.accessibility.prompts();
  library.promptForPermission();
  EXPECT_EQ(stores.host.accessibility.prompts(), prompts + 1);
}

}  // namespace
}  // namespace deskplay::ui
