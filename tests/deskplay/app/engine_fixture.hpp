#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/basics/app_paths.hpp"
#include "core/catalog/game.hpp"
#include "core/input/input_socket.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/session/owned_main_loop_timers.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_clock.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "platform/testing/fake_script_host.hpp"
#include "platform/testing/fake_windows.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {

// A private home, temporary folder and application bundle in which a supervisor runs the
// fake engine, in the packaged layout (the bundle's node is the fake engine) or the
// development one (a checkout above the bundle, and a login shell whose PATH starts with a
// folder whose node is the fake engine).
class EngineFixture {
 public:
  enum class Layout { packaged, development };

  explicit EngineFixture(Layout layout);

  core::AppPaths paths() const { return paths_; }
  const std::filesystem::path& home() const { return home_; }
  std::filesystem::path desktop() const { return paths_.desktop(); }
  std::filesystem::path stash() const { return paths_.stashDirectory(); }
  std::filesystem::path resources() const { return paths_.resources(); }
  const std::optional<std::filesystem::path>& checkout() const { return checkout_; }
  std::filesystem::path recordDir() const { return root_ / "engine-record"; }

  // A game of the fixture's layout.
  core::Game game(const std::string& id = "snake") const;

  // The environment engines inherit: this process's, with the private folders and the fake
  // engine's settings (FAKE_ENGINE_PHASES, FAKE_ENGINE_END, …).
  QProcessEnvironment environment(const std::map<std::string, std::string>& engine = {}) const;

  std::unique_ptr<core::GameSupervisor> makeSupervisor(
      const QProcessEnvironment& environment, core::GameSupervisor::SessionTokenSource token = {});

  // What the engine recorded.
  std::vector<std::string> engineArguments() const;
  std::map<std::string, std::string> engineEnvironment() const;
  std::filesystem::path engineWorkingDirectory() const;
  std::string engineDesktopListing() const;
  int termsReceived() const;
  bool engineStarted() const;

  // The session directories now in the temporary folder.
  std::vector<std::filesystem::path> sessionDirectories() const;

  platform::testing::FakePreferences preferences;
  platform::testing::FakeWorkspace workspace;
  platform::testing::FakeWindows windows;
  platform::testing::FakeScriptHost scripts;
  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakeClock clock;
  // After the fakes, so that a goodbye still pending goes before the windows it holds.
  core::OwnedMainLoopTimers timers;
  core::InputSocket inputSocket;

 private:
  TempDir root_;
  std::filesystem::path home_;
  core::AppPaths paths_;
  std::optional<std::filesystem::path> checkout_;
  std::filesystem::path fakeBin_;
};

// The fake engine script beside this test's sources.
std::filesystem::path fakeEngineScript();

// Runs the event loop until `done` holds or `seconds` pass; false when it never held.
bool waitUntil(const std::function<bool()>& done, int seconds = 20);

}  // namespace deskplay::testing
