#include "core/session/leftover_engine.hpp"

#include <signal.h>

#include <string>
#include <thread>

#include "core/session/engine_record.hpp"
#include "core/session/process_identity.hpp"

namespace deskplay::core {

namespace {

constexpr std::chrono::milliseconds kPollInterval{20};

std::string groupText(pid_t group) {
  return "process group " + std::to_string(group);
}

// The process `pid` runs and is the one that started at `startTime`, not a later process the
// system gave its id.
bool runsAsRecorded(pid_t pid, const std::string& startTime) {
  const auto process = processStatus(pid);
  return process && !process->ended && process->startTime == startTime;
}

bool leaderRuns(const EngineRecord& engine) {
  return runsAsRecorded(engine.processGroup, engine.startTime);
}

// Polls until nothing of the group runs or `limit` has passed; true when it ended. Once the
// engine has ended, what is left of its group gets the terminate request too.
bool waitForGroupEnd(const EngineRecord& engine, std::chrono::milliseconds limit,
                     bool terminateTheRest) {
  const pid_t group = engine.processGroup;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (processGroupRuns(group)) {
    if (terminateTheRest && !leaderRuns(engine)) {
      ::kill(-group, SIGTERM);
      terminateTheRest = false;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

bool endEngine(const EngineRecord& engine, const ArcadeLog& log, EngineStopGrace grace) {
  const pid_t group = engine.processGroup;
  // The engine alone first, as when the user stops a game: it puts the desktop back through
  // its companions, which must still be there for that.
  ::kill(group, SIGTERM);
  if (waitForGroupEnd(engine, grace.afterTerminate, true)) {
    log.write("engine: " + groupText(group) + " ended after the terminate request");
    return true;
  }
  log.write("engine: " + groupText(group) + " still ran " +
            std::to_string(grace.afterTerminate.count()) +
            " ms after the terminate request; killing it");
  ::kill(-group, SIGKILL);
  if (waitForGroupEnd(engine, grace.afterKill, false)) {
    log.write("engine: " + groupText(group) + " ended after being killed");
    return true;
  }
  log.write("engine: " + groupText(group) + " still runs after being killed");
  return false;
}

void forget(const std::filesystem::path& recordFile, const ArcadeLog& log) {
  if (const Status removed = removeEngineRecord(recordFile); !removed.ok()) {
    log.write("start-up: " + removed.message());
  }
}

}  // namespace

bool endEngineLeftBehind(const std::filesystem::path& recordFile, const ArcadeLog& log,
                         EngineStopGrace grace) {
  const auto read = readEngineRecord(recordFile);
  if (!read.ok()) {
    log.write("start-up: engine record unusable, removed: " + read.message());
    forget(recordFile, log);
    return true;
  }
  if (!read.value()) return true;
  const EngineRecord& engine = *read.value();
  const pid_t group = engine.processGroup;

  const auto boot = currentBootId();
  const auto leader = processStatus(group);
  if (!boot || *boot != engine.bootId) {
    log.write("start-up: the engine of an earlier run (" + groupText(group) +
              ") ended with the system's restart");
  } else if (!leader) {
    log.write("start-up: the engine of an earlier run (" + groupText(group) + ") has ended");
  } else if (leader->startTime != engine.startTime) {
    // The id has gone to another program since: it is not ours to signal.
    log.write("start-up: process " + std::to_string(group) +
              " is no longer the engine of an earlier run; left alone");
  } else if (!processGroupRuns(group)) {
    log.write("start-up: the engine of an earlier run (" + groupText(group) + ") has ended");
  } else if (runsAsRecorded(engine.owner, engine.ownerStartTime)) {
    // Another instance of the application (on another home) shares this folder: its running
    // game is not left behind, and its record stays.
    log.write("start-up: the engine of " + groupText(group) + " belongs to process " +
              std::to_string(engine.owner) + ", which still runs; left alone");
    return true;
  } else {
    log.write("start-up: the engine of an earlier run still runs (" + groupText(group) +
              "); ending it before the desktop is restored");
    if (!endEngine(engine, log, grace)) {
      log.write("start-up: the desktop stays stashed while that engine runs");
      return false;
    }
  }
  forget(recordFile, log);
  return true;
}

}  // namespace deskplay::core
