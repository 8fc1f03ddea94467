#include "dispatch/stage_commands.hpp"

namespace deskplay::glyphon {

namespace {

CommandAnswer notAvailable(const std::string& type) {
  return CommandAnswer::failure(type + " is not available yet");
}

}  // namespace

std::optional<CommandAnswer> UnavailableStageCommands::position(
    const std::string&, const std::vector<PositionUpdate>&) {
  return notAvailable("position");
}

CommandAnswer UnavailableStageCommands::cancelPositions(const std::vector<std::string>&) {
  return notAvailable("position_cancel");
}

CommandAnswer UnavailableStageCommands::synthDrag(const Command&) {
  return notAvailable("synth_drag");
}

CommandAnswer UnavailableStageCommands::setCover(const std::string& owner, const CoverPlacement&) {
  return notAvailable("the " + owner + " cover");
}

CommandAnswer UnavailableStageCommands::clearCover(const std::string& owner) {
  return notAvailable("the " + owner + " cover");
}

CommandAnswer UnavailableStageCommands::showSessionStatus(const std::string&) {
  return notAvailable("session_status");
}

CommandAnswer UnavailableStageCommands::iconPositions() {
  return notAvailable("icon_positions_get");
}

}  // namespace deskplay::glyphon
