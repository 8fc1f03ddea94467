// Each input is what a game folder's manifest.json, a catalog dump or the cached catalog
// could hold. It goes through both decoders, and every record that decodes through what the
// library derives from it (card colours, glyph cells, catalog order), as the application
// would meet it.
//
// Besides what the sanitizers catch, an exception out of a decoder (which would end the
// application) is a crash, and so is a record that decodes alone but not as the one element
// of an array, or decodes differently there.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/card_art.hpp"
#include "core/catalog/catalog_order.hpp"
#include "core/catalog/game_json.hpp"

namespace deskplay::core {

namespace {

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "catalog_record_fuzzer: %s\n", message.c_str());
  std::abort();
}

// What the library computes from a record.
void derive(const Game& game) {
  static_cast<void>(gradientColors(game));
  static_cast<void>(glyphCells(game));
  static_cast<void>(isWideGlyph(game));
  for (const std::string& row : game.card.glyph) static_cast<void>(graphemeClusters(row));
}

// Hint ids are fresh at every decoding; everything else must match.
Game withoutHintIds(Game game) {
  for (ControlHint& hint : game.controls) hint.id.clear();
  return game;
}

void fuzz(std::string_view text) {
  const Result<Game> game = decodeGame(text);
  const Result<std::vector<Game>> catalog = decodeCatalog(text);

  if (game.ok()) {
    derive(game.value());
    // A byte order mark is taken only at the very start of a text.
    std::string_view record = text;
    if (record.starts_with("\xEF\xBB\xBF")) record.remove_prefix(3);
    const Result<std::vector<Game>> alone = decodeCatalog("[" + std::string(record) + "]");
    if (!alone.ok()) die("a record that decodes alone fails in an array: " + alone.message());
    if (alone.value().size() != 1 ||
        withoutHintIds(alone.value().front()) != withoutHintIds(game.value())) {
      die("a record decodes differently in an array");
    }
  } else if (game.message().empty()) {
    die("a record failed without saying why");
  }

  if (catalog.ok()) {
    std::vector<Game> games = catalog.value();
    for (const Game& each : games) derive(each);
    sortCatalog(games);
    for (const GameSection section : kAllGameSections) {
      static_cast<void>(gamesInSection(games, section));
    }
  } else if (catalog.message().empty()) {
    die("a catalog failed without saying why");
  }
}

}  // namespace

}  // namespace deskplay::core

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  deskplay::core::fuzz(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
