#pragma once

#include <memory>

#include "app/journalled_desktop_commands.hpp"
#include "app/wired_desktop_commands.hpp"
#include "app/wired_stage_commands.hpp"
#include "covers/cover_windows.hpp"
#include "covers/session_status_surface.hpp"
#include "dispatch/command_dispatcher.hpp"
#include "file_icons/file_icon_services.hpp"
#include "geometry/accessibility_icon_geometry.hpp"
#include "geometry/synth_drag_command.hpp"
#include "geometry/synth_mouse_drag.hpp"
#include "motion/motion_commands.hpp"
#include "platform/linux/linux_workspace.hpp"
#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/sim/sim_accessibility.hpp"
#include "platform/sim/sim_event_taps.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/sim/sim_workspace.hpp"
#include "platform/sim/simdesk_event_pump.hpp"
#include "protocol/descriptor_output_lines.hpp"
#include "protocol/log_file.hpp"
#include "protocol/script_host_runner.hpp"

namespace deskplay::glyphon {

// Glyphon's one set of platform adapters and command handlers, wired for Linux: simdesk for
// scripts, screens, windows, Finder, its accessibility tree and the pointer, Finder's
// preferences as property-list files, file icons in extended attributes, the real clock, and
// the tool stand-ins ($DESKPLAY_SIM_TOOLS when set, else where the build put them). Made on
// the main thread, after the application object; the pointer monitor of icon motion is
// installed here, and first sees events once the main loop runs.
class GlyphonServices {
 public:
  GlyphonServices(int outputFd, std::filesystem::path logFile);
  GlyphonServices(const GlyphonServices&) = delete;
  GlyphonServices& operator=(const GlyphonServices&) = delete;
  ~GlyphonServices();

  DescriptorOutputLines& output() { return output_; }
  LogFile& log() { return log_; }
  AppleScriptRunner& scripts() { return scripts_; }
  platform::Windows& windows() { return windows_; }
  CommandDispatcher& dispatcher() { return dispatcher_; }

 private:
  DescriptorOutputLines output_;
  LogFile log_;
  platform::SystemClock clock_;
  platform::PlistFilePreferences preferences_;
  std::unique_ptr<simdesk::protocol::Connection> simdesk_;
  platform::SimdeskEventPump simdeskEvents_;
  platform::SimWindows windows_;
  platform::SimScriptHost scriptHost_;
  platform::SimWorkspace desktopWorkspace_;
  platform::LinuxWorkspace workspace_;
  platform::SimAccessibility accessibility_;
  platform::SimEventTaps eventTaps_;
  ScriptHostRunner scripts_;
  // In the order of start-up: motion state and the drag flag, the repaint queue, the covers
  // and the status panel.
  PointerSynthesis pointer_;
  AccessibilityIconGeometry geometry_;
  MotionCommands motion_;
  SerialQueue repaintQueue_;
  WiredDesktopCommands desktop_;
  JournalledDesktopCommands journalledDesktop_;
  CoverWindows covers_;
  SessionStatusSurface sessionStatus_;
  SynthDragCommand synthDrag_;
  WiredStageCommands stage_;
  CommandDispatcher dispatcher_;
};

}  // namespace deskplay::glyphon
