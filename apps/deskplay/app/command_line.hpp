#pragma once

#include <string>
#include <variant>
#include <vector>

namespace deskplay::app {

// How the application runs: with its menu-bar popover, or without any interface for
// automation.
enum class RunMode { popover, headless };

struct RunApplication {
  RunMode mode = RunMode::popover;
};

// A request to the running instance.
struct ControlCommand {
  enum class Kind { play, stop, restore, status, recordHotkey, openUrl, signIn, signOut, refresh };
  Kind kind = Kind::status;
  std::string gameId;
  std::vector<std::string> args;
  // The URL an openUrl hands over, as given.
  std::string url;
};

struct ShowHelp {};

// Registers this executable as the user's handler of deskplay:// links.
struct InstallUrlHandler {};

struct UsageError {
  std::string message;
};

using Invocation =
    std::variant<RunApplication, ControlCommand, ShowHelp, InstallUrlHandler, UsageError>;

// `arguments` without the program name.
Invocation parseCommandLine(const std::vector<std::string>& arguments);

// The text --help prints.
std::string usageText();

}  // namespace deskplay::app
