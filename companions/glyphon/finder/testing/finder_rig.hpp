#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "finder/finder_services.hpp"
#include "finder/testing/recording_glyphon_io.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "protocol/script_host_runner.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::glyphon::testing {

// An executable shell script at `path`.
inline void writeTool(const std::filesystem::path& path, const std::string& body) {
  deskplay::testing::writeFile(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
}

// Finder's services as fakes, in a temporary home: scripted Finder answers, preferences in
// memory, a clock that only moves when slept on, the real PlistBuddy on the home's Finder
// preferences file, and killall and open stand-ins that note their arguments in `toolCalls`.
struct FinderRig {
  FinderRig() {
    std::filesystem::create_directories(home.path() / "Library/Preferences");
    const std::string note = "echo \"$(basename \"$0\") $*\" >> '" + toolCalls.string() + "'\n";
    writeTool(tools.killall, note);
    writeTool(tools.open, note);
  }

  std::string toolCallsText() const {
    return std::filesystem::exists(toolCalls) ? deskplay::testing::readFile(toolCalls) : "";
  }

  deskplay::testing::TempDir home;
  std::filesystem::path toolCalls = home / "tool-calls";
  platform::testing::FakeScriptHost host;
  RecordingOutput output;
  ScriptHostRunner scripts{host, output};
  RecordingLog log;
  platform::testing::FakePreferences preferences;
  platform::testing::FakeClock clock;
  platform::ToolPaths tools{PLISTBUDDY_PATH, home / "killall", home / "open", "/bin/zsh"};
  FinderServices services{scripts, log,   preferences,
                          clock,   tools, finderPreferencesFile(home.path())};
};

}  // namespace deskplay::glyphon::testing
