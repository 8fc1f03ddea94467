#include "common/system_error.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace deskplay {
namespace {

TEST(SystemError, MessageCarriesLabelNumberAndPlatformText) {
  EXPECT_EQ(errnoMessage("exclusive move", EEXIST),
            "exclusive move: errno " + std::to_string(EEXIST) + " (" + std::strerror(EEXIST) + ")");
}

TEST(SystemError, CheckedPassesNonNegativeResults) {
  EXPECT_TRUE(checked(0, "any").ok());
  EXPECT_TRUE(checked(7, "any").ok());
}

TEST(SystemError, CheckedReadsErrnoOnFailure) {
  errno = EWOULDBLOCK;
  const Status status = checked(-1, "lock desktop");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.message(), errnoMessage("lock desktop", EWOULDBLOCK));
}

}  // namespace
}  // namespace deskplay
