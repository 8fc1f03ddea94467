#include <gtest/gtest.h>

#include "keyhark_process.hpp"

namespace deskplay::testing {
namespace {

class KeyharkCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session_.start()); }

  Completed check(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{keyharkProgram().string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return runProgram(argv, {}, session_.environment());
  }
  void revoke(const std::string& service) {
    ASSERT_EQ(session_.ctl({"privacy", "revoke", service, "Keyhark"}).status, 0);
  }

  SimdeskSession session_;
};

TEST_F(KeyharkCheckTest, TrustedWithEitherPermissionAndCheckWinsOverMouseMode) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--check"}, {"--check", "--mouse-only"}, {"--mouse-only", "--check"}}) {
    const Completed checked = check(arguments);
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.output, "TRUSTED\n");
    EXPECT_EQ(checked.errors, "");
  }
  revoke("accessibility");
  EXPECT_EQ(check({"--check"}).output, "TRUSTED\n") << "Input Monitoring alone is enough";
}

TEST_F(KeyharkCheckTest, UntrustedWithoutBothAndNeverPrompts) {
  revoke("accessibility");
  revoke("input-monitoring");
  const Completed checked = check({"--mouse-only", "--check"});
  EXPECT_EQ(checked.status, 1);
  EXPECT_EQ(checked.output, "UNTRUSTED\n");
  EXPECT_EQ(session_.ctl({"prompts"}).output, "");
}

TEST(KeyharkWithoutSimdeskTest, CheckIsUntrusted) {
  SimdeskSession session;
  const Completed checked =
      runProgram({keyharkProgram().string(), "--check"}, {}, session.environment());
  EXPECT_EQ(checked.status, 1);
  EXPECT_EQ(checked.output, "UNTRUSTED\n");
}

TEST(KeyharkWithoutSimdeskTest, NoTapYetKeepsRunning) {
  SimdeskSession session;
  KeyharkProcess keyhark(session, {});
  const auto lines = keyhark.waitForStatusLines(5);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "LISTENER_PERMISSION_DENIED",
                       "Global keyboard capture needs Accessibility (or Input Monitoring) for the "
                       "app that launched this program.",
                       "Opening System Settings — grant access to your terminal, then restart "
                       "this program.",
                       "LISTENER_TAP_FAILED",
                       "Could not create the keyboard event tap — check Accessibility "
                       "permission."}));
  EXPECT_TRUE(keyhark.wroteNoEventYet());
  EXPECT_TRUE(keyhark.isRunning());
}

}  // namespace
}  // namespace deskplay::testing
