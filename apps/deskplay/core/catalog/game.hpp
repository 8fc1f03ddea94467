#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace deskplay::core {

// Library sections, in library order.
enum class GameSection { arcade, puzzles, tabletop, studio };
inline constexpr std::array<GameSection, 4> kAllGameSections = {
    GameSection::arcade, GameSection::puzzles, GameSection::tabletop, GameSection::studio};

// Which modes a game offers.
enum class LaunchMode { solo, soloOrMultiplayer, multiplayerOnly };

// The texts of the solo-or-online choice.
struct MultiplayerSpec {
  std::string tagline;
  std::optional<std::string> soloLabel;
  std::optional<std::string> soloTagline;

  friend bool operator==(const MultiplayerSpec&, const MultiplayerSpec&) = default;
};

// One line of key help. `id` is a fresh random UUID made at decoding, only so that lists can
// tell lines apart; it never comes from or goes to JSON.
struct ControlHint {
  std::string id;
  std::string keys;
  std::string action;

  friend bool operator==(const ControlHint&, const ControlHint&) = default;
};

// One catalog record: a game the application can start. Texts are UTF-8.
struct Game {
  // Library card artwork: background colours, a pixel-art glyph (one string per row, one
  // character per cell) and the glyph's colours by character.
  struct Card {
    std::vector<std::string> gradient;
    std::vector<std::string> glyph;
    std::optional<std::map<std::string, std::string>> palette;

    friend bool operator==(const Card&, const Card&) = default;
  };

  std::string id;
  std::string name;
  std::string entryFile;
  GameSection section = GameSection::arcade;
  LaunchMode launch = LaunchMode::solo;
  std::optional<std::int64_t> order;
  std::optional<MultiplayerSpec> multiplayer;
  std::vector<ControlHint> controls;
  Card card;
  // The game's folder in the packaged layout; set by the folder scan, never decoded.
  std::optional<std::filesystem::path> bundleURL;

  bool isMultiplayer() const { return launch != LaunchMode::solo; }

  friend bool operator==(const Game&, const Game&) = default;
};

}  // namespace deskplay::core
