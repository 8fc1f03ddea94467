#include "app/command_line.hpp"

namespace deskplay::app {

namespace {

UsageError usageError(const std::string& message) {
  return {"Deskplay: " + message + " (see Deskplay --help)"};
}

Invocation withoutArguments(ControlCommand::Kind kind, const std::vector<std::string>& arguments) {
  if (arguments.size() > 1) return usageError("'" + arguments[0] + "' takes no arguments");
  return ControlCommand{kind, {}, {}};
}

}  // namespace

Invocation parseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return RunApplication{RunMode::tray};
  const std::string& first = arguments[0];
  if (first == "--help" || first == "-h" || first == "help") {
    if (arguments.size() > 1) return usageError("'" + first + "' takes no arguments");
    return ShowHelp{};
  }
  if (first == "--headless") {
    if (arguments.size() > 1) return usageError("'--headless' takes no arguments");
    return RunApplication{RunMode::headless};
  }
  if (first == "play") {
    if (arguments.size() < 2 || arguments[1].empty()) return usageError("'play' needs a game id");
    return ControlCommand{ControlCommand::Kind::play, arguments[1],
                          std::vector<std::string>(arguments.begin() + 2, arguments.end())};
  }
  if (first == "stop") return withoutArguments(ControlCommand::Kind::stop, arguments);
  if (first == "restore") return withoutArguments(ControlCommand::Kind::restore, arguments);
  if (first == "status") return withoutArguments(ControlCommand::Kind::status, arguments);
  if (first == "record-hotkey") {
    return withoutArguments(ControlCommand::Kind::recordHotkey, arguments);
  }
  if (first.starts_with("-")) return usageError("unknown option '" + first + "'");
  return usageError("unknown command '" + first + "'");
}

std::string usageText() {
  return R"(Usage:
  Deskplay                     run in the tray (without a display, as --headless)
  Deskplay --headless          run without any interface, driven by the commands below
  Deskplay play GAME_ID [ARG...]
                               start a game; ARGs go to its engine ("solo", or "join" CODE)
  Deskplay stop                stop the running game; the desktop is restored when it ends
  Deskplay restore             restore the desktop after a session that did not end cleanly
  Deskplay status              print the state as one JSON object
  Deskplay record-hotkey       record a new stop hotkey: press it with at least one of
                               Control, Option, Shift or Command; Escape cancels. Prints the
                               new hotkey (as "⌃⌥Q") or "cancelled"
  Deskplay --help              print this help

The commands talk to the running instance through the socket "deskplay-control" in
$XDG_RUNTIME_DIR. They exit 0 on success, 1 when the instance refuses or none runs, and 2 on
bad usage.
)";
}

}  // namespace deskplay::app
