#pragma once

#include <QColor>
#include <QVariantMap>
#include <string>

#include "core/catalog/card_art.hpp"
#include "core/catalog/game.hpp"

namespace deskplay::ui {

// The texts of the solo-or-multiplayer choice for one game.
struct ModeChoiceTexts {
  std::string soloTitle;
  std::string soloSubtitle;
  std::string multiplayerTitle;
  std::string multiplayerSubtitle;

  friend bool operator==(const ModeChoiceTexts&, const ModeChoiceTexts&) = default;
};

ModeChoiceTexts modeChoiceTexts(const core::Game& game);

QColor qtColor(const core::CardColor& color);

// What the screens show of a game, as QML reads it: "id", "name", "gradient" (colours),
// "glyph" (rows of colours; transparent where a cell has none), "wideGlyph", "multiplayer",
// "fourPlayers" (an online-only game is played by four), the mode choice's texts
// ("soloTitle", "soloSubtitle", "multiplayerTitle", "multiplayerSubtitle") and "controls"
// (objects with "keys" and "action").
QVariantMap gamePresentation(const core::Game& game);

}  // namespace deskplay::ui
