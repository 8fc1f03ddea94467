#include "failure.hpp"

#include <gtest/gtest.h>

namespace deskplay::burrowd {
namespace {

TEST(FailureDescription, WrapsTheMessageAsAQuotedLiteral) {
  EXPECT_EQ(failureDescription("Invalid basename"), "Failure(message: \"Invalid basename\")");
}

TEST(FailureDescription, EscapesQuotesAndBackslashesInside) {
  EXPECT_EQ(failureDescription("a \"b\" c\\d"), "Failure(message: \"a \\\"b\\\" c\\\\d\")");
}

}  // namespace
}  // namespace deskplay::burrowd
