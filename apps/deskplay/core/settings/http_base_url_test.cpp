#include "core/settings/http_base_url.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/settings/server_url.hpp"
#include "platform/testing/fake_preferences.hpp"

namespace deskplay::core {
namespace {

TEST(HttpBaseUrl, RewritesSchemesAndDropsThePath) {
  const struct {
    std::string serverUrl;
    std::optional<std::string> base;  // nothing: the address is refused
    std::string meEndpoint;
  } cases[] = {
      {"wss://rooms.deskplay.app", "https://rooms.deskplay.app",
       "https://rooms.deskplay.app/api/me"},
      {"ws://localhost:8787/rooms/lobby", "http://localhost:8787", "http://localhost:8787/api/me"},
      {"wss://rooms.example.org:8443/", "https://rooms.example.org:8443",
       "https://rooms.example.org:8443/api/me"},
      // Every occurrence is rewritten, also one inside the query.
      {"ws://relay.example.org/x?next=ws://other.example.org",
       "http://relay.example.org?next=http://other.example.org",
       "http://relay.example.org/api/me?next=http://other.example.org"},
      {"wss://relay.example.org/x?next=wss://o.example.org#top",
       "https://relay.example.org?next=https://o.example.org#top",
       "https://relay.example.org/api/me?next=https://o.example.org#top"},
      {"ws://", std::nullopt, ""},
      {"ws://rooms example.org", std::nullopt, ""},
      {"ws://rooms.example.org:99999", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serverUrl);
    const auto base = httpBaseURL(c.serverUrl);
    if (!c.base) {
      ASSERT_FALSE(base.ok());
      EXPECT_EQ(base.message(), "The room server URL isn't a valid address.");
      continue;
    }
    ASSERT_TRUE(base.ok()) << base.message();
    EXPECT_EQ(base.value().toString().toStdString(), *c.base);
    EXPECT_EQ(endpointURL(base.value(), "api/me").toString().toStdString(), c.meEndpoint);
  }
}

TEST(HttpBaseUrl, FollowsTheResolvedServerOnEachCall) {
  platform::testing::FakePreferences preferences;
  ASSERT_TRUE(preferences.setValue(kServerUrlKey, "https://rooms.example.org").ok());
  auto base = httpBaseURL(preferences);
  ASSERT_TRUE(base.ok());
  EXPECT_EQ(base.value().toString().toStdString(), "https://rooms.deskplay.app");

  ASSERT_TRUE(preferences.setValue(kServerUrlKey, " ws://127.0.0.1:9000/ws ").ok());
  base = httpBaseURL(preferences);
  ASSERT_TRUE(base.ok());
  EXPECT_EQ(endpointURL(base.value(), "api/session").toString().toStdString(),
            "http://127.0.0.1:9000/api/session");
}

}  // namespace
}  // namespace deskplay::core
