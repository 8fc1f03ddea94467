#include "sim/simdesk/ctl/finder_tools.hpp"

#include <fcntl.h>
#include <spawn.h>

#include <cctype>
#include <filesystem>
#include <ostream>

#include "sim/simdesk/protocol/messages.hpp"

extern char** environ;

namespace deskplay::simdesk::ctl {

namespace {

using nlohmann::json;
using protocol::Effect;

// Exit statuses of the macOS tools.
constexpr int kSucceeded = 0;
constexpr int kFailed = 1;

// -9, -KILL, -TERM…: killall's signal option, which changes nothing for Finder here.
bool isSignalOption(const std::string& argument) {
  if (argument.size() < 2 || argument[0] != '-') return false;
  for (std::size_t at = 1; at < argument.size(); ++at) {
    const auto c = static_cast<unsigned char>(argument[at]);
    if (!std::isdigit(c) && !std::isupper(c)) return false;
  }
  return true;
}

bool namesFinder(const std::string& application) {
  return application == "Finder" || application == "Finder.app" ||
         application.ends_with("/Finder.app");
}

// Starts a bundle's executable on its own, as Launch Services starts an application: in a
// new session, without our standard streams, not waited for.
bool launchBundle(const std::filesystem::path& bundle) {
  const std::filesystem::path executable =
      bundle / "Contents" / "MacOS" / bundle.filename().replace_extension();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int stream = 0; stream < 3; ++stream) {
    posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                     stream == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  const std::string program = executable.string();
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  pid_t child = 0;
  const int failed = ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return failed == 0;
}

}  // namespace

int runKillall(const std::vector<std::string>& arguments, protocol::Connection& connection,
               std::ostream& err) {
  std::vector<std::string> names;
  for (const std::string& argument : arguments) {
    if (isSignalOption(argument)) continue;
    if (argument.starts_with("-")) {
      err << "usage: killall [-delmsvqz] [-help] [-I] [-u user] [-t tty] [-c cmd] [-SIGNAL] "
             "[cmd]...\n";
      return kFailed;
    }
    names.push_back(argument);
  }
  if (names.empty()) {
    err << "usage: killall [-delmsvqz] [-help] [-I] [-u user] [-t tty] [-c cmd] [-SIGNAL] "
           "[cmd]...\n";
    return kFailed;
  }
  bool matched = false;
  for (const std::string& name : names) {
    // Only Finder belongs to the simulated desktop; nothing else can match.
    if (name != "Finder") continue;
    if (connection.request(protocol::requests::finderQuit, {{"relaunch", true}}, Effect::mayChange)
            .ok()) {
      matched = true;
    }
  }
  if (!matched) {
    err << "No matching processes belonging to you were found\n";
    return kFailed;
  }
  return kSucceeded;
}

int runOpen(const std::vector<std::string>& arguments, protocol::Connection& connection,
            std::ostream& err) {
  std::optional<std::string> application;
  std::vector<std::string> files;
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string& argument = arguments[at];
    if (argument == "-a" && at + 1 < arguments.size()) {
      application = arguments[++at];
    } else if (argument == "-n" || argument == "-g" || argument == "-F") {
      // A new instance, in the background, without restoring windows: every start here is
      // a fresh one and nothing comes to the front but Finder.
    } else if (argument.starts_with("-")) {
      err << "Usage: open [-e] [-t] [-f] [-W] [-R] [-n] [-g] [-h] [-s <partial SDK name>]"
             "[-b <bundle identifier>] [-a <application>] [-u URL] [filenames] [--args "
             "arguments]\n";
      return kFailed;
    } else {
      files.push_back(argument);
    }
  }
  if (application) {
    if (!namesFinder(*application) ||
        !connection.request(protocol::requests::finderLaunch, json::object(), Effect::mayChange)
             .ok()) {
      err << "Unable to find application named '" << *application << "'\n";
      return kFailed;
    }
    return files.empty() ? kSucceeded : kFailed;
  }
  if (files.empty()) {
    err << "Usage: open [-e] [-t] [-f] [-W] [-R] [-n] [-g] [-h] [-s <partial SDK name>]"
           "[-b <bundle identifier>] [-a <application>] [-u URL] [filenames] [--args arguments]\n";
    return kFailed;
  }
  for (const std::string& file : files) {
    const std::filesystem::path path = std::filesystem::absolute(file).lexically_normal();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
      err << "The file " << path.string() << " does not exist.\n";
      return kFailed;
    }
    const std::filesystem::path bundle = path.filename().empty() ? path.parent_path() : path;
    if (bundle.extension() != ".app" || !launchBundle(bundle)) {
      err << "No application knows how to open " << path.string() << ".\n";
      return kFailed;
    }
  }
  return kSucceeded;
}

}  // namespace deskplay::simdesk::ctl
