#include "common/result.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>

namespace deskplay {
namespace {

// An error that words its message on request, as script errors do.
struct WordedError {
  int number = 0;
  std::string brief;
  std::string message() const { return brief + " (" + std::to_string(number) + ")"; }
};

// An error that keeps a part's own kind next to its text, as session feedback's does.
enum class Step { read, write };
struct StepError {
  Step failure = Step::read;
  std::string message;
};

// An error that can only be moved, to see that moving out of a result moves it.
struct OwnedError {
  std::unique_ptr<std::string> message;
};

// Only an explicit Error{"…"} makes an error: a string given back where a Result<path> or a
// Result<std::string> is expected stays a value.
static_assert(!std::is_convertible_v<std::string, Error>);
static_assert(std::is_constructible_v<Error, std::string>);
static_assert(
    std::is_same_v<decltype(std::declval<const Result<int>&>().message()), const std::string&>);
static_assert(
    std::is_same_v<decltype(std::declval<const Status&>().message()), const std::string&>);
static_assert(std::is_same_v<decltype(std::declval<const Result<int, WordedError>&>().message()),
                             std::string>);
static_assert(
    std::is_same_v<decltype(std::declval<Result<int, StepError>>().error()), StepError&&>);

TEST(ResultTest, HoldsAValue) {
  Result<int> number = 7;
  ASSERT_TRUE(number.ok());
  EXPECT_EQ(number.value(), 7);
  number.value() = 8;
  EXPECT_EQ(std::as_const(number).value(), 8);
}

TEST(ResultTest, MovesItsValueOut) {
  Result<std::unique_ptr<int>> owned = std::make_unique<int>(3);
  const std::unique_ptr<int> taken = std::move(owned).value();
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(*taken, 3);
}

TEST(ResultTest, AStringValueIsNoError) {
  const Result<std::string> text = std::string("simdesk is not running");
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text.value(), "simdesk is not running");
}

struct KindCase {
  const char* name;
  Error error;
  ErrorKind kind;
  const char* message;
};

void PrintTo(const KindCase& c, std::ostream* out) {
  *out << c.name;
}

std::string caseName(const ::testing::TestParamInfo<KindCase>& tested) {
  return tested.param.name;
}

class ErrorKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(ErrorKindTest, ResultKeepsTheKindAndTheMessage) {
  const Result<int> failed = GetParam().error;
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().kind, GetParam().kind);
  EXPECT_EQ(failed.message(), GetParam().message);
}

TEST_P(ErrorKindTest, StatusKeepsTheKindAndTheMessage) {
  const Status failed = GetParam().error;
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().kind, GetParam().kind);
  EXPECT_EQ(failed.message(), GetParam().message);
}

TEST_P(ErrorKindTest, PassingTheErrorOnKeepsItsKind) {
  const auto step = [] { return Status(GetParam().error); };
  const auto caller = [&]() -> Result<std::string> {
    if (Status done = step(); !done.ok()) return done.error();
    return std::string("done");
  };
  const Result<std::string> passed = caller();
  ASSERT_FALSE(passed.ok());
  EXPECT_EQ(passed.error().kind, GetParam().kind);
  EXPECT_EQ(passed.message(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ErrorKindTest,
    ::testing::Values(KindCase{"MessageOnly", Error{"disk full"}, ErrorKind::failed, "disk full"},
                      KindCase{"Failed", Error{ErrorKind::failed, "no such request"},
                               ErrorKind::failed, "no such request"},
                      KindCase{"Unavailable",
                               Error{ErrorKind::unavailable, "simdesk is not running"},
                               ErrorKind::unavailable, "simdesk is not running"},
                      // The kind, not the text, says what happened.
                      KindCase{"FailedWithTheUnavailableText", Error{"simdesk is not running"},
                               ErrorKind::failed, "simdesk is not running"}),
    caseName);

TEST(StatusTest, SucceedsByDefault) {
  EXPECT_TRUE(Status().ok());
  EXPECT_TRUE(Status::success().ok());
}

TEST(ResultTest, WordsTheMessageOfAnErrorThatWordsIt) {
  const Result<int, WordedError> failed = WordedError{-1728, "Can’t get item."};
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().number, -1728);
  EXPECT_EQ(failed.message(), "Can’t get item. (-1728)");

  const Result<void, WordedError> stopped = WordedError{-600, "Application isn’t running."};
  ASSERT_FALSE(stopped.ok());
  EXPECT_EQ(stopped.message(), "Application isn’t running. (-600)");
}

TEST(ResultTest, KeepsAPartsOwnErrorKind) {
  const Result<std::string, StepError> failed = StepError{Step::write, "could not write"};
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().failure, Step::write);
  EXPECT_EQ(failed.message(), "could not write");

  EXPECT_TRUE((Result<void, StepError>::success().ok()));
  const Result<void, StepError> refused = StepError{Step::read, "could not read"};
  EXPECT_EQ(refused.error().failure, Step::read);
  EXPECT_EQ(refused.message(), "could not read");
}

TEST(ResultTest, MovesItsErrorOut) {
  Result<int, OwnedError> failed = OwnedError{std::make_unique<std::string>("gone")};
  const OwnedError taken = std::move(failed).error();
  ASSERT_NE(taken.message, nullptr);
  EXPECT_EQ(*taken.message, "gone");

  Result<void, OwnedError> stopped = OwnedError{std::make_unique<std::string>("stopped")};
  const OwnedError kept = std::move(stopped).error();
  ASSERT_NE(kept.message, nullptr);
  EXPECT_EQ(*kept.message, "stopped");
}

}  // namespace
}  // namespace deskplay
