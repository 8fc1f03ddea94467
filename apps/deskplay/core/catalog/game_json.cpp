#include "core/catalog/game_json.hpp"

#include <QString>
#include <QUuid>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

namespace deskplay::core {

namespace {

using Json = nlohmann::json;

// A decoding failure names where in the document it happened, such as
// `[2].card.gradient[0]: expected a string`.
Error failure(const std::string& where, const std::string& what) {
  return Error{(where.empty() ? std::string("document") : where) + ": " + what};
}

std::string member(const std::string& where, const char* key) {
  return where.empty() ? std::string(key) : where + "." + key;
}

std::string element(const std::string& where, size_t index) {
  return where + "[" + std::to_string(index) + "]";
}

// The value under `key`, or nothing when absent or null (both mean "not given").
const Json* given(const Json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return nullptr;
  return &*found;
}

Result<std::string> decodeString(const Json& value, const std::string& where) {
  if (!value.is_string()) return failure(where, "expected a string");
  return value.get<std::string>();
}

// Integers, and numbers written with a fraction or exponent that are still whole and fit.
Result<std::int64_t> decodeInteger(const Json& value, const std::string& where) {
  if (value.is_number_integer() && !value.is_number_unsigned()) return value.get<std::int64_t>();
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      return static_cast<std::int64_t>(number);
    }
    return failure(where, "number does not fit a 64-bit integer");
  }
  if (value.is_number_float()) {
    const double number = value.get<double>();
    // 2^63 itself is out of range; every double below it converts exactly.
    constexpr double kLimit = 9223372036854775808.0;
    if (std::isfinite(number) && std::trunc(number) == number && number >= -kLimit &&
        number < kLimit) {
      return static_cast<std::int64_t>(number);
    }
    return failure(where, "number is not a 64-bit integer");
  }
  return failure(where, "expected an integer");
}

Result<std::string> requiredString(const Json& object, const char* key, const std::string& where) {
  const auto found = object.find(key);
  if (found == object.end()) return failure(where, std::string("missing key \"") + key + "\"");
  return decodeString(*found, member(where, key));
}

Result<std::optional<std::string>> optionalString(const Json& object, const char* key,
                                                  const std::string& where) {
  const Json* value = given(object, key);
  if (value == nullptr) return std::optional<std::string>();
  auto text = decodeString(*value, member(where, key));
  if (!text.ok()) return text.error();
  return std::optional<std::string>(std::move(text).value());
}

Result<const Json*> requiredValue(const Json& object, const char* key, const std::string& where) {
  const auto found = object.find(key);
  if (found == object.end()) return failure(where, std::string("missing key \"") + key + "\"");
  return &*found;
}

Result<std::vector<std::string>> decodeStrings(const Json& value, const std::string& where) {
  if (!value.is_array()) return failure(where, "expected an array");
  std::vector<std::string> strings;
  strings.reserve(value.size());
  for (size_t index = 0; index < value.size(); ++index) {
    auto text = decodeString(value[index], element(where, index));
    if (!text.ok()) return text.error();
    strings.push_back(std::move(text).value());
  }
  return strings;
}

Result<MultiplayerSpec> decodeMultiplayer(const Json& value, const std::string& where) {
  if (!value.is_object()) return failure(where, "expected an object");
  MultiplayerSpec spec;
  auto tagline = requiredString(value, "tagline", where);
  if (!tagline.ok()) return tagline.error();
  spec.tagline = std::move(tagline).value();
  auto soloLabel = optionalString(value, "soloLabel", where);
  if (!soloLabel.ok()) return soloLabel.error();
  spec.soloLabel = std::move(soloLabel).value();
  auto soloTagline = optionalString(value, "soloTagline", where);
  if (!soloTagline.ok()) return soloTagline.error();
  spec.soloTagline = std::move(soloTagline).value();
  return spec;
}

std::string freshHintId() {
  return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

// A hint is the array [keys, action]; elements after the second are not read at all.
Result<ControlHint> decodeControlHint(const Json& value, const std::string& where) {
  if (!value.is_array()) return failure(where, "expected an array");
  if (value.size() < 2) return failure(where, "expected two strings, keys and action");
  auto keys = decodeString(value[0], element(where, 0));
  if (!keys.ok()) return keys.error();
  auto action = decodeString(value[1], element(where, 1));
  if (!action.ok()) return action.error();
  return ControlHint{freshHintId(), std::move(keys).value(), std::move(action).value()};
}

Result<std::vector<ControlHint>> decodeControls(const Json& value, const std::string& where) {
  if (!value.is_array()) return failure(where, "expected an array");
  std::vector<ControlHint> hints;
  hints.reserve(value.size());
  for (size_t index = 0; index < value.size(); ++index) {
    auto hint = decodeControlHint(value[index], element(where, index));
    if (!hint.ok()) return hint.error();
    hints.push_back(std::move(hint).value());
  }
  return hints;
}

Result<std::map<std::string, std::string>> decodePalette(const Json& value,
                                                         const std::string& where) {
  if (!value.is_object()) return failure(where, "expected an object");
  std::map<std::string, std::string> palette;
  for (const auto& [key, colour] : value.items()) {
    auto text = decodeString(colour, member(where, key.c_str()));
    if (!text.ok()) return text.error();
    palette.emplace(key, std::move(text).value());
  }
  return palette;
}

Result<Game::Card> decodeCard(const Json& value, const std::string& where) {
  if (!value.is_object()) return failure(where, "expected an object");
  Game::Card card;
  auto gradient = requiredValue(value, "gradient", where);
  if (!gradient.ok()) return gradient.error();
  auto gradientStrings = decodeStrings(*gradient.value(), member(where, "gradient"));
  if (!gradientStrings.ok()) return gradientStrings.error();
  card.gradient = std::move(gradientStrings).value();

  auto glyph = requiredValue(value, "glyph", where);
  if (!glyph.ok()) return glyph.error();
  auto glyphRows = decodeStrings(*glyph.value(), member(where, "glyph"));
  if (!glyphRows.ok()) return glyphRows.error();
  card.glyph = std::move(glyphRows).value();

  if (const Json* palette = given(value, "palette")) {
    auto colours = decodePalette(*palette, member(where, "palette"));
    if (!colours.ok()) return colours.error();
    card.palette = std::move(colours).value();
  }
  return card;
}

template <class Enumeration>
Result<Enumeration> decodeEnumeration(const Json& object, const char* key, const std::string& where,
                                      std::optional<Enumeration> (*named)(std::string_view)) {
  auto text = requiredString(object, key, where);
  if (!text.ok()) return text.error();
  if (const auto value = named(text.value())) return *value;
  return failure(member(where, key), "unknown value \"" + text.value() + "\"");
}

Result<Game> decodeGameObject(const Json& value, const std::string& where) {
  if (!value.is_object()) return failure(where, "expected an object");
  Game game;
  for (auto [key, field] : {std::pair{"id", &game.id}, std::pair{"name", &game.name},
                            std::pair{"entryFile", &game.entryFile}}) {
    auto text = requiredString(value, key, where);
    if (!text.ok()) return text.error();
    *field = std::move(text).value();
  }
  auto section = decodeEnumeration(value, "section", where, &gameSectionNamed);
  if (!section.ok()) return section.error();
  game.section = section.value();
  auto launch = decodeEnumeration(value, "launch", where, &launchModeNamed);
  if (!launch.ok()) return launch.error();
  game.launch = launch.value();

  if (const Json* order = given(value, "order")) {
    auto number = decodeInteger(*order, member(where, "order"));
    if (!number.ok()) return number.error();
    game.order = number.value();
  }
  if (const Json* multiplayer = given(value, "multiplayer")) {
    auto spec = decodeMultiplayer(*multiplayer, member(where, "multiplayer"));
    if (!spec.ok()) return spec.error();
    game.multiplayer = std::move(spec).value();
  }

  auto controls = requiredValue(value, "controls", where);
  if (!controls.ok()) return controls.error();
  auto hints = decodeControls(*controls.value(), member(where, "controls"));
  if (!hints.ok()) return hints.error();
  game.controls = std::move(hints).value();

  auto card = requiredValue(value, "card", where);
  if (!card.ok()) return card.error();
  auto artwork = decodeCard(*card.value(), member(where, "card"));
  if (!artwork.ok()) return artwork.error();
  game.card = std::move(artwork).value();
  return game;
}

Result<Json> parse(std::string_view json) {
  // The parser stops at a NUL byte as at the end of the text and would accept what came
  // before it; no JSON text holds one.
  if (const auto nul = json.find('\0'); nul != json.npos) {
    return Error{"syntax error: a NUL byte at offset " + std::to_string(nul)};
  }
  // The parser reports what it cannot read only by exception: syntax errors, and numbers
  // beyond a double's range (1e400) even under keys nobody reads. They all stop here.
  try {
    return Json::parse(json.begin(), json.end());
  } catch (const Json::exception& error) {
    std::string message = error.what();
    // Drop the library's "[json.exception.parse_error.101] " prefix.
    if (const auto end = message.find("] "); message.starts_with("[json.") && end != message.npos) {
      message.erase(0, end + 2);
    }
    return Error{message};
  }
}

}  // namespace

Result<Game> decodeGame(std::string_view json) {
  auto document = parse(json);
  if (!document.ok()) return document.error();
  return decodeGameObject(document.value(), "");
}

Result<std::vector<Game>> decodeCatalog(std::string_view json) {
  auto document = parse(json);
  if (!document.ok()) return document.error();
  const Json& records = document.value();
  if (!records.is_array()) return failure("", "expected an array of games");
  std::vector<Game> games;
  games.reserve(records.size());
  for (size_t index = 0; index < records.size(); ++index) {
    auto game = decodeGameObject(records[index], element("", index));
    if (!game.ok()) return game.error();
    games.push_back(std::move(game).value());
  }
  return games;
}

std::string_view jsonName(GameSection section) {
  switch (section) {
    case GameSection::arcade:
      return "arcade";
    case GameSection::puzzles:
      return "puzzles";
    case GameSection::tabletop:
      return "tabletop";
    case GameSection::studio:
      return "studio";
  }
  return "arcade";
}

std::string_view jsonName(LaunchMode launch) {
  switch (launch) {
    case LaunchMode::solo:
      return "solo";
    case LaunchMode::soloOrMultiplayer:
      return "soloOrMultiplayer";
    case LaunchMode::multiplayerOnly:
      return "multiplayerOnly";
  }
  return "solo";
}

std::optional<GameSection> gameSectionNamed(std::string_view name) {
  for (const GameSection section : kAllGameSections) {
    if (jsonName(section) == name) return section;
  }
  return std::nullopt;
}

std::optional<LaunchMode> launchModeNamed(std::string_view name) {
  for (const LaunchMode launch :
       {LaunchMode::solo, LaunchMode::soloOrMultiplayer, LaunchMode::multiplayerOnly}) {
    if (jsonName(launch) == name) return launch;
  }
  return std::nullopt;
}

}  // namespace deskplay::core
