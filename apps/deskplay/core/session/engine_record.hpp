#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

#include "common/result.hpp"
#include "core/basics/app_paths.hpp"

namespace deskplay::core {

// What recognises a started engine once the application that started it is gone: the
// process group it leads (its id is the engine's process id), when it started and in which
// boot, and the same of the application process that started it. A process id the system has
// since given to another program comes with another start time, and a reboot changes the
// boot, so neither is ever taken for the engine or its application.
struct EngineRecord {
  pid_t processGroup = 0;
  std::string startTime;
  std::string bootId;
  pid_t owner = 0;
  std::string ownerStartTime;

  bool operator==(const EngineRecord&) const = default;
};

// The record of the running engine: in the temporary folder, beside the session files and
// the logs. It means something only until the next reboot; unlike the application-support
// folder (backed up, and moved into the data folder by the legacy migration), that folder is
// made for such state.
std::filesystem::path engineRecordFile(const AppPaths& paths);

// The record of the running process `leader`, which leads its own process group and was
// started by this process.
Result<EngineRecord> engineRecordOf(pid_t leader);

// Replaces the record, durably, readable and writable by the user only.
Status writeEngineRecord(const std::filesystem::path& file, const EngineRecord& record);

// Nothing when there is no record. An error when it cannot be read, is not a private file of
// this user (the temporary folder may be shared with other users, who must not be able to
// plant one), or is not a whole record.
Result<std::optional<EngineRecord>> readEngineRecord(const std::filesystem::path& file);

// Removes the record; no record is no error.
Status removeEngineRecord(const std::filesystem::path& file);

}  // namespace deskplay::core
