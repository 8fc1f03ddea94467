#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "common/result.hpp"
#include "core/session/engine_launch.hpp"
#include "core/session/session_end.hpp"

namespace deskplay::core {

// Starts `process` as the engine: `command` with `environment`, in a process group of its own
// that it leads, standard input from the null device, standard output and error into
// `gameLog`, which is created empty first (an existing log is truncated). When the log cannot be
// opened the engine keeps the application's own outputs. A symbolic link in the log's place is not
// followed: the log lives in a temporary folder others may write to. Blocks until the program runs
// or has failed to; the error is the system's description of the failure.
Status startEngineProcess(QProcess& process, const EngineCommand& command,
                          const QProcessEnvironment& environment,
                          const std::filesystem::path& gameLog);

// How a finished process ended.
EngineExit engineExit(const QProcess& process);

}  // namespace deskplay::core
