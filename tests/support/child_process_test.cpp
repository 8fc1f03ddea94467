#include "support/child_process.hpp"

#include <gtest/gtest.h>

namespace deskplay::testing {
namespace {

TEST(ChildProcess, UnreadInputIsWhatTheProgramLeftInThePipe) {
  ChildProcess twoBytes({"dd", "bs=1", "count=2", "status=none", "of=/dev/null"});
  EXPECT_EQ(twoBytes.unreadInput(), 0u);
  twoBytes.write("hello");
  EXPECT_EQ(twoBytes.wait(), 0);
  EXPECT_EQ(twoBytes.unreadInput(), 3u);
  twoBytes.closeStdin();
  EXPECT_EQ(twoBytes.unreadInput(), 0u);
}

}  // namespace
}  // namespace deskplay::testing
