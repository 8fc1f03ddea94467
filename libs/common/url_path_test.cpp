#include "common/url_path.hpp"

#include <gtest/gtest.h>

namespace deskplay {
namespace {

TEST(UrlPath, GivesTheDecodedPathOrNothing) {
  struct Case {
    std::string text;
    std::optional<std::string> path;
  };
  const Case cases[] = {
      {"file:///Users/me/Desktop/a.txt", "/Users/me/Desktop/a.txt"},
      {"file:///Users/me/Desktop/a%20b%2Fc.txt", "/Users/me/Desktop/a b/c.txt"},
      {"file:///Users/me/Desktop/Games/", "/Users/me/Desktop/Games"},
      {"file:///", "/"},
      {"file://localhost/tmp/x", "/tmp/x"},
      {"file:///tmp/na%C3%AFve", "/tmp/naïve"},
      {"https://example.com/a/b?q=1#top", "/a/b"},
      {"https://example.com", ""},
      {"notes.txt", "notes.txt"},
      {"/tmp/plain", "/tmp/plain"},
      {"", std::nullopt},
      {"file:///tmp/a b", std::nullopt},
      {"file:///tmp/%zz", std::nullopt},
      {"file:///tmp/%4", std::nullopt},
      {"file:///tmp/%", std::nullopt},
      {"file:///tmp/%00x", std::nullopt},
      {"file:///tmp/%FF", std::nullopt},
      {"file:///tmp/\xc3\xa9", std::nullopt},
      {"file:///Users/me/Desktop/%C3%A9t%c3%A9", "/Users/me/Desktop/\xC3\xA9t\xC3\xA9"},
      {"file://elsewhere/tmp/a", "/tmp/a"},
  };
  for (const Case& c : cases) EXPECT_EQ(urlPath(c.text), c.path) << c.text;
}

}  // namespace
}  // namespace deskplay
