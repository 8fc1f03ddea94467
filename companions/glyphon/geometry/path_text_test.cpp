#include "geometry/path_text.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace deskplay::glyphon {
namespace {

TEST(PathTextTest, LastPathComponent) {
  const std::pair<std::string, std::string> cases[] = {
      {"/Users/me/Desktop/a.txt", "a.txt"},
      {"/Users/me/Desktop/Folder/", "Folder"},
      {"a.txt", "a.txt"},
      {"/", "/"},
      {"//", "/"},
      {"", ""},
  };
  for (const auto& [path, component] : cases) EXPECT_EQ(lastPathComponent(path), component) << path;
}

TEST(PathTextTest, FileUrlPath) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"file:///Users/me/Desktop/a.txt", "/Users/me/Desktop/a.txt"},
      {"file:///Users/me/Desktop/My%20File.png", "/Users/me/Desktop/My File.png"},
      {"file:///Users/me/Desktop/%C3%A9t%c3%A9", "/Users/me/Desktop/\xC3\xA9t\xC3\xA9"},
      {"file:///Users/me/Desktop/Folder/", "/Users/me/Desktop/Folder"},
      {"file://localhost/tmp/a", "/tmp/a"},
      {"file:///", "/"},
      {"file://elsewhere/tmp/a", std::nullopt},
      {"http://example.com/a", std::nullopt},
      {"/tmp/a", std::nullopt},
      {"file:///tmp/%2", std::nullopt},
      {"file:///tmp/%zz", std::nullopt},
      {"file:///tmp/a%00b", std::nullopt},
  };
  for (const auto& [url, path] : cases) EXPECT_EQ(fileUrlPath(url), path) << url;
}

}  // namespace
}  // namespace deskplay::glyphon
