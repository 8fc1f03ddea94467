#pragma once

#include <memory>

#include "app/wired_desktop_commands.hpp"
#include "dispatch/command_dispatcher.hpp"
#include "dispatch/stage_commands.hpp"
#include "file_icons/serial_queue.hpp"
#include "platform/linux/linux_workspace.hpp"
#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/sim/sim_workspace.hpp"
#include "platform/sim/simdesk_event_pump.hpp"
#include "protocol/descriptor_output_lines.hpp"
#include "protocol/log_file.hpp"
#include "protocol/script_host_runner.hpp"

namespace deskplay::glyphon {

// Glyphon's one set of platform adapters and command handlers, wired for Linux: simdesk for
// scripts, screens and Finder, Finder's preferences as property-list files, file icons in
// extended attributes, the real clock, and the tool stand-ins ($DESKPLAY_SIM_TOOLS when set,
// else where the build put them). Made on the main thread, after the application object.
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
  ScriptHostRunner scripts_;
  SerialQueue repaintQueue_;
  WiredDesktopCommands desktop_;
  UnavailableStageCommands stage_;
  CommandDispatcher dispatcher_;
};

}  // namespace deskplay::glyphon
