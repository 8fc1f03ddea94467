#include "app/wired_stage_commands.hpp"

namespace deskplay::glyphon {

std::optional<CommandAnswer> WiredStageCommands::position(
    const std::string& id, const std::vector<PositionUpdate>& updates) {
  return services_.motion.submitPosition(id, updates);
}

CommandAnswer WiredStageCommands::cancelPositions(const std::vector<std::string>& paths) {
  return services_.motion.cancelPositions(paths);
}

CommandAnswer WiredStageCommands::synthDrag(const Command& command) {
  return services_.synthDrag.run(command);
}

CommandAnswer WiredStageCommands::setCover(const std::string& owner,
                                           const CoverPlacement& placement) {
  services_.covers.applyCover(placement.x, placement.y, placement.w, placement.h, placement.color,
                              owner);
  return CommandAnswer::success();
}

CommandAnswer WiredStageCommands::clearCover(const std::string& owner) {
  services_.covers.clearCover(owner);
  return CommandAnswer::success();
}

CommandAnswer WiredStageCommands::showSessionStatus(const std::string& phase) {
  services_.sessionStatus.showSessionStatus(phase);
  return CommandAnswer::success();
}

CommandAnswer WiredStageCommands::iconPositions() {
  CommandResult result;
  result.data = services_.geometry.readDesktopIconPositions();
  return CommandAnswer::success(std::move(result));
}

}  // namespace deskplay::glyphon
