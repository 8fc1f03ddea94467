#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/account/account_store.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/settings/login_item.hpp"
#include "core/settings/server_config.hpp"
#include "core/settings/sound_setting.hpp"
#include "engine_fixture.hpp"
#include "host_stores.hpp"
#include "platform/testing/fake_keychain.hpp"
#include "platform/testing/fake_login_items.hpp"
#include "support/fake_http_server.hpp"
#include "ui/models/menu_router.hpp"

namespace deskplay::ui::testing {

// One game folder of the bundle, as its manifest says it: the fields the screens show. A
// solo arcade game unless told otherwise.
struct TestGame {
  TestGame(std::string gameID, std::string gameName)
      : id(std::move(gameID)), name(std::move(gameName)) {}

  TestGame& in(std::string gameSection) {
    section = std::move(gameSection);
    return *this;
  }
  TestGame& launching(std::string mode) {
    launch = std::move(mode);
    return *this;
  }
  TestGame& at(int position) {
    order = position;
    return *this;
  }
  TestGame& withMultiplayer(std::string json) {
    multiplayerJson = std::move(json);
    return *this;
  }
  TestGame& withControls(std::string json) {
    controlsJson = std::move(json);
    return *this;
  }
  TestGame& withGlyph(std::vector<std::string> rows) {
    glyph = std::move(rows);
    return *this;
  }

  std::string id;
  std::string name;
  std::string section = "arcade";
  std::string launch = "solo";
  int order = 0;
  // The "multiplayer" object's JSON, or empty for none.
  std::string multiplayerJson;
  std::string controlsJson = "[]";
  std::vector<std::string> glyph = {"#.#", ".#."};
};

// The stores the popover shows, built over the platform fakes in a private home whose bundle
// runs the fake engine (which waits for its terminate request). Keyboard control starts
// granted; the room server is the hosted one. The sound switch's announcements are kept in
// `mutedAnnouncements`.
struct MenuTestStores {
  MenuTestStores();
  // Stops a game still running and waits for its end.
  ~MenuTestStores();

  // Adds a game folder to the bundle; refreshCatalog() shows it.
  void addGame(const TestGame& game);
  void refreshCatalog();
  // Grants or takes away keyboard control, as the key tap sees it.
  void setTrusted(bool trusted);
  // Stores a session token that `roomServer` knows as Ada's account and points the account
  // store at that server; the settings still show the hosted server, so only the account can
  // unlock online play.
  void storeSessionKnownTo(deskplay::testing::FakeHttpServer& roomServer);
  // The arguments the engine got after the game's folder, once it has started.
  std::vector<std::string> engineArguments();
  // The stores as the router takes them.
  MenuRouter::Stores routerStores();
  // The "perms: …" lines of the application log, in order.
  std::vector<std::string> permissionLogLines() const;

  deskplay::testing::EngineFixture fixture;
  // The key tap, hotkeys, permissions and data folder over their fakes.
  deskplay::testing::HostStores host{fixture};
  platform::testing::FakeKeychain keychain;
  core::CatalogStore catalog;
  core::AccountStore account;
  core::ServerConfig server;
  platform::testing::FakeLoginItems loginItems;
  core::LoginItem loginItem;
  std::vector<bool> mutedAnnouncements;
  core::SoundSetting sounds;
  std::unique_ptr<core::GameSupervisor> supervisor;
};

}  // namespace deskplay::ui::testing
