// Each input is what the engine could leave in the session's status file. It goes through the
// decoder and the checks the supervisor relies on before it trusts a record.
//
// Besides what the sanitizers catch, an exception out of the decoder (which would end the
// application in the middle of a game) is a crash, and so is a record that passes the checks
// while breaking one of the rules they stand for.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "core/feedback/session_record.hpp"

namespace deskplay::core {

namespace {

// The seeds carry these, so that mutations reach the checks behind them.
constexpr std::string_view kSession = "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F9";
constexpr std::string_view kDesktop = "/home/ada/Desktop";

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "session_record_fuzzer: %s\n", message.c_str());
  std::abort();
}

void checkTrusted(const SessionRecord& record) {
  if (record.session != kSession || record.desktop != kDesktop) {
    die("a record of another session or Desktop passed");
  }
  if (record.version == 2) {
    if (record.surface != "native" || !record.tiles.empty()) die("a bad version 2 record passed");
    return;
  }
  if (record.version != 1) die("a record of version " + std::to_string(record.version) + " passed");
  if (record.tiles.size() > kMaxSessionTiles) die("too many tiles passed");
  std::set<std::string> paths;
  for (const SessionTile& tile : record.tiles) {
    const std::size_t slash = tile.path.rfind('/');
    if (slash == std::string::npos || std::string_view(tile.path).substr(0, slash) != kDesktop ||
        !isTileFileName(std::string_view(tile.path).substr(slash + 1))) {
      die("a tile outside the Desktop or without a tile's name passed: " + tile.path);
    }
    if (tile.index < 0 || tile.index > kMaxTileIndex) die("a tile index out of range passed");
    if (!paths.insert(tile.path).second) die("one tile path twice passed");
  }
}

}  // namespace

}  // namespace deskplay::core

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace deskplay::core;
  const auto record = parseSessionRecord(
      std::string_view(reinterpret_cast<const char*>(data), size), kSession, kDesktop);
  if (record.ok()) {
    checkTrusted(record.value());
  } else if (record.message().empty()) {
    die("a record failed without saying why");
  }
  return 0;
}
