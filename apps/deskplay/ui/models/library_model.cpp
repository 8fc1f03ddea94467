#include "ui/models/library_model.hpp"

#include "ui/models/game_presentation.hpp"
#include "ui/models/hover_spring.hpp"

namespace deskplay::ui {

QString sectionCaption(core::GameSection section) {
  switch (section) {
    case core::GameSection::arcade:
      return QStringLiteral("ARCADE");
    case core::GameSection::puzzles:
      return QStringLiteral("PUZZLES");
    case core::GameSection::tabletop:
      return QStringLiteral("TABLETOP");
    case core::GameSection::studio:
      return QStringLiteral("STUDIO");
  }
  return {};
}

LibraryModel::LibraryModel(core::KeyTap& tap, core::CatalogStore& catalog, QObject* parent)
    : QObject(parent), tap_(tap), catalog_(catalog) {
  connect(&tap_, &core::KeyTap::trustedChanged, this, &LibraryModel::permissionNeededChanged);
  connect(&catalog_, &core::CatalogStore::gamesChanged, this, &LibraryModel::catalogChanged);
  connect(&catalog_, &core::CatalogStore::refreshErrorChanged, this, &LibraryModel::catalogChanged);
}

QVariantList LibraryModel::sections() const {
  QVariantList sections;
  for (const core::GameSection section : core::kAllGameSections) {
    QVariantList games;
    for (const core::Game& game : catalog_.games(section)) games.append(gamePresentation(game));
    if (games.isEmpty()) continue;
    sections.append(QVariantMap{{"caption", sectionCaption(section)}, {"games", games}});
  }
  return sections;
}

QString LibraryModel::refreshError() const {
  return QString::fromStdString(catalog_.refreshError().value_or(""));
}

double LibraryModel::hoverScale() const {
  return kHoverScale;
}

double LibraryModel::hoverSpring() const {
  return springAnimationParameters(kHoverResponse, kHoverDampingFraction).spring;
}

double LibraryModel::hoverDamping() const {
  return springAnimationParameters(kHoverResponse, kHoverDampingFraction).damping;
}

void LibraryModel::promptForPermission() {
  tap_.promptForPermission();
}

}  // namespace deskplay::ui
