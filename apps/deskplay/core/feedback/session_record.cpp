#include "core/feedback/session_record.hpp"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

namespace deskplay::core {

namespace {

using nlohmann::json;

FeedbackError decodingError(const std::string& what) {
  return FeedbackError{FeedbackFailure::decodingFailed, "session record does not decode: " + what};
}

FeedbackError invalid(const std::string& why) {
  return FeedbackError{FeedbackFailure::invalidRecord, "invalid session record: " + why};
}

// Reads typed members of one JSON object; the first missing key or wrong type is kept and
// makes the whole object fail, as a decoder would.
class Members {
 public:
  Members(const json& object, std::string where) : object_(object), where_(std::move(where)) {}

  std::string text(const char* key) {
    const json* value = find(key, Presence::required);
    if (value == nullptr) return {};
    if (!value->is_string()) {
      fail(key, "is not a string");
      return {};
    }
    return value->get<std::string>();
  }

  std::optional<std::string> optionalText(const char* key) {
    const json* value = find(key, Presence::optional);
    if (value == nullptr) return std::nullopt;
    if (!value->is_string()) {
      fail(key, "is not a string");
      return std::nullopt;
    }
    return value->get<std::string>();
  }

  std::int64_t integer(const char* key) {
    const json* value = find(key, Presence::required);
    if (value == nullptr) return 0;
    if (value->is_number_unsigned()) {
      const auto number = value->get<std::uint64_t>();
      if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        fail(key, "does not fit an integer");
        return 0;
      }
      return static_cast<std::int64_t>(number);
    }
    if (!value->is_number_integer()) {
      fail(key, "is not an integer");
      return 0;
    }
    return value->get<std::int64_t>();
  }

  const json* array(const char* key) {
    const json* value = find(key, Presence::required);
    if (value == nullptr) return nullptr;
    if (!value->is_array()) {
      fail(key, "is not an array");
      return nullptr;
    }
    return value;
  }

  const std::optional<std::string>& problem() const { return problem_; }

 private:
  enum class Presence { required, optional };

  // A null counts as absent, as it does for a decoder's optional values.
  const json* find(const char* key, Presence presence) {
    if (problem_) return nullptr;
    const auto it = object_.find(key);
    if (it == object_.end() || it->is_null()) {
      if (presence == Presence::required) fail(key, "is missing");
      return nullptr;
    }
    return &*it;
  }

  void fail(const char* key, const char* what) {
    if (!problem_) problem_ = where_ + "\"" + key + "\" " + what;
  }

  const json& object_;
  std::string where_;
  std::optional<std::string> problem_;
};

bool isOneOf(std::string_view value, std::initializer_list<std::string_view> allowed) {
  return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

Result<SessionRecord, FeedbackError> decode(std::string_view bytes) {
  // The parser stops at a NUL byte as at the end of the text and would accept what came
  // before it; no JSON text holds one.
  if (bytes.find('\0') != std::string_view::npos) return decodingError("not JSON");
  // Without exceptions: whatever the parser cannot read, numbers beyond a double's range
  // included, comes back discarded.
  const json document = json::parse(bytes, nullptr, false);
  if (document.is_discarded()) return decodingError("not JSON");
  if (!document.is_object()) return decodingError("not a JSON object");

  Members members(document, "");
  SessionRecord record;
  record.version = members.integer("version");
  record.surface = members.optionalText("surface");
  record.session = members.text("session");
  record.desktop = members.text("desktop");
  record.phase = members.text("phase");
  const json* tiles = members.array("tiles");
  if (members.problem()) return decodingError(*members.problem());

  for (std::size_t i = 0; i < tiles->size(); ++i) {
    const json& item = (*tiles)[i];
    const std::string where = "tile " + std::to_string(i) + " ";
    if (!item.is_object()) return decodingError(where + "is not an object");
    Members fields(item, where);
    SessionTile tile;
    tile.path = fields.text("path");
    tile.phase = fields.text("phase");
    tile.index = fields.integer("index");
    tile.dev = fields.text("dev");
    tile.ino = fields.text("ino");
    if (fields.problem()) return decodingError(*fields.problem());
    record.tiles.push_back(std::move(tile));
  }
  return record;
}

Result<void, FeedbackError> checkVersion2(const SessionRecord& record) {
  if (record.surface != "native") return invalid("version 2 must name the native surface");
  if (!record.tiles.empty()) return invalid("version 2 has no tiles");
  if (!isOneOf(record.phase,
               {session_phase::loading, session_phase::ready, session_phase::restoring,
                session_phase::failed, session_phase::childComplete})) {
    return invalid("unknown phase \"" + record.phase + "\"");
  }
  return Result<void, FeedbackError>::success();
}

Result<void, FeedbackError> checkTile(const SessionTile& tile, std::string_view desktop) {
  const std::size_t slash = tile.path.rfind('/');
  if (slash == std::string::npos || std::string_view(tile.path).substr(0, slash) != desktop) {
    return invalid("tile " + tile.path + " is not on the Desktop");
  }
  if (!isTileFileName(std::string_view(tile.path).substr(slash + 1))) {
    return invalid("tile " + tile.path + " does not have a tile's name");
  }
  if (!isOneOf(tile.phase,
               {session_phase::loading, session_phase::restoring, session_phase::failed})) {
    return invalid("tile phase \"" + tile.phase + "\" is unknown");
  }
  if (tile.index < 0 || tile.index > kMaxTileIndex) {
    return invalid("tile index " + std::to_string(tile.index) + " is out of range");
  }
  return Result<void, FeedbackError>::success();
}

Result<void, FeedbackError> checkVersion1(const SessionRecord& record) {
  if (record.tiles.size() > kMaxSessionTiles) return invalid("too many tiles");
  std::set<std::string_view> paths;
  for (const SessionTile& tile : record.tiles) {
    if (!paths.insert(tile.path).second) return invalid("tile " + tile.path + " appears twice");
  }
  for (const SessionTile& tile : record.tiles) {
    if (Result<void, FeedbackError> checked = checkTile(tile, record.desktop); !checked.ok())
      return checked;
  }
  return Result<void, FeedbackError>::success();
}

}  // namespace

bool isTileFileName(std::string_view name) {
  // U+2009 and U+200A are E2 80 89 and E2 80 8A in UTF-8.
  constexpr std::size_t kScalars = 14;
  if (name.size() != kScalars * 3) return false;
  for (std::size_t i = 0; i < name.size(); i += 3) {
    if (name[i] != '\xE2' || name[i + 1] != '\x80') return false;
    if (name[i + 2] != '\x89' && name[i + 2] != '\x8A') return false;
  }
  return true;
}

Result<SessionRecord, FeedbackError> parseSessionRecord(std::string_view bytes,
                                                        std::string_view session,
                                                        std::string_view desktop) {
  if (bytes.size() > kMaxSessionRecordBytes) return invalid("larger than 65535 bytes");
  Result<SessionRecord, FeedbackError> decoded = decode(bytes);
  if (!decoded.ok()) return decoded;
  SessionRecord& record = decoded.value();

  if (record.session != session) return invalid("it belongs to another session");
  if (record.desktop != desktop) return invalid("it names another Desktop");

  Result<void, FeedbackError> checked =
      invalid("unknown version " + std::to_string(record.version));
  if (record.version == 2) checked = checkVersion2(record);
  if (record.version == 1) checked = checkVersion1(record);
  if (!checked.ok()) return checked.error();
  return decoded;
}

}  // namespace deskplay::core
