#include "ui/models/game_presentation.hpp"

#include <QString>
#include <QVariantList>

#include "ui/models/qt_text.hpp"

namespace deskplay::ui {

ModeChoiceTexts modeChoiceTexts(const core::Game& game) {
  ModeChoiceTexts texts{"Solo", "", "Multiplayer", "Two-player"};
  if (game.multiplayer) {
    if (game.multiplayer->soloLabel) texts.soloTitle = *game.multiplayer->soloLabel;
    if (game.multiplayer->soloTagline) texts.soloSubtitle = *game.multiplayer->soloTagline;
    texts.multiplayerSubtitle = game.multiplayer->tagline;
  }
  return texts;
}

QColor qtColor(const core::CardColor& color) {
  return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                          static_cast<float>(color.blue), static_cast<float>(color.opacity));
}

QVariantMap gamePresentation(const core::Game& game) {
  QVariantList gradient;
  for (const core::CardColor& color : core::gradientColors(game)) gradient.append(qtColor(color));
  QVariantList glyph;
  for (const auto& row : core::glyphCells(game)) {
    QVariantList cells;
    for (const auto& cell : row) cells.append(cell ? qtColor(*cell) : QColor(Qt::transparent));
    glyph.append(QVariant(cells));
  }
  QVariantList controls;
  for (const core::ControlHint& hint : game.controls) {
    controls.append(QVariantMap{{"keys", qtText(hint.keys)}, {"action", qtText(hint.action)}});
  }
  const ModeChoiceTexts texts = modeChoiceTexts(game);
  return {
      {"id", qtText(game.id)},
      {"name", qtText(game.name)},
      {"gradient", gradient},
      {"glyph", glyph},
      {"wideGlyph", core::isWideGlyph(game)},
      {"multiplayer", game.isMultiplayer()},
      {"fourPlayers", game.launch == core::LaunchMode::multiplayerOnly},
      {"soloTitle", qtText(texts.soloTitle)},
      {"soloSubtitle", qtText(texts.soloSubtitle)},
      {"multiplayerTitle", qtText(texts.multiplayerTitle)},
      {"multiplayerSubtitle", qtText(texts.multiplayerSubtitle)},
      {"controls", controls},
  };
}

}  // namespace deskplay::ui
