#include "core/appearance/snapshot_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "common/atomic_file.hpp"
#include "common/durable_sync.hpp"
#include "common/exclusive_rename.hpp"
#include "common/iso8601.hpp"
#include "common/small_file.hpp"
#include "common/system_error.hpp"
#include "common/unique_fd.hpp"
#include "core/appearance/appearance_snapshot.hpp"

namespace deskplay::core {

namespace {

// A Desktop of many thousand items still fits well within this.
constexpr std::size_t kSnapshotLimit = kRecordFileLimit * 4;
// Names tried for one snapshot kept aside within the same second.
constexpr int kAsideAttempts = 100;

}  // namespace

std::filesystem::path desktopSnapshotFile(const AppPaths& paths) {
  return paths.desktopLookFolder() / "desktop-snapshot.json";
}

Status writeDesktopSnapshot(const std::filesystem::path& file,
                            const DesktopAppearance& appearance) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return Error{"create " + file.parent_path().string() + ": " + error.message()};
  return replaceFileAtomically(file, encodeAppearanceSnapshot(appearance), 0600);
}

Result<std::optional<DesktopAppearance>> readDesktopSnapshot(const std::filesystem::path& file) {
  auto text = readSmallFile(file, kSnapshotLimit, FinalLink::refuse);
  if (!text.ok()) return text.error();
  if (!text.value()) return std::optional<DesktopAppearance>();
  auto appearance = decodeAppearanceSnapshot(*text.value());
  if (!appearance.ok()) return Error{file.string() + ": " + appearance.message()};
  return std::optional<DesktopAppearance>(std::move(appearance).value());
}

Result<std::filesystem::path> keepSnapshotAside(const std::filesystem::path& file,
                                                const platform::Clock& clock) {
  const std::filesystem::path folder = file.parent_path();
  const UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.valid()) return Error{errnoMessage("open " + folder.string(), errno)};
  const std::string stem =
      file.filename().string() + ".unreadable-" + iso8601Utc(clock.sinceEpoch());
  for (int attempt = 0; attempt < kAsideAttempts; ++attempt) {
    const std::string name = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
    // Never over an earlier one: each damaged snapshot is kept.
    if (renameExclusive(directory.get(), file.filename().c_str(), directory.get(), name.c_str()) ==
        0) {
      if (durableSync(directory.get()) != 0) {
        return Error{errnoMessage("sync " + folder.string(), errno)};
      }
      return folder / name;
    }
    if (errno != EEXIST) return Error{errnoMessage("rename " + file.string(), errno)};
  }
  return Error{"rename " + file.string() + ": every name to keep it under is taken"};
}

Status removeSnapshotFile(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
    return Error{errnoMessage("remove " + file.string(), errno)};
  }
  return Status::success();
}

}  // namespace deskplay::core
