#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "common/result.hpp"
#include "core/catalog/game.hpp"

namespace deskplay::core {

// Strict decoding of the catalog's JSON form. Keys are matched exactly and unknown ones are
// ignored; a missing required key, a wrong type or an unknown enumeration string rejects the
// record (and, in an array, the whole array). Optional keys may be absent or null. Nothing
// here throws: text the parser cannot read, a number beyond a double's range under an ignored
// key included, is a decoding failure like any other.

// One record from a JSON object (a game folder's "manifest.json").
Result<Game> decodeGame(std::string_view json);
// A catalog from a JSON array of records (the engine's catalog dump, the cached catalog).
Result<std::vector<Game>> decodeCatalog(std::string_view json);

// The JSON strings of the enumerations.
std::string_view jsonName(GameSection section);
std::string_view jsonName(LaunchMode launch);
std::optional<GameSection> gameSectionNamed(std::string_view name);
std::optional<LaunchMode> launchModeNamed(std::string_view name);

}  // namespace deskplay::core
