#pragma once

#include <QCoreApplication>

#include "app/command_line.hpp"
#include "app/popover_screens.hpp"

namespace deskplay::app {

// Runs the instance until it quits: takes the instance lock, starts the session stores,
// listens for commands, shows the menu-bar interface with `screens` in popover mode, and prints
// "DESKPLAY_READY <socket>" on standard output once commands are taken. Quitting (the menu, or
// SIGTERM, SIGINT, SIGHUP) stops a running game first and waits, within a grace period, for the
// desktop to be back. Returns the process's exit status.
int runApplication(QCoreApplication& application, RunMode mode, const PopoverScreens& screens);

// Sends one command to the running instance and prints the outcome. Returns the exit status.
// A link (openUrl) starts an instance when none runs and is handed to it once it listens.
int runControlCommand(const ControlCommand& command);

// Registers this executable for deskplay:// links in the user's applications folder and prints
// the entry's path. Returns the exit status.
int runInstallUrlHandler();

}  // namespace deskplay::app
