#pragma once

#include "core/hotkey/hotkey_store.hpp"
#include "core/keys/key_tap.hpp"
#include "core/session/session_host.hpp"
#include "core/settings/data_folder.hpp"
#include "core/settings/permissions_model.hpp"
#include "engine_fixture.hpp"
#include "platform/testing/fake_accessibility.hpp"
#include "platform/testing/fake_event_taps.hpp"
#include "platform/testing/fake_main_loop_timers.hpp"
#include "platform/testing/fake_privacy_checks.hpp"

namespace deskplay::testing {

// The stores a session host starts besides the supervisor and the catalog, over fakes and
// an engine fixture's preferences, workspace and clock. The permissions poll on `timers`,
// which the test moves.
struct HostStores {
  explicit HostStores(EngineFixture& fixture)
      : timers(fixture.clock),
        keyTap({eventTaps, accessibility, privacy, fixture.workspace}),
        hotkeys(fixture.preferences, keyTap),
        permissions(accessibility, privacy, fixture.workspace, timers,
                    {fixture.paths().applicationLog(), fixture.clock}, [this] { ++relaunches; }),
        dataFolder(fixture.paths(), fixture.preferences, fixture.workspace) {}

  core::SessionHost::Stores with(core::GameSupervisor& supervisor, core::CatalogStore& catalog,
                                 core::InputSocket& inputSocket) {
    return {supervisor, catalog, inputSocket, keyTap, hotkeys, permissions, dataFolder};
  }

  platform::testing::FakeEventTaps eventTaps;
  platform::testing::FakeAccessibility accessibility;
  platform::testing::FakePrivacyChecks privacy;
  platform::testing::FakeMainLoopTimers timers;
  // The relaunches the permissions asked for.
  int relaunches = 0;
  core::KeyTap keyTap;
  core::HotkeyStore hotkeys;
  core::PermissionsModel permissions;
  core::DataFolder dataFolder;
};

}  // namespace deskplay::testing
