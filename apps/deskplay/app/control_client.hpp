#pragma once

#include <QJsonObject>
#include <filesystem>

#include "app/command_line.hpp"
#include "common/result.hpp"

namespace deskplay::app {

// Sends `command` to the instance listening at `socket` and returns its reply object; an
// error of kind unavailable when no instance answers there.
Result<QJsonObject> sendControlCommand(const std::filesystem::path& socket,
                                       const ControlCommand& command);

}  // namespace deskplay::app
