#pragma once

#include <QJsonObject>
#include <optional>
#include <string>

#include "app/command_line.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/session/session_host.hpp"

namespace deskplay::app {

// The state the status command prints: "currentGame" (id or null), "lastError" (text or
// null), "games" (the catalog's ids in order), "refreshError" (text or null) and "session"
// ("idle", "running" or "needsAttention").
QJsonObject statusJson(const core::GameSupervisor& supervisor, const core::CatalogStore& catalog);

// Carries out control commands on the session stores, answering with the stores' own texts.
// Main thread.
class AppController {
 public:
  static constexpr const char* kAlreadyRunning = "A game is already running.";
  static constexpr const char* kNothingRunning = "No game is running.";
  static constexpr const char* kStopFirst = "A game is running; stop it first.";

  // The stores must outlive the controller.
  AppController(core::SessionHost& host, core::GameSupervisor& supervisor,
                core::CatalogStore& catalog);

  QJsonObject handle(const ControlCommand& command);

 private:
  std::optional<core::Game> findGame(const std::string& id) const;
  QJsonObject play(const ControlCommand& command);
  QJsonObject stop();
  QJsonObject restore();
  QJsonObject status() const;

  core::SessionHost& host_;
  core::GameSupervisor& supervisor_;
  core::CatalogStore& catalog_;
};

}  // namespace deskplay::app
