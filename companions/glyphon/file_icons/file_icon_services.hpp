#pragma once

#include <string_view>

#include "common/serial_queue.hpp"
#include "platform/workspace.hpp"
#include "protocol/apple_script_runner.hpp"
#include "protocol/log_lines.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// The queue on which delayed icon repaints run.
inline constexpr std::string_view kRepaintQueueLabel = "quillon.icon-repaint";

// What the file icon commands reach: the workspace for icons and extension flags, the
// repaint queue for the delayed touches, Finder by script as a fallback, the output for
// errors that are not answered, and the log.
struct FileIconServices {
  platform::Workspace& workspace;
  SerialQueue& repaintQueue;
  AppleScriptRunner& scripts;
  OutputLines& output;
  LogLines& log;
};

}  // namespace deskplay::glyphon
