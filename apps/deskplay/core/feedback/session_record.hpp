#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/feedback/feedback_error.hpp"

namespace deskplay::core {

// The phases a session status record names.
namespace session_phase {
inline constexpr std::string_view loading = "loading";
inline constexpr std::string_view ready = "ready";
inline constexpr std::string_view restoring = "restoring";
inline constexpr std::string_view failed = "failed";
// The engine's clean end.
inline constexpr std::string_view childComplete = "child-complete";
}  // namespace session_phase

// A placeholder file the engine keeps on the Desktop while a session runs.
struct SessionTile {
  std::string path;
  std::string phase;
  std::int64_t index = 0;  // place in its row, 0 to 12
  std::string dev;         // device number, decimal text
  std::string ino;         // inode number, decimal text
  friend bool operator==(const SessionTile&, const SessionTile&) = default;
};

// The engine's report of its progress, read from the session's status file.
struct SessionRecord {
  std::int64_t version = 0;
  std::optional<std::string> surface;
  std::string session;
  std::string desktop;
  std::string phase;
  std::vector<SessionTile> tiles;
  friend bool operator==(const SessionRecord&, const SessionRecord&) = default;
};

inline constexpr std::size_t kMaxSessionRecordBytes = 65535;
inline constexpr std::size_t kMaxSessionTiles = 29;
inline constexpr std::int64_t kMaxTileIndex = 12;

// Decodes one record and checks it belongs to this session and this Desktop before anything
// trusts it. Bytes that do not decode fail with `decodingFailed`; a record that decodes but
// breaks a rule fails with `invalidRecord`.
Result<SessionRecord, FeedbackError> parseSessionRecord(std::string_view bytes,
                                                        std::string_view session,
                                                        std::string_view desktop);

// Whether `name` is a tile's file name: exactly 14 thin (U+2009) or hair (U+200A) spaces.
bool isTileFileName(std::string_view name);

}  // namespace deskplay::core
