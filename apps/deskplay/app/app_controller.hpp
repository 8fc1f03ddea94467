#pragma once

#include <QJsonObject>
#include <optional>
#include <string>

#include "app/command_line.hpp"
#include "app/control_server.hpp"
#include "core/account/account_store.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/hotkey/hotkey_store.hpp"
#include "core/keys/key_tap.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/session/session_host.hpp"

namespace deskplay::app {

// The state the status command prints: "currentGame" (id or null), "lastError" (text or
// null), "games" (the catalog's ids in order), "refreshError" (text or null), "session"
// ("idle", "running" or "needsAttention"), "stopHotkey" (as shown, "⌃⌥Q") and "keyTap"
// ({"installed","trusted","capturing","recording": booleans, "count","lastKeyCode": numbers}),
// "account" (accountJson) and "serverURL" (`serverURL`, the room server in use).
QJsonObject statusJson(const core::GameSupervisor& supervisor, const core::CatalogStore& catalog,
                       const core::KeyTap& keyTap, const core::HotkeyStore& hotkeys,
                       const core::AccountStore& account, const std::string& serverURL);

// The account as the status shows it: "state" ("signedOut", "pending" or "signedIn"),
// "label" (the account's name while signed in, else null), "error" (text or null) and
// "checking" (boolean).
QJsonObject accountJson(const core::AccountStore& account);

// A hotkey as the record-hotkey command answers it: its stored fields and "display".
QJsonObject hotkeyJson(const core::Hotkey& hotkey);

// Carries out control commands on the session stores, answering with the stores' own texts.
// Main thread.
class AppController final : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kAlreadyRunning = "A game is already running.";
  static constexpr const char* kNothingRunning = "No game is running.";
  static constexpr const char* kStopFirst = "A game is running; stop it first.";
  static constexpr const char* kAlreadyRecording = "A stop hotkey is already being recorded.";
  static constexpr const char* kNoKeyTap =
      "Deskplay has no keyboard access, so it cannot record a hotkey.";

  // The stores and ports the commands use; all must outlive the controller.
  struct Stores {
    core::SessionHost& host;
    core::GameSupervisor& supervisor;
    core::CatalogStore& catalog;
    core::KeyTap& keyTap;
    core::HotkeyStore& hotkeys;
    core::AccountStore& account;
    platform::Preferences& preferences;
  };

  explicit AppController(Stores stores, QObject* parent = nullptr);

  // Answers at once, except a recording: that is answered when it ends, and cancelled when
  // its client leaves first.
  void handle(const ControlCommand& command, const ControlReply& reply);

 private:
  std::optional<core::Game> findGame(const std::string& id) const;
  QJsonObject play(const ControlCommand& command);
  QJsonObject stop();
  QJsonObject restore();
  QJsonObject status() const;
  QJsonObject signIn();
  void recordHotkey(const ControlReply& reply);
  void recordingFinished(const std::optional<core::Hotkey>& recorded);

  core::SessionHost& host_;
  core::GameSupervisor& supervisor_;
  core::CatalogStore& catalog_;
  core::KeyTap& keyTap_;
  core::HotkeyStore& hotkeys_;
  core::AccountStore& account_;
  platform::Preferences& preferences_;
  // The client waiting for the recording it started.
  std::optional<ControlReply> recordingReply_;
};

}  // namespace deskplay::app
