#include "core/session/engine_record.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

#include "common/atomic_file.hpp"
#include "common/fd_io.hpp"
#include "common/system_error.hpp"
#include "common/unique_fd.hpp"
#include "core/session/process_identity.hpp"

namespace deskplay::core {

namespace {

// A record is a few dozen bytes; anything much longer is not one.
constexpr std::size_t kMaxRecordBytes = 4096;

Error malformed(const std::filesystem::path& file, std::string_view why) {
  return Error{"engine record " + file.string() + " " + std::string(why)};
}

}  // namespace

std::filesystem::path engineRecordFile(const AppPaths& paths) {
  return paths.temporaryDirectory / "deskplay-engine.json";
}

Result<EngineRecord> engineRecordOf(pid_t leader) {
  const auto status = processStatus(leader);
  if (!status) return Error{"process " + std::to_string(leader) + " cannot be read"};
  const pid_t self = ::getpid();
  const auto owner = processStatus(self);
  if (!owner) return Error{"this process cannot be read"};
  const auto boot = currentBootId();
  if (!boot) return Error{"the boot identity cannot be read"};
  return EngineRecord{leader, status->startTime, *boot, self, owner->startTime};
}

Status writeEngineRecord(const std::filesystem::path& file, const EngineRecord& record) {
  const nlohmann::json json{{"processGroup", record.processGroup},
                            {"startTime", record.startTime},
                            {"bootId", record.bootId},
                            {"owner", record.owner},
                            {"ownerStartTime", record.ownerStartTime}};
  return replaceFileAtomically(file, json.dump() + "\n", 0600);
}

Result<std::optional<EngineRecord>> readEngineRecord(const std::filesystem::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    if (errno == ENOENT) return std::optional<EngineRecord>();
    return Error{errnoMessage("open " + file.string(), errno)};
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return Error{errnoMessage("stat " + file.string(), errno)};
  if (!S_ISREG(info.st_mode)) return malformed(file, "is not a regular file");
  if (info.st_uid != ::geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return malformed(file, "is not a private file of this user");
  }

  std::array<char, kMaxRecordBytes + 1> buffer{};
  std::size_t filled = 0;
  if (readUpTo(fd.get(), buffer.data(), buffer.size(), filled) != 0) {
    return Error{errnoMessage("read " + file.string(), errno)};
  }
  if (filled > kMaxRecordBytes) return malformed(file, "is too long");
  // The parser would take a NUL for the end of the text and accept whatever came before it.
  if (std::memchr(buffer.data(), '\0', filled) != nullptr) return malformed(file, "holds a NUL byte");

  const nlohmann::json json = nlohmann::json::parse(buffer.data(), buffer.data() + filled, nullptr,
                                                    /*allow_exceptions=*/false);
  if (!json.is_object()) return malformed(file, "is not a JSON object");
  const auto processId = [&json](const char* key) -> std::optional<pid_t> {
    const auto value = json.find(key);
    if (value == json.end() || !value->is_number_integer()) return std::nullopt;
    const auto id = value->get<long long>();
    // 0, 1 and negative ids would make a signal reach far more than one process or group.
    if (id <= 1 || id > std::numeric_limits<pid_t>::max()) return std::nullopt;
    return static_cast<pid_t>(id);
  };
  const auto text = [&json](const char* key) -> std::optional<std::string> {
    const auto value = json.find(key);
    if (value == json.end() || !value->is_string() ||
        value->get_ref<const std::string&>().empty()) {
      return std::nullopt;
    }
    return value->get<std::string>();
  };
  const auto group = processId("processGroup");
  const auto start = text("startTime");
  const auto boot = text("bootId");
  const auto owner = processId("owner");
  const auto ownerStart = text("ownerStartTime");
  if (!group || !start || !boot || !owner || !ownerStart) {
    return malformed(file, "lacks a field, or has one of the wrong type or out of range");
  }
  EngineRecord record{*group, *start, *boot, *owner, *ownerStart};
  return std::optional<EngineRecord>(std::move(record));
}

Status removeEngineRecord(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
    return Error{errnoMessage("remove " + file.string(), errno)};
  }
  return Status::success();
}

}  // namespace deskplay::core
