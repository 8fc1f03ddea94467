#pragma once

#include <vector>

#include "core/catalog/game.hpp"

class QCollator;

namespace deskplay::core {

// Catalog order, stable: section in library order, then `order` (absent counts as 0) from
// the smallest, then the name in ascending localised order under `collator`.
void sortCatalog(std::vector<Game>& games, const QCollator& collator);
// The same under the user's locale.
void sortCatalog(std::vector<Game>& games);

// The records of one section, in catalog order.
std::vector<Game> gamesInSection(const std::vector<Game>& catalog, GameSection section);

}  // namespace deskplay::core
