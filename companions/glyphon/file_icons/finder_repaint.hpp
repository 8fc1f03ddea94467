#pragma once

#include <chrono>
#include <filesystem>

#include "common/serial_queue.hpp"
#include "platform/workspace.hpp"

namespace deskplay::glyphon {

// Finder caches icons; a change notice and fresh modification dates make it draw a changed
// icon soon. The later touches catch a Finder that looked too early.
inline constexpr std::chrono::milliseconds kRepaintDelays[] = {std::chrono::milliseconds(120),
                                                               std::chrono::milliseconds(350)};

// Tells the workspace that `path` changed and touches its modification date now, then again
// on `repaintQueue` after each of kRepaintDelays.
void nudgeFinderRepaint(platform::Workspace& workspace, SerialQueue& repaintQueue,
                        const std::filesystem::path& path);

// Sets the file's modification date to now; a failure is ignored.
void touchModificationDate(const std::filesystem::path& path);

}  // namespace deskplay::glyphon
