#pragma once

#include <optional>
#include <string>
#include <vector>

#include "protocol/command.hpp"

namespace deskplay::glyphon {

// Where a cover goes, in global coordinates with the origin at the top left of the main
// display, and its colour as the engine sent it.
struct CoverPlacement {
  double x = 0;
  double y = 0;
  double w = 0;
  double h = 0;
  std::string color;
};

// The commands that animate icons, read their places, drag them with the pointer, and show
// covers and the session status. Each is called once its row's own input checks have passed.
class StageCommands {
 public:
  virtual ~StageCommands() = default;

  // Starts moving icons for command `id`. The answer when every motion ended within the
  // call; nothing when the answer goes out later, when the last motion ends.
  virtual std::optional<CommandAnswer> position(const std::string& id,
                                                const std::vector<PositionUpdate>& updates) = 0;
  virtual CommandAnswer cancelPositions(const std::vector<std::string>& paths) = 0;
  // `command` has x and y, or a path.
  virtual CommandAnswer synthDrag(const Command& command) = 0;
  // `w` and `h` are positive; `owner` is not empty.
  virtual CommandAnswer setCover(const std::string& owner, const CoverPlacement& placement) = 0;
  virtual CommandAnswer clearCover(const std::string& owner) = 0;
  // `phase` is "loading", "restoring", "failed" or "clear".
  virtual CommandAnswer showSessionStatus(const std::string& phase) = 0;
  virtual CommandAnswer iconPositions() = 0;
};

}  // namespace deskplay::glyphon
