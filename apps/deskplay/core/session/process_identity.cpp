#include "core/session/process_identity.hpp"

#include <signal.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <thread>

#if defined(__APPLE__)
#include <libproc.h>
#include <sys/proc_info.h>
#include <sys/sysctl.h>

#include <cstring>
#include <vector>
#else
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "common/trim.hpp"
#endif

namespace deskplay::core {

namespace {

// kill() takes 0, -1 and negative groups as "every process of …": never a group of ours.
bool isGroupId(pid_t group) {
  return group > 1;
}

// Some process of the group exists (ended or not) or may: only "no such group" says no.
bool groupMayExist(pid_t group) {
  return ::kill(-group, 0) == 0 || errno != ESRCH;
}

}  // namespace

#if defined(__APPLE__)

std::optional<ProcessStatus> processStatus(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  proc_bsdinfo info{};
  if (::proc_pidinfo(pid, PROC_PIDTBSDINFO, 0, &info, sizeof info) !=
      static_cast<int>(sizeof info)) {
    return std::nullopt;
  }
  return ProcessStatus{
      std::to_string(info.pbi_start_tvsec) + "." + std::to_string(info.pbi_start_tvusec),
      static_cast<pid_t>(info.pbi_pgid), info.pbi_status == SZOMB};
}

std::optional<std::string> currentBootId() {
  char uuid[64] = {};
  std::size_t size = sizeof uuid;
  if (::sysctlbyname("kern.bootsessionuuid", uuid, &size, nullptr, 0) != 0) return std::nullopt;
  std::string id(uuid, ::strnlen(uuid, sizeof uuid));
  if (id.empty()) return std::nullopt;
  return id;
}

bool processGroupRuns(pid_t group) {
  if (!isGroupId(group) || !groupMayExist(group)) return false;
  const int needed = ::proc_listpids(PROC_PGRP_ONLY, static_cast<uint32_t>(group), nullptr, 0);
  if (needed <= 0) return true;
  // Room for processes that start between the two calls.
  std::vector<pid_t> pids(static_cast<std::size_t>(needed) / sizeof(pid_t) + 16);
  const int filled = ::proc_listpids(PROC_PGRP_ONLY, static_cast<uint32_t>(group), pids.data(),
                                     static_cast<int>(pids.size() * sizeof(pid_t)));
  if (filled <= 0) return true;
  pids.resize(static_cast<std::size_t>(filled) / sizeof(pid_t));
  for (const pid_t pid : pids) {
    if (pid == 0) continue;
    const auto status = processStatus(pid);
    if (status && status->processGroup == group && !status->ended) return true;
  }
  return false;
}

#else

namespace {

namespace fs = std::filesystem;

std::optional<std::string> readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

template <class Number>
std::optional<Number> number(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// /proc/<pid>/stat: "pid (command) state ppid pgrp … starttime …". The command may hold
// spaces and parentheses, so the fields are counted from the last ")".
std::optional<ProcessStatus> parseStat(std::string_view stat) {
  const auto close = stat.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> fields;
  std::string_view rest = stat.substr(close + 1);
  while (!rest.empty()) {
    const auto start = rest.find_first_not_of(" \n");
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    const auto end = rest.find_first_of(" \n");
    fields.push_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  }
  // Fields 3 (state), 5 (pgrp) and 22 (starttime), counted from 1 at the pid.
  constexpr std::size_t kState = 0, kGroup = 2, kStartTime = 19;
  if (fields.size() <= kStartTime || fields[kState].size() != 1) return std::nullopt;
  const auto group = number<pid_t>(fields[kGroup]);
  if (!group || !number<unsigned long long>(fields[kStartTime])) return std::nullopt;
  const char state = fields[kState][0];
  return ProcessStatus{std::string(fields[kStartTime]), *group, state == 'Z' || state == 'X'};
}

}  // namespace

std::optional<ProcessStatus> processStatus(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  const auto stat = readText(fs::path("/proc") / std::to_string(pid) / "stat");
  if (!stat) return std::nullopt;
  return parseStat(*stat);
}

std::optional<std::string> currentBootId() {
  const auto text = readText("/proc/sys/kernel/random/boot_id");
  if (!text) return std::nullopt;
  const std::string_view id = trimmedWhitespaceAndNewlines(*text);
  if (id.empty()) return std::nullopt;
  return std::string(id);
}

bool processGroupRuns(pid_t group) {
  if (!isGroupId(group) || !groupMayExist(group)) return false;
  std::error_code error;
  fs::directory_iterator processes("/proc", error);
  // Without the process list the group's existence is all there is to go by.
  if (error) return true;
  for (const fs::directory_entry& entry : processes) {
    const auto pid = number<pid_t>(entry.path().filename().string());
    if (!pid) continue;
    const auto status = processStatus(*pid);
    if (status && status->processGroup == group && !status->ended) return true;
  }
  return false;
}

#endif

bool awaitGroupEnd(pid_t group, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (processGroupRuns(group)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace deskplay::core
