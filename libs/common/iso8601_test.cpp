#include "common/iso8601.hpp"

#include <gtest/gtest.h>

namespace deskplay {
namespace {

using Seconds = std::chrono::duration<double>;

TEST(Iso8601Test, FormatsUtcWithWholeSeconds) {
  EXPECT_EQ(iso8601Utc(Seconds(0)), "1970-01-01T00:00:00Z");
  EXPECT_EQ(iso8601Utc(Seconds(1772357400.75)), "2026-03-01T09:30:00Z");
  EXPECT_EQ(iso8601Utc(Seconds(-0.5)), "1969-12-31T23:59:59Z");
}

}  // namespace
}  // namespace deskplay
