#pragma once

#include <QCoreApplication>
#include <functional>
#include <string>

#include "protocol/log_lines.hpp"

namespace deskplay::glyphon {

// Runs `application`'s main loop while the command thread reads lines from `inputFd`: each
// line is handled by `handle` on the main thread, where every command's state lives, and the
// next line is read only once it returned. The loop ends with the input or at "EXIT". False,
// at once, when the command thread cannot start.
bool runCommandLoop(QCoreApplication& application, int inputFd, LogLines& log,
                    const std::function<void(const std::string& line)>& handle);

}  // namespace deskplay::glyphon
