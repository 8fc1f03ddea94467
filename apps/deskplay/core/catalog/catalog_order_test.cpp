#include "core/catalog/catalog_order.hpp"

#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <string>
#include <vector>

namespace deskplay::core {
namespace {

Game game(std::string id, GameSection section, std::optional<std::int64_t> order,
          std::string name) {
  Game g;
  g.id = std::move(id);
  g.section = section;
  g.order = order;
  g.name = std::move(name);
  return g;
}

std::vector<std::string> ids(const std::vector<Game>& games) {
  std::vector<std::string> result;
  for (const Game& g : games) result.push_back(g.id);
  return result;
}

QCollator collatorFor(const char* locale) {
  return QCollator(QLocale(QString::fromLatin1(locale)));
}

TEST(CatalogOrderTest, SectionThenOrderThenName) {
  std::vector<Game> games = {
      game("studio", GameSection::studio, -100, "A"),
      game("tabletop", GameSection::tabletop, std::nullopt, "A"),
      game("arcade-late", GameSection::arcade, 1, "A"),
      game("arcade-b", GameSection::arcade, std::nullopt, "B"),
      game("arcade-first", GameSection::arcade, -1, "Z"),
      game("arcade-a", GameSection::arcade, 0, "A"),
      game("puzzles", GameSection::puzzles, 50, "A"),
  };
  sortCatalog(games, collatorFor("en_US"));
  EXPECT_EQ(ids(games), (std::vector<std::string>{"arcade-first", "arcade-a", "arcade-b",
                                                  "arcade-late", "puzzles", "tabletop", "studio"}));
}

TEST(CatalogOrderTest, NamesCompareUnderTheLocale) {
  std::vector<Game> games = {
      game("zebra", GameSection::arcade, {}, "Zebra"),
      game("apple-upper", GameSection::arcade, {}, "Banana"),
      game("apple", GameSection::arcade, {}, "apple"),
      game("aerta", GameSection::arcade, {}, "Ärta"),
  };
  std::vector<Game> english = games;
  sortCatalog(english, collatorFor("en_US"));
  // Not byte order, which would put "Banana" and "Zebra" before "apple".
  EXPECT_EQ(ids(english), (std::vector<std::string>{"apple", "aerta", "apple-upper", "zebra"}));
  std::vector<Game> swedish = games;
  sortCatalog(swedish, collatorFor("sv_SE"));
  EXPECT_EQ(ids(swedish), (std::vector<std::string>{"apple", "apple-upper", "zebra", "aerta"}));
}

TEST(CatalogOrderTest, EqualRanksKeepTheirOrder) {
  std::vector<Game> games = {
      game("second", GameSection::puzzles, 0, "Same"),
      game("first-b", GameSection::arcade, std::nullopt, "Same"),
      game("first-a", GameSection::arcade, 0, "Same"),
      game("third", GameSection::puzzles, std::nullopt, "Same"),
  };
  sortCatalog(games, collatorFor("en_US"));
  EXPECT_EQ(ids(games), (std::vector<std::string>{"first-b", "first-a", "second", "third"}));
}

TEST(CatalogOrderTest, ExtremeOrdersDoNotOverflow) {
  std::vector<Game> games = {
      game("max", GameSection::arcade, INT64_MAX, "A"),
      game("min", GameSection::arcade, INT64_MIN, "A"),
      game("none", GameSection::arcade, std::nullopt, "A"),
  };
  sortCatalog(games);
  EXPECT_EQ(ids(games), (std::vector<std::string>{"min", "none", "max"}));
}

TEST(CatalogOrderTest, GroupingKeepsCatalogOrderWithoutResorting) {
  const std::vector<Game> catalog = {
      game("p2", GameSection::puzzles, 5, "B"),
      game("a1", GameSection::arcade, 0, "A"),
      game("p1", GameSection::puzzles, 0, "A"),
  };
  EXPECT_EQ(ids(gamesInSection(catalog, GameSection::puzzles)),
            (std::vector<std::string>{"p2", "p1"}));
  EXPECT_EQ(ids(gamesInSection(catalog, GameSection::arcade)), (std::vector<std::string>{"a1"}));
  EXPECT_TRUE(gamesInSection(catalog, GameSection::studio).empty());
}

}  // namespace
}  // namespace deskplay::core
