#include "sim/simdesk/protocol/socket_path.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace deskplay::simdesk::protocol {
namespace {

struct PathCase {
  std::map<std::string, std::string> environment;
  std::string expected;
};

class SocketPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SocketPathTest, FollowsTheEnvironmentInOrder) {
  const PathCase& c = GetParam();
  const auto lookup = [&](const char* name) -> std::optional<std::string> {
    auto found = c.environment.find(name);
    if (found == c.environment.end()) return std::nullopt;
    return found->second;
  };
  EXPECT_EQ(socketPath(lookup, 1234), std::filesystem::path(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SocketPathTest,
    ::testing::Values(
        PathCase{{{"SIMDESK_SOCKET", "/x/s.sock"}, {"XDG_RUNTIME_DIR", "/run/u"}}, "/x/s.sock"},
        PathCase{{{"XDG_RUNTIME_DIR", "/run/u"}}, "/run/u/simdesk.sock"},
        PathCase{{{"SIMDESK_SOCKET", ""}, {"XDG_RUNTIME_DIR", "/run/u"}}, "/run/u/simdesk.sock"},
        PathCase{{{"XDG_RUNTIME_DIR", ""}}, "/tmp/simdesk-1234.sock"},
        PathCase{{}, "/tmp/simdesk-1234.sock"}));

}  // namespace
}  // namespace deskplay::simdesk::protocol
