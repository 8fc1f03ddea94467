#include "app/command_line.hpp"

namespace deskplay::app {

namespace {

UsageError usageError(const std::string& message) {
  return {"Deskplay: " + message + " (see Deskplay --help)"};
}

Invocation withoutArguments(ControlCommand::Kind kind, const std::vector<std::string>& arguments) {
  if (arguments.size() > 1) return usageError("'" + arguments[0] + "' takes no arguments");
  return ControlCommand{kind, {}, {}, {}};
}

}  // namespace

Invocation parseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return RunApplication{RunMode::popover};
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
    return ControlCommand{ControlCommand::Kind::play,
                          arguments[1],
                          std::vector<std::string>(arguments.begin() + 2, arguments.end()),
                          {}};
  }
  if (first == "URL") {
    if (arguments.size() != 2 || arguments[1].empty()) return usageError("'URL' needs one URL");
    return ControlCommand{ControlCommand::Kind::openUrl, {}, {}, arguments[1]};
  }
  if (first == "sign-in") return withoutArguments(ControlCommand::Kind::signIn, arguments);
  if (first == "sign-out") return withoutArguments(ControlCommand::Kind::signOut, arguments);
  if (first == "refresh") return withoutArguments(ControlCommand::Kind::refresh, arguments);
  if (first == "install-url-handler") {
    if (arguments.size() > 1) return usageError("'install-url-handler' takes no arguments");
    return InstallUrlHandler{};
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
  Deskplay                     run with the menu-bar icon and its popover in the simulated
                               Mac's menu bar (simdesk)
  Deskplay --headless          run without any interface, driven by the commands below
  Deskplay play GAME_ID [ARG...]
                               start a game; ARGs go to its engine ("solo", or "join" CODE)
  Deskplay stop                stop the running game; the desktop is restored when it ends
  Deskplay restore             restore the desktop after a session that did not end cleanly
  Deskplay status              print the state as one JSON object, with "account"
                               ({"state": "signedOut", "pending" or "signedIn", "label",
                               "error", "checking"}) and "serverURL", the room server in use
  Deskplay sign-in             sign in to the room server: opens its sign-in page in the
                               browser ($BROWSER when set, else xdg-open); the page sends the
                               browser back to a deskplay:// link, which finishes it
  Deskplay sign-out            sign out; the stored session is forgotten even offline
  Deskplay refresh             read the account from the room server again; "checking" in
                               the status is true until it is done
  Deskplay URL URL             hand a deskplay:// link to the running instance, starting one
                               when none runs (the desktop runs this for such links)
  Deskplay install-url-handler register this program for deskplay:// links: writes
                               deskplay-url-handler.desktop to
                               ${XDG_DATA_HOME:-~/.local/share}/applications
  Deskplay record-hotkey       record a new stop hotkey: press it with at least one of
                               Control, Option, Shift or Command; Escape cancels. Prints the
                               new hotkey (as "⌃⌥Q") or "cancelled"
  Deskplay --help              print this help

The commands other than install-url-handler talk to the running instance through the socket
"deskplay-control" in $XDG_RUNTIME_DIR. They exit 0 on success, 1 when the instance refuses or none runs, and 2 on
bad usage. Game sessions receive the stored session token as DESKPLAY_SESSION_TOKEN.
)";
}

}  // namespace deskplay::app
