#include "geometry/path_text.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace deskplay::glyphon
