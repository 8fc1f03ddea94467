#include "platform/sim/sim_tool_paths.hpp"

namespace deskplay::platform {

ToolPaths simToolPaths() { return simulatedToolPaths(DESKPLAY_SIM_TOOLS_DIR); }

}  // namespace deskplay::platform
