#include "stash_controller.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "common/canonical_order.hpp"
#include "common/durable_sync.hpp"
#include "common/exclusive_rename.hpp"
#include "common/system_error.hpp"
#include "common/utf8.hpp"
#include "entry_name.hpp"
#include "failure.hpp"
#include "identity.hpp"
#include "stash_journal.hpp"

namespace deskplay::burrowd {

namespace {

constexpr int kDirectoryOpenFlags = O_RDONLY | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC;

Json identityJson(const IdentityMap& identity) {
  Json object = Json::object();
  for (const auto& [key, value] : identity) object[key] = value;
  return object;
}

Result<UniqueFd> openDirectory(const std::string& path, std::string_view label) {
  UniqueFd fd(::open(path.c_str(), kDirectoryOpenFlags));
  if (Status opened = checked(fd.get(), label); !opened.ok()) return failure(opened);
  return fd;
}

Result<IdentityMap> directoryIdentity(const UniqueFd& fd, std::string_view label) {
  FileStatus status;
  if (Status stat = checked(statDescriptor(fd.get(), status), label); !stat.ok()) {
    return failure(stat);
  }
  return identityOf(status);
}

Status lockDirectory(const UniqueFd& fd, std::string_view label) {
  // Never wait: a second controller on the same folders must fail at once.
  if (Status locked = checked(::flock(fd.get(), LOCK_EX | LOCK_NB), label); !locked.ok()) {
    return failure(locked);
  }
  return Status::success();
}

// Closes a directory stream on every path out of a listing.
struct DirectoryStream {
  DIR* stream;
  ~DirectoryStream() { ::closedir(stream); }
};

}  // namespace

StashController::StashController(UniqueFd desktop, UniqueFd stash, std::string desktopPath,
                                 std::string stashPath, IdentityMap desktopID, IdentityMap stashID)
    : desktop_(std::move(desktop)),
      stash_(std::move(stash)),
      desktopPath_(std::move(desktopPath)),
      stashPath_(std::move(stashPath)),
      desktopID_(std::move(desktopID)),
      stashID_(std::move(stashID)) {}

Result<StashController> StashController::open(const std::string& desktopPath,
                                              const std::string& stashPath) {
  Result<UniqueFd> desktop = openDirectory(desktopPath, "open desktop");
  if (!desktop.ok()) return desktop.error();
  Result<UniqueFd> stash = openDirectory(stashPath, "open stash");
  if (!stash.ok()) return stash.error();

  Result<IdentityMap> desktopID = directoryIdentity(desktop.value(), "stat desktop");
  if (!desktopID.ok()) return desktopID.error();
  Result<IdentityMap> stashID = directoryIdentity(stash.value(), "stat stash");
  if (!stashID.ok()) return stashID.error();

  if (desktopID.value().at("dev") != stashID.value().at("dev")) {
    return failure("Desktop and stash must be on the same filesystem");
  }
  if (desktopID.value().at("ino") == stashID.value().at("ino")) {
    return failure("Desktop and stash must differ");
  }

  if (Status locked =
          lockDirectory(desktop.value(), "lock desktop (another stash operation may be active)");
      !locked.ok()) {
    return locked.error();
  }
  if (Status locked =
          lockDirectory(stash.value(), "lock stash (another stash operation may be active)");
      !locked.ok()) {
    return locked.error();
  }
  return StashController(std::move(desktop).value(), std::move(stash).value(), desktopPath,
                         stashPath, std::move(desktopID).value(), std::move(stashID).value());
}

Json StashController::readyValue() const {
  return Json{{"desktop", identityJson(desktopID_)}, {"stash", identityJson(stashID_)}};
}

Status StashController::validateRoots() const {
  for (const auto* root : {&desktopPath_, &stashPath_}) {
    FileStatus status;
    if (Status stat = checked(statAt(AT_FDCWD, root->c_str(), SymlinkPolicy::NoFollow, status),
                              "validate directory");
        !stat.ok()) {
      return failure(stat);
    }
    const IdentityMap& recorded = root == &desktopPath_ ? desktopID_ : stashID_;
    if (identityOf(status) != recorded) return failure("Directory changed during stash operation");
  }
  return Status::success();
}

Result<ActionValue> StashController::handle(const Request& request) const {
  if (Status roots = validateRoots(); !roots.ok()) return roots.error();
  const std::string& action = request.action;
  if (action == "read") return readJournal();
  Result<Json> value = action == "write"  ? writeJournal(request)
                       : action == "list" ? list(request)
                       : action == "stat" ? stat(request)
                       : action == "move" ? move(request)
                                          : Result<Json>(failure("Unknown stash command"));
  if (!value.ok()) return value.error();
  return ActionValue(std::move(value).value());
}

Result<int> StashController::directory(std::string_view side) const {
  if (side == "desktop") return desktop_.get();
  if (side == "stash") return stash_.get();
  return failure("Invalid directory side");
}

Result<std::optional<FileStatus>> StashController::metadata(const Endpoint& endpoint) const {
  if (Status name = checkBasename(endpoint.name); !name.ok()) return name.error();
  Result<int> dir = directory(endpoint.side);
  if (!dir.ok()) return dir.error();
  FileStatus status;
  const int result = statAt(dir.value(), endpoint.name.c_str(), SymlinkPolicy::NoFollow, status);
  if (result < 0 && errno == ENOENT) return std::optional<FileStatus>();
  if (Status stat = checked(result, "stat entry"); !stat.ok()) return failure(stat);
  return std::optional<FileStatus>(status);
}

Result<Json> StashController::list(const Request& request) const {
  if (!request.endpoint) return failure("Missing directory");
  Result<int> dir = directory(request.endpoint->side);
  if (!dir.ok()) return dir.error();

  const int duplicate = ::dup(dir.value());
  if (Status dup = checked(duplicate, "duplicate directory descriptor"); !dup.ok()) {
    return failure(dup);
  }
  DIR* opened = ::fdopendir(duplicate);
  if (opened == nullptr) {
    ::close(duplicate);
    return failure("Cannot list directory");
  }
  const DirectoryStream stream{opened};
  // The duplicate shares its read position with the long-lived descriptor.
  ::rewinddir(stream.stream);

  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(stream.stream)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (!isValidUtf8(name)) {
      return failure("Directory contains a non-UTF-8 name; refusing lossy decoding");
    }
    names.emplace_back(name);
  }
  if (errno != 0) return failure(checked(-1, "read directory"));

  sortByCanonicalForm(names);
  return Json(std::move(names));
}

Result<Json> StashController::stat(const Request& request) const {
  if (!request.endpoint) return failure("Missing endpoint");
  Result<std::optional<FileStatus>> entry = metadata(*request.endpoint);
  if (!entry.ok()) return entry.error();
  if (!entry.value()) return Json(nullptr);
  return identityJson(identityOf(*entry.value()));
}

Result<Json> StashController::move(const Request& request) const {
  if (!request.from || !request.to || !request.identity) return failure("Missing move intent");
  const Endpoint& from = *request.from;
  const Endpoint& to = *request.to;
  if (Status name = checkBasename(from.name); !name.ok()) return name.error();
  if (Status name = checkBasename(to.name); !name.ok()) return name.error();
  if (from.name == kManifestName || to.name == kManifestName) {
    return failure("Cannot move journal metadata");
  }

  Result<std::optional<FileStatus>> source = metadata(from);
  if (!source.ok()) return source.error();
  if (!source.value() || identityOf(*source.value()) != *request.identity) {
    return failure("Move source identity changed");
  }

  Result<int> sourceDir = directory(from.side);
  if (!sourceDir.ok()) return sourceDir.error();
  Result<int> targetDir = directory(to.side);
  if (!targetDir.ok()) return targetDir.error();

  if (Status renamed = checked(
          renameExclusive(sourceDir.value(), from.name.c_str(), targetDir.value(), to.name.c_str()),
          "exclusive move");
      !renamed.ok()) {
    return failure(renamed);
  }
  if (Status sync = checked(durableSync(sourceDir.value()), "sync move source directory");
      !sync.ok()) {
    return failure(sync);
  }
  if (Status sync = checked(durableSync(targetDir.value()), "sync move target directory");
      !sync.ok()) {
    return failure(sync);
  }

  Result<std::optional<FileStatus>> target = metadata(to);
  if (!target.ok()) return target.error();
  if (!target.value() || identityOf(*target.value()) != *request.identity) {
    return failure("Moved file identity changed; recovery required");
  }
  return Json(nullptr);
}

Result<ActionValue> StashController::readJournal() const {
  Result<std::optional<JournalText>> text = StashJournal(stash_.get()).read();
  if (!text.ok()) return text.error();
  if (!text.value()) return ActionValue(Json(nullptr));
  return ActionValue(std::move(*text.value()));
}

Result<Json> StashController::writeJournal(const Request& request) const {
  if (!request.text) return failure("Missing journal");
  if (Status written = StashJournal(stash_.get()).write(*request.text); !written.ok()) {
    return written.error();
  }
  return Json(nullptr);
}

}  // namespace deskplay::burrowd
