#include "core/settings/server_config.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <optional>
#include <string>

#include "core/settings/server_url.hpp"
#include "platform/testing/fake_preferences.hpp"

namespace deskplay::core {
namespace {

using platform::PreferenceValue;
using platform::testing::FakePreferences;

std::optional<std::string> storedUrl(FakePreferences& preferences) {
  const auto value = preferences.value(kServerUrlKey);
  if (!value) return std::nullopt;
  const auto* text = value->get<std::string>();
  return text ? std::optional<std::string>(*text) : std::nullopt;
}

TEST(ServerConfig, StartsFromTheStoredTextAsStored) {
  const struct {
    std::optional<PreferenceValue> stored;
    std::string urlString;
    bool isDefault;
    bool isValid;
  } cases[] = {
      {std::nullopt, "wss://rooms.deskplay.app", true, true},
      {" ws://localhost:8787 ", " ws://localhost:8787 ", false, true},
      {"\twss://rooms.deskplay.app ", "\twss://rooms.deskplay.app ", true, true},
      {"https://rooms.example.org", "https://rooms.example.org", false, false},
      {"WSS://rooms.example.org", "WSS://rooms.example.org", false, false},
      {"wss://Rooms.Deskplay.app", "wss://Rooms.Deskplay.app", false, true},
      {"ws://rooms.example.org\n", "ws://rooms.example.org\n", false, true},
      {"\nws://rooms.example.org", "\nws://rooms.example.org", false, false},
      {false, "wss://rooms.deskplay.app", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.urlString);
    FakePreferences preferences;
    if (c.stored) {
      ASSERT_TRUE(preferences.setValue(kServerUrlKey, *c.stored).ok());
    }
    const ServerConfig config(preferences);
    EXPECT_EQ(config.urlString().toStdString(), c.urlString);
    EXPECT_EQ(config.isDefault(), c.isDefault);
    EXPECT_EQ(config.isValid(), c.isValid);
  }
}

TEST(ServerConfig, CommitStoresTheTrimmedTextOrRemovesTheKey) {
  const struct {
    std::string typed;
    std::optional<std::string> stored;
    std::string urlString;
    std::string resolved;
  } cases[] = {
      {"  ws://localhost:8787/rooms\t", "ws://localhost:8787/rooms", "ws://localhost:8787/rooms",
       "ws://localhost:8787/rooms"},
      {" wss://rooms.deskplay.app ", std::nullopt, "wss://rooms.deskplay.app",
       "wss://rooms.deskplay.app"},
      {"   ", std::nullopt, "wss://rooms.deskplay.app", "wss://rooms.deskplay.app"},
      {"", std::nullopt, "wss://rooms.deskplay.app", "wss://rooms.deskplay.app"},
      // Stored as typed, then ignored by everything that connects.
      {" https://rooms.example.org", "https://rooms.example.org", "https://rooms.example.org",
       "wss://rooms.deskplay.app"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    FakePreferences preferences;
    ASSERT_TRUE(preferences.setValue(kServerUrlKey, "ws://old.example.org").ok());
    ServerConfig config(preferences);
    config.setUrlString(QString::fromStdString(c.typed));
    config.commit();
    EXPECT_EQ(storedUrl(preferences), c.stored);
    EXPECT_EQ(preferences.value(kServerUrlKey).has_value(), c.stored.has_value());
    EXPECT_EQ(config.urlString().toStdString(), c.urlString);
    EXPECT_EQ(resolvedServerURL(preferences), c.resolved);
  }
}

TEST(ServerConfig, TypingAloneChangesNothingStored) {
  FakePreferences preferences;
  ServerConfig config(preferences);
  QSignalSpy changes(&config, &ServerConfig::urlStringChanged);
  config.setUrlString("ws://typed.example.org");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_FALSE(preferences.value(kServerUrlKey).has_value());
  EXPECT_EQ(resolvedServerURL(preferences), "wss://rooms.deskplay.app");
}

TEST(ServerConfig, ResetRemovesTheKeyAndShowsTheDefault) {
  FakePreferences preferences;
  ASSERT_TRUE(preferences.setValue(kServerUrlKey, "ws://own.example.org").ok());
  ServerConfig config(preferences);
  QSignalSpy changes(&config, &ServerConfig::urlStringChanged);
  config.reset();
  EXPECT_FALSE(preferences.value(kServerUrlKey).has_value());
  EXPECT_EQ(config.urlString().toStdString(), "wss://rooms.deskplay.app");
  EXPECT_TRUE(config.isDefault());
  EXPECT_EQ(changes.count(), 1);
}

}  // namespace
}  // namespace deskplay::core
