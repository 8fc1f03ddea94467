#include "app/glyphon_services.hpp"

#include <cstdlib>
#include <utility>

#include "platform/qt/qt_main_loop_timers.hpp"
#include "platform/sim/sim_tool_paths.hpp"
#include "platform/sim/simdesk_link.hpp"

namespace deskplay::glyphon {

namespace {

platform::ToolPaths toolPaths() {
  const char* configured = std::getenv("DESKPLAY_SIM_TOOLS");
  if (configured != nullptr && *configured != '\0') return platform::simulatedToolPaths(configured);
  return platform::simToolPaths();
}

std::filesystem::path homeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

}  // namespace

GlyphonServices::GlyphonServices(int outputFd, std::filesystem::path logFile)
    : output_(outputFd),
      log_(std::move(logFile)),
      preferences_(platform::defaultUserDefaultsFile(), platform::defaultPreferencesFolder()),
      simdesk_(platform::connectToSimdesk("Glyphon")),
      simdeskEvents_(*simdesk_),
      windows_(*simdesk_),
      scriptHost_(*simdesk_),
      desktopWorkspace_(*simdesk_),
      workspace_(desktopWorkspace_),
      accessibility_(*simdesk_),
      eventTaps_(*simdesk_),
      scripts_(scriptHost_, output_),
      pointer_(eventTaps_, clock_),
      geometry_(accessibility_, windows_, pointer_),
      motion_({output_, log_, scripts_, clock_, platform::QtMainLoopTimers::shared(), eventTaps_,
               geometry_}),
      repaintQueue_(kRepaintQueueLabel),
      desktop_(FinderServices{scripts_, log_, preferences_, clock_, toolPaths(),
                              finderPreferencesFile(homeFolder())},
               FileIconServices{workspace_, repaintQueue_, scripts_, output_, log_}),
      journalledDesktop_(desktop_, desktopChangeJournalFromEnvironment()),
      covers_(windows_, log_),
      sessionStatus_(windows_),
      synthDrag_({geometry_, pointer_, eventTaps_, log_}),
      stage_({motion_, geometry_, synthDrag_, covers_, sessionStatus_}),
      dispatcher_({output_, log_, scripts_, journalledDesktop_, stage_}) {}

GlyphonServices::~GlyphonServices() = default;

}  // namespace deskplay::glyphon
