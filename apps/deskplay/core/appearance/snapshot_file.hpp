#pragma once

#include <filesystem>
#include <optional>

#include "common/result.hpp"
#include "core/appearance/desktop_appearance.hpp"
#include "core/basics/app_paths.hpp"
#include "platform/clock.hpp"

namespace deskplay::core {

// The snapshot of the desktop's look taken before a game: in a folder of its own in the
// application-support folder, so that it outlives a crash of the application and a reboot.
std::filesystem::path desktopSnapshotFile(const AppPaths& paths);

// Replaces the snapshot durably (written whole, synced, renamed into place, folder synced),
// readable and writable by the user only; the folder is created when missing.
Status writeDesktopSnapshot(const std::filesystem::path& file, const DesktopAppearance& appearance);

// Nothing when there is no snapshot. An error when one is there but cannot be read or
// understood: a link or anything but a regular file in its place, too large, damaged.
Result<std::optional<DesktopAppearance>> readDesktopSnapshot(const std::filesystem::path& file);

// Moves a snapshot that cannot be read out of the way, beside it, under its name with
// ".unreadable-" and the time added, so that it is never applied and can still be looked at.
// Gives the new path.
Result<std::filesystem::path> keepSnapshotAside(const std::filesystem::path& file,
                                                const platform::Clock& clock);

// Removes the snapshot, or the journal beside it; none is no error.
Status removeSnapshotFile(const std::filesystem::path& file);

}  // namespace deskplay::core
