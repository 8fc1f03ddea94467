#include "dispatch/command_dispatcher.hpp"

#include <utf8proc.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "common/utf8.hpp"
#include "protocol/apple_script_escape.hpp"
#include "protocol/icon_response.hpp"

namespace deskplay::glyphon {

namespace {

constexpr std::size_t kLoggedLineCharacters = 200;

// The first `count` characters of `text`, as valid UTF-8 for the log. A character is what a
// reader sees as one: a letter with its combining marks, an emoji sequence, a CR LF pair.
std::string leadingCharacters(std::string_view text, std::size_t count) {
  const std::string valid = replacingInvalidUtf8(text);
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(valid.data());
  std::size_t end = 0;
  std::size_t seen = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  while (end < valid.size()) {
    utf8proc_int32_t codePoint = 0;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + end, static_cast<utf8proc_ssize_t>(valid.size() - end), &codePoint);
    if (length <= 0) break;
    if (previous < 0 || utf8proc_grapheme_break_stateful(previous, codePoint, &state)) {
      if (seen == count) break;
      ++seen;
    }
    previous = codePoint;
    end += static_cast<std::size_t>(length);
  }
  return valid.substr(0, end);
}

std::string asciiLowercased(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), text) != words.end();
}

// Finder's label indexes run from 0 (none) to 7. The value goes into the script unquoted,
// so anything but plain digits would become script text.
bool isLabelIndex(std::string_view value) {
  if (value.empty() || value.size() > 3) return false;
  int index = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    index = index * 10 + (c - '0');
  }
  return index <= 7;
}

const CommandDispatcher::Outcome kIgnored = std::nullopt;

}  // namespace

struct CommandDispatcher::Row {
  // Whether a command of this type without an `id` is ignored whole.
  enum class Id { needed, optional };

  std::string_view type;
  Id id;
  Outcome (CommandDispatcher::*run)(const Command&);
};

const CommandDispatcher::Row* CommandDispatcher::findRow(std::string_view type) {
  static constexpr std::array<Row, 31> kRows{{
      {"session_status", Row::Id::needed, &CommandDispatcher::sessionStatus},
      {"template_copy", Row::Id::needed, &CommandDispatcher::templateCopy},
      {"ui_setup", Row::Id::optional, &CommandDispatcher::uiSetup},
      {"position", Row::Id::needed, &CommandDispatcher::position},
      {"position_cancel", Row::Id::optional, &CommandDispatcher::positionCancel},
      {"color", Row::Id::optional, &CommandDispatcher::color},
      {"comment", Row::Id::optional, &CommandDispatcher::comment},
      {"extension_hidden", Row::Id::optional, &CommandDispatcher::extensionHidden},
      {"batch", Row::Id::needed, &CommandDispatcher::batch},
      {"icon_positions_get", Row::Id::needed, &CommandDispatcher::iconPositionsGet},
      {"icon_get", Row::Id::needed, &CommandDispatcher::iconGet},
      {"icon_set_path", Row::Id::needed, &CommandDispatcher::iconSetPath},
      {"icon_set_data", Row::Id::needed, &CommandDispatcher::iconSetData},
      {"icon_clear", Row::Id::needed, &CommandDispatcher::iconClear},
      {"desktop_labels", Row::Id::needed, &CommandDispatcher::desktopLabels},
      {"background_get", Row::Id::needed, &CommandDispatcher::backgroundGet},
      {"background_set_path", Row::Id::needed, &CommandDispatcher::backgroundSetPath},
      {"grid_spacing", Row::Id::needed, &CommandDispatcher::gridSpacing},
      {"grid_spacing_set", Row::Id::needed, &CommandDispatcher::gridSpacingSet},
      {"grid_arrangement_get", Row::Id::needed, &CommandDispatcher::gridArrangementGet},
      {"grid_arrangement_set", Row::Id::needed, &CommandDispatcher::gridArrangementSet},
      {"icon_size", Row::Id::needed, &CommandDispatcher::iconSize},
      {"icon_size_set", Row::Id::needed, &CommandDispatcher::iconSizeSet},
      {"restart_finder", Row::Id::needed, &CommandDispatcher::restartFinder},
      {"synth_drag", Row::Id::needed, &CommandDispatcher::synthDrag},
      {"cover_set", Row::Id::needed, &CommandDispatcher::coverSet},
      {"feedback_cover_set", Row::Id::needed, &CommandDispatcher::feedbackCoverSet},
      {"park_cover_set", Row::Id::needed, &CommandDispatcher::parkCoverSet},
      {"cover_clear", Row::Id::needed, &CommandDispatcher::coverClear},
      {"feedback_cover_clear", Row::Id::needed, &CommandDispatcher::feedbackCoverClear},
      {"park_cover_clear", Row::Id::needed, &CommandDispatcher::parkCoverClear},
  }};
  const auto found =
      std::find_if(kRows.begin(), kRows.end(), [type](const Row& row) { return row.type == type; });
  return found == kRows.end() ? nullptr : &*found;
}

void CommandDispatcher::handleCommand(std::string_view line) {
  DecodedLine decoded = decodeCommand(line);
  if (const auto* failure = std::get_if<UndecodableLine>(&decoded)) {
    answerUndecodable(line, *failure);
    return;
  }
  const Command& command = std::get<Command>(decoded);
  services_.log.logLine("[ORVEL] command " + command.type + " id=" + command.id.value_or("none"));

  const Row* row = findRow(command.type);
  if (row == nullptr) {
    if (command.id) {
      sendIconResponse(services_.output, *command.id,
                       CommandAnswer::failure("Unknown command type: " + command.type));
    }
    return;
  }
  if (row->id == Row::Id::needed && !command.id) return;
  const Outcome answer = (this->*(row->run))(command);
  if (answer && command.id) sendIconResponse(services_.output, *command.id, *answer);
}

void CommandDispatcher::answerUndecodable(std::string_view line, const UndecodableLine& failure) {
  services_.log.logLine("[ORVEL] decode error: " + replacingInvalidUtf8(failure.description) +
                        " line=" + leadingCharacters(line, kLoggedLineCharacters));
  if (failure.id) {
    sendIconResponse(services_.output, *failure.id,
                     CommandAnswer::failure("Failed to decode command: " + failure.description));
  }
}

CommandDispatcher::Outcome CommandDispatcher::sessionStatus(const Command& command) {
  if (!command.value || !isOneOf(*command.value, {"loading", "restoring", "failed", "clear"})) {
    return CommandAnswer::failure("Invalid session status");
  }
  services_.log.logLine("[ORVEL] session_status " + *command.value);
  return services_.stage.showSessionStatus(*command.value);
}

CommandDispatcher::Outcome CommandDispatcher::templateCopy(const Command& command) {
  if (!command.iconPath || !command.path) return kIgnored;
  return services_.desktop.templateCopy(*command.iconPath, *command.path);
}

CommandDispatcher::Outcome CommandDispatcher::uiSetup(const Command& command) {
  if (!command.value || !isOneOf(*command.value, {"true", "false"})) {
    return CommandAnswer::failure("ui_setup requires true/false value");
  }
  const bool hidden = *command.value == "true";
  std::string errors;
  for (const std::optional<std::string>& error :
       {services_.desktop.setAutohideDock(hidden), services_.desktop.setAutohideMenuBar(hidden)}) {
    if (!error) continue;
    if (!errors.empty()) errors += "; ";
    errors += *error;
  }
  if (errors.empty()) return CommandAnswer::success();
  return CommandAnswer::failure(std::move(errors));
}

CommandDispatcher::Outcome CommandDispatcher::position(const Command& command) {
  return services_.stage.position(*command.id,
                                  command.updates.value_or(std::vector<PositionUpdate>{}));
}

CommandDispatcher::Outcome CommandDispatcher::positionCancel(const Command& command) {
  return services_.stage.cancelPositions(command.paths.value_or(std::vector<std::string>{}));
}

CommandDispatcher::Outcome CommandDispatcher::color(const Command& command) {
  if (!command.path || !command.value) return kIgnored;
  if (!isLabelIndex(*command.value)) {
    services_.log.logLine(
        "[ORVEL] color ignored: label index must be a whole number from 0 to 7, got " +
        replacingInvalidUtf8(*command.value));
    return kIgnored;
  }
  (void)services_.scripts.runDetailed(
      "tell application \"Finder\" to set label index of (POSIX file \"" +
      escapeAppleScript(*command.path) + "\" as alias) to " + *command.value);
  return kIgnored;
}

CommandDispatcher::Outcome CommandDispatcher::comment(const Command& command) {
  if (!command.path || !command.value) return kIgnored;
  (void)services_.scripts.runDetailed(
      "tell application \"Finder\" to set comment of (POSIX file \"" +
      escapeAppleScript(*command.path) + "\" as alias) to \"" + escapeAppleScript(*command.value) +
      "\" ");
  return kIgnored;
}

CommandDispatcher::Outcome CommandDispatcher::extensionHidden(const Command& command) {
  if (!command.path || !command.value) return kIgnored;
  services_.desktop.extensionHidden(*command.path, *command.value);
  return kIgnored;
}

CommandDispatcher::Outcome CommandDispatcher::batch(const Command& command) {
  if (!command.script) return CommandAnswer::failure("batch requires a script");
  DetailedScriptRun run = services_.scripts.runDetailed(*command.script);
  if (run.error) return CommandAnswer::failure(std::move(*run.error));
  if (run.result && run.result->stringValue && !run.result->stringValue->empty()) {
    CommandResult result;
    result.data = std::move(*run.result->stringValue);
    return CommandAnswer::success(std::move(result));
  }
  return CommandAnswer::success();
}

CommandDispatcher::Outcome CommandDispatcher::iconPositionsGet(const Command&) {
  return services_.stage.iconPositions();
}

CommandDispatcher::Outcome CommandDispatcher::iconGet(const Command& command) {
  if (!command.path) return kIgnored;
  return services_.desktop.iconGet(*command.path);
}

CommandDispatcher::Outcome CommandDispatcher::iconSetPath(const Command& command) {
  if (!command.path || !command.iconPath) {
    return CommandAnswer::failure("icon_set_path requires path and iconPath");
  }
  return services_.desktop.iconSetPath(*command.path, *command.iconPath);
}

CommandDispatcher::Outcome CommandDispatcher::iconSetData(const Command& command) {
  if (!command.path || !command.iconData) {
    return CommandAnswer::failure("icon_set_data requires path and iconData");
  }
  return services_.desktop.iconSetData(*command.path, *command.iconData);
}

CommandDispatcher::Outcome CommandDispatcher::iconClear(const Command& command) {
  if (!command.path) return CommandAnswer::failure("icon_clear requires a path");
  return services_.desktop.iconClear(*command.path);
}

CommandDispatcher::Outcome CommandDispatcher::desktopLabels(const Command& command) {
  if (!command.value) return CommandAnswer::failure("desktop_labels requires a value");
  const std::string lowered = asciiLowercased(*command.value);
  if (!isOneOf(lowered, {"true", "false", "status"})) {
    return CommandAnswer::failure("desktop_labels requires true/false/status value");
  }
  return services_.desktop.desktopLabels(lowered);
}

CommandDispatcher::Outcome CommandDispatcher::backgroundGet(const Command&) {
  return services_.desktop.backgroundGet();
}

CommandDispatcher::Outcome CommandDispatcher::backgroundSetPath(const Command& command) {
  if (!command.path) return CommandAnswer::failure("background_set_path requires a path");
  return services_.desktop.backgroundSetPath(*command.path);
}

CommandDispatcher::Outcome CommandDispatcher::gridSpacing(const Command&) {
  return services_.desktop.gridSpacing();
}

CommandDispatcher::Outcome CommandDispatcher::gridSpacingSet(const Command& command) {
  return services_.desktop.gridSpacingSet(command.value);
}

CommandDispatcher::Outcome CommandDispatcher::gridArrangementGet(const Command&) {
  return services_.desktop.gridArrangementGet();
}

CommandDispatcher::Outcome CommandDispatcher::gridArrangementSet(const Command& command) {
  if (!command.value) return CommandAnswer::failure("grid_arrangement_set requires a value");
  return services_.desktop.gridArrangementSet(*command.value);
}

CommandDispatcher::Outcome CommandDispatcher::iconSize(const Command&) {
  return services_.desktop.iconSize();
}

CommandDispatcher::Outcome CommandDispatcher::iconSizeSet(const Command& command) {
  return services_.desktop.iconSizeSet(command.value);
}

CommandDispatcher::Outcome CommandDispatcher::restartFinder(const Command& command) {
  return services_.desktop.restartFinder(command);
}

CommandDispatcher::Outcome CommandDispatcher::synthDrag(const Command& command) {
  if (!(command.x && command.y) && !command.path) {
    return CommandAnswer::failure("synth_drag needs (x,y) or a findable path");
  }
  return services_.stage.synthDrag(command);
}

CommandDispatcher::Outcome CommandDispatcher::setCover(const Command& command,
                                                       const std::optional<std::string>& owner) {
  if (!command.x || !command.y || !command.w || !command.h || !command.color) {
    return CommandAnswer::failure("cover_set requires x, y, w, h and color");
  }
  if (!(*command.w > 0) || !(*command.h > 0)) {
    return CommandAnswer::failure("cover_set requires a positive w and h");
  }
  if (!owner || owner->empty()) return CommandAnswer::failure("park_cover_set requires an owner");
  return services_.stage.setCover(
      *owner, CoverPlacement{*command.x, *command.y, *command.w, *command.h, *command.color});
}

CommandDispatcher::Outcome CommandDispatcher::coverSet(const Command& command) {
  return setCover(command, "stage");
}

CommandDispatcher::Outcome CommandDispatcher::feedbackCoverSet(const Command& command) {
  return setCover(command, "feedback");
}

CommandDispatcher::Outcome CommandDispatcher::parkCoverSet(const Command& command) {
  return setCover(command, command.owner);
}

CommandDispatcher::Outcome CommandDispatcher::coverClear(const Command&) {
  return services_.stage.clearCover("stage");
}

CommandDispatcher::Outcome CommandDispatcher::feedbackCoverClear(const Command&) {
  return services_.stage.clearCover("feedback");
}

CommandDispatcher::Outcome CommandDispatcher::parkCoverClear(const Command& command) {
  if (!command.owner || command.owner->empty()) {
    return CommandAnswer::failure("park_cover_clear requires an owner");
  }
  return services_.stage.clearCover(*command.owner);
}

}  // namespace deskplay::glyphon
