#include "ui/testing/menu_test_stores.hpp"

#include <gtest/gtest.h>

#include <QTest>
#include <fstream>

#include "core/account/session_token.hpp"
#include "core/session/stop_request.hpp"
#include "platform/privacy_checks.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::ui::testing {

namespace {

std::string jsonList(const std::vector<std::string>& rows) {
  std::string json = "[";
  for (const std::string& row : rows) json += (json.size() > 1 ? ",\"" : "\"") + row + "\"";
  return json + "]";
}

}  // namespace

MenuTestStores::MenuTestStores()
    : fixture(deskplay::testing::EngineFixture::Layout::packaged),
      catalog(fixture.paths(), fixture.preferences, fixture.clock,
              platform::simulatedToolPaths(fixture.home() / "sim-tools")),
      account({keychain, fixture.preferences, fixture.workspace}),
      server(fixture.preferences),
      loginItem(loginItems),
      sounds(fixture.preferences, [this](bool muted) { mutedAnnouncements.push_back(muted); }),
      supervisor(fixture.makeSupervisor(fixture.environment({{"FAKE_ENGINE_END", "wait"}}))) {
  host.keyTap.start();
}

MenuTestStores::~MenuTestStores() {
  core::requestEngineStop(*supervisor);
  EXPECT_TRUE(QTest::qWaitFor([&] { return supervisor->currentGame() == std::nullopt; }));
}

void MenuTestStores::addGame(const TestGame& game) {
  const auto folder = fixture.resources() / "games" / game.id;
  std::filesystem::create_directories(folder);
  deskplay::testing::writeFile(folder / (game.id + ".mjs"), "");
  std::string json = R"({"id":")" + game.id + R"(","name":")" + game.name + R"(","entryFile":")" +
                     game.id + R"(.mjs","section":")" + game.section + R"(","launch":")" +
                     game.launch + R"(","order":)" + std::to_string(game.order) +
                     R"(,"controls":)" + game.controlsJson;
  if (!game.multiplayerJson.empty()) json += R"(,"multiplayer":)" + game.multiplayerJson;
  json += R"(,"card":{"gradient":["#3a7bd5","#00d2ff"],"glyph":)" + jsonList(game.glyph) +
          R"(,"palette":{"o":"#ff8800"}}})";
  deskplay::testing::writeFile(folder / "manifest.json", json);
}

void MenuTestStores::refreshCatalog() {
  catalog.refresh();
}

void MenuTestStores::storeSessionKnownTo(deskplay::testing::FakeHttpServer& roomServer) {
  roomServer.route("GET", "/api/me",
                   deskplay::testing::jsonReply(
                       200, R"({"user":{"id":"u1","name":"Ada","email":"ada@example.com"}})"));
  ASSERT_TRUE(fixture.preferences
                  .setValue("serverURL", {"ws://127.0.0.1:" + std::to_string(roomServer.port())})
                  .ok());
  core::storeDeskplaySessionToken(keychain, "session-1");
}

std::vector<std::string> MenuTestStores::engineArguments() {
  EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.engineStarted(); }));
  auto arguments = fixture.engineArguments();
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

MenuRouter::Stores MenuTestStores::routerStores() {
  return {host.keyTap, *supervisor,      catalog,      account,         server,           loginItem,
          sounds,      host.permissions, host.hotkeys, host.dataFolder, fixture.workspace};
}

std::vector<std::string> MenuTestStores::permissionLogLines() const {
  std::vector<std::string> lines;
  std::ifstream log(fixture.paths().applicationLog());
  for (std::string line; std::getline(log, line);) {
    const auto found = line.find("] perms: ");
    if (found != std::string::npos) lines.push_back(line.substr(found + 2));
  }
  return lines;
}

void MenuTestStores::setTrusted(bool trusted) {
  host.accessibility.setTrusted(trusted);
  host.privacy.setAccess(trusted ? platform::PrivacyChecks::Access::granted
                                 : platform::PrivacyChecks::Access::denied);
  host.keyTap.start();
}

}  // namespace deskplay::ui::testing
