#include "core/settings/server_url.hpp"

#include <gtest/gtest.h>

#include <optional>

#include "platform/testing/fake_preferences.hpp"

namespace deskplay::core {
namespace {

TEST(ResolvedServerUrl, UsesOnlyStoredWebSocketAddresses) {
  const struct {
    std::optional<platform::PreferenceValue> stored;
    std::string resolved;
  } cases[] = {
      {std::nullopt, std::string(kDefaultServerUrl)},
      {"ws://localhost:8787/rooms", "ws://localhost:8787/rooms"},
      {" \twss://rooms.example.org \t", "wss://rooms.example.org"},
      {"https://rooms.example.org", std::string(kDefaultServerUrl)},
      {"WSS://rooms.example.org", std::string(kDefaultServerUrl)},
      {"", std::string(kDefaultServerUrl)},
      {"   ", std::string(kDefaultServerUrl)},
      {"\nws://rooms.example.org", std::string(kDefaultServerUrl)},
      {"ws://rooms.example.org\n", "ws://rooms.example.org\n"},
      {true, std::string(kDefaultServerUrl)},
  };
  for (const auto& c : cases) {
    platform::testing::FakePreferences preferences;
    if (c.stored) {
      ASSERT_TRUE(preferences.setValue(kServerUrlKey, *c.stored).ok());
    }
    EXPECT_EQ(resolvedServerURL(preferences), c.resolved);
  }
}

TEST(ResolvedServerUrl, DefaultIsASecureWebSocketHostWithoutPath) {
  const std::string_view url = kDefaultServerUrl;
  ASSERT_TRUE(url.starts_with("wss://"));
  EXPECT_EQ(url.substr(6).find('/'), std::string_view::npos);
}

}  // namespace
}  // namespace deskplay::core
