#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace deskplay::glyphon {

// How one icon gets to its new place: animated over `duration` seconds, or at once.
struct NativeTransition {
  double duration = 0;
  std::optional<std::string> easing;
  std::optional<bool> enabled;
};

// One icon to move to (x, y), global coordinates with the origin at the top left of the
// main display.
struct PositionUpdate {
  std::optional<NativeTransition> transition;
  std::string path;
  double x = 0;
  double y = 0;
};

// One decoded input line. Every key but `type` may be absent.
struct Command {
  std::optional<std::string> id;
  std::string type;
  std::optional<std::vector<PositionUpdate>> updates;
  std::optional<std::vector<std::string>> paths;
  std::optional<std::string> path;
  std::optional<double> x;
  std::optional<double> y;
  std::optional<std::string> value;
  std::optional<std::string> iconPath;
  std::optional<std::string> iconData;
  std::optional<std::string> script;
  std::optional<std::int64_t> gridSpacing;
  std::optional<std::int64_t> iconSize;
  std::optional<std::int64_t> textSize;
  std::optional<std::string> gridArrangement;
  std::optional<std::string> labelPosition;
  std::optional<double> w;
  std::optional<double> h;
  std::optional<std::string> color;
  std::optional<std::string> owner;
};

// What a successful command hands back; absent fields are left out of the answer.
struct CommandResult {
  std::optional<bool> hasCustomIcon;
  std::optional<std::string> data;
  std::optional<bool> desktopLabelsVisible;
  std::optional<std::int64_t> gridSpacing;
  std::optional<std::int64_t> iconSize;
  std::optional<std::string> gridArrangement;

  friend bool operator==(const CommandResult&, const CommandResult&) = default;
};

// The outcome of one command: success with an optional result, or an error text.
struct CommandAnswer {
  bool ok = true;
  std::optional<CommandResult> result;
  std::optional<std::string> error;

  static CommandAnswer success(std::optional<CommandResult> result = std::nullopt) {
    return {true, std::move(result), std::nullopt};
  }
  static CommandAnswer failure(std::string error) { return {false, std::nullopt, std::move(error)}; }

  friend bool operator==(const CommandAnswer&, const CommandAnswer&) = default;
};

}  // namespace deskplay::glyphon
