#include "common/uuid.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace deskplay {
namespace {

TEST(RandomUuid, IsCanonicalUpperCaseVersion4) {
  const std::regex canonical("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  for (int i = 0; i < 64; ++i) {
    Result<std::string> uuid = randomUuid();
    ASSERT_TRUE(uuid.ok()) << uuid.message();
    EXPECT_TRUE(std::regex_match(uuid.value(), canonical)) << uuid.value();
  }
}

TEST(RandomUuid, DoesNotRepeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) seen.insert(randomUuid().value());
  EXPECT_EQ(seen.size(), 1000u);
}

}  // namespace
}  // namespace deskplay
