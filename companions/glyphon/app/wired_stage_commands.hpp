#pragma once

#include <optional>
#include <string>
#include <vector>

#include "covers/cover_windows.hpp"
#include "covers/session_status_surface.hpp"
#include "dispatch/stage_commands.hpp"
#include "geometry/icon_geometry.hpp"
#include "geometry/synth_drag_command.hpp"
#include "motion/motion_commands.hpp"

namespace deskplay::glyphon {

// The stage commands carried out on Finder's icons, the pointer and Glyphon's own windows.
class WiredStageCommands final : public StageCommands {
 public:
  struct Services {
    MotionCommands& motion;
    IconGeometry& geometry;
    SynthDragCommand& synthDrag;
    CoverWindows& covers;
    SessionStatusSurface& sessionStatus;
  };

  explicit WiredStageCommands(Services services) : services_(services) {}

  std::optional<CommandAnswer> position(const std::string& id,
                                        const std::vector<PositionUpdate>& updates) override;
  CommandAnswer cancelPositions(const std::vector<std::string>& paths) override;
  CommandAnswer synthDrag(const Command& command) override;
  CommandAnswer setCover(const std::string& owner, const CoverPlacement& placement) override;
  CommandAnswer clearCover(const std::string& owner) override;
  CommandAnswer showSessionStatus(const std::string& phase) override;
  CommandAnswer iconPositions() override;

 private:
  Services services_;
};

}  // namespace deskplay::glyphon
