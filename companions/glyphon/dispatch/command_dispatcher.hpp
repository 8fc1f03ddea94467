#pragma once

#include <optional>
#include <string_view>

#include "dispatch/desktop_commands.hpp"
#include "dispatch/stage_commands.hpp"
#include "protocol/apple_script_runner.hpp"
#include "protocol/command.hpp"
#include "protocol/command_decoder.hpp"
#include "protocol/log_lines.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// Decodes and carries out one command line at a time, on the main thread: makes each type's
// input checks in order, runs it, and answers commands that carry an `id`. Types that need
// an `id` are ignored without one.
class CommandDispatcher {
 public:
  struct Services {
    OutputLines& output;
    LogLines& log;
    AppleScriptRunner& scripts;
    DesktopCommands& desktop;
    StageCommands& stage;
  };

  explicit CommandDispatcher(Services services) : services_(services) {}

  void handleCommand(std::string_view line);

  // What one row gives back: the answer, or nothing when the command is ignored, never
  // answered, or answered later.
  using Outcome = std::optional<CommandAnswer>;

 private:
  void answerUndecodable(std::string_view line, const UndecodableLine& failure);

  Outcome sessionStatus(const Command& command);
  Outcome templateCopy(const Command& command);
  Outcome uiSetup(const Command& command);
  Outcome position(const Command& command);
  Outcome positionCancel(const Command& command);
  Outcome color(const Command& command);
  Outcome comment(const Command& command);
  Outcome extensionHidden(const Command& command);
  Outcome batch(const Command& command);
  Outcome iconPositionsGet(const Command& command);
  Outcome iconGet(const Command& command);
  Outcome iconSetPath(const Command& command);
  Outcome iconSetData(const Command& command);
  Outcome iconClear(const Command& command);
  Outcome desktopLabels(const Command& command);
  Outcome backgroundGet(const Command& command);
  Outcome backgroundSetPath(const Command& command);
  Outcome gridSpacing(const Command& command);
  Outcome gridSpacingSet(const Command& command);
  Outcome gridArrangementGet(const Command& command);
  Outcome gridArrangementSet(const Command& command);
  Outcome iconSize(const Command& command);
  Outcome iconSizeSet(const Command& command);
  Outcome restartFinder(const Command& command);
  Outcome synthDrag(const Command& command);
  Outcome coverSet(const Command& command);
  Outcome feedbackCoverSet(const Command& command);
  Outcome parkCoverSet(const Command& command);
  Outcome coverClear(const Command& command);
  Outcome feedbackCoverClear(const Command& command);
  Outcome parkCoverClear(const Command& command);

  Outcome setCover(const Command& command, const std::optional<std::string>& owner);

  struct Row;
  static const Row* findRow(std::string_view type);

  Services services_;
};

}  // namespace deskplay::glyphon
