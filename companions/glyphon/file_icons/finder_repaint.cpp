#include "file_icons/finder_repaint.hpp"

#include <fcntl.h>
#include <sys/stat.h>

namespace deskplay::glyphon {

void touchModificationDate(const std::filesystem::path& path) {
  const timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
  (void)::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

void nudgeFinderRepaint(platform::Workspace& workspace, SerialQueue& repaintQueue,
                        const std::filesystem::path& path) {
  workspace.noteFileSystemChanged(path);
  touchModificationDate(path);
  for (const auto delay : kRepaintDelays) {
    repaintQueue.asyncAfter(delay, [path] { touchModificationDate(path); });
  }
}

}  // namespace deskplay::glyphon
