#include "core/catalog/catalog_order.hpp"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <numeric>
#include <utility>

namespace deskplay::core {

void sortCatalog(std::vector<Game>& games, const QCollator& collator) {
  // Names are converted once, not at every comparison.
  std::vector<QString> names;
  names.reserve(games.size());
  for (const Game& game : games) names.push_back(QString::fromStdString(game.name));
  std::vector<size_t> positions(games.size());
  std::iota(positions.begin(), positions.end(), size_t{0});
  std::stable_sort(positions.begin(), positions.end(), [&](size_t left, size_t right) {
    const Game& a = games[left];
    const Game& b = games[right];
    if (a.section != b.section) return a.section < b.section;
    const std::int64_t orderA = a.order.value_or(0);
    const std::int64_t orderB = b.order.value_or(0);
    if (orderA != orderB) return orderA < orderB;
    return collator.compare(names[left], names[right]) < 0;
  });
  std::vector<Game> sorted;
  sorted.reserve(games.size());
  for (const size_t position : positions) sorted.push_back(std::move(games[position]));
  games = std::move(sorted);
}

void sortCatalog(std::vector<Game>& games) {
  sortCatalog(games, QCollator());
}

std::vector<Game> gamesInSection(const std::vector<Game>& catalog, GameSection section) {
  std::vector<Game> games;
  std::copy_if(catalog.begin(), catalog.end(), std::back_inserter(games),
               [section](const Game& game) { return game.section == section; });
  return games;
}

}  // namespace deskplay::core
