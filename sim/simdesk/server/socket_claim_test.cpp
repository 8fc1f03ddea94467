#include "sim/simdesk/server/socket_claim.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "common/unique_fd.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::simdesk::server {
namespace {

UniqueFd bindSocket(const std::filesystem::path& path, bool listening) {
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  EXPECT_EQ(::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  if (listening) {
    EXPECT_EQ(::listen(fd.get(), 1), 0);
  }
  return fd;
}

TEST(SocketClaimTest, AFreePathIsClaimed) {
  testing::TempDir dir;
  EXPECT_TRUE(claimSocketPath(dir / "s.sock").ok());
}

TEST(SocketClaimTest, AStaleSocketIsRemoved) {
  testing::TempDir dir;
  { UniqueFd dead = bindSocket(dir / "s.sock", false); }
  ASSERT_TRUE(std::filesystem::exists(dir / "s.sock"));
  EXPECT_TRUE(claimSocketPath(dir / "s.sock").ok());
  EXPECT_FALSE(std::filesystem::exists(dir / "s.sock"));
}

TEST(SocketClaimTest, ALiveListenerIsLeftAlone) {
  testing::TempDir dir;
  UniqueFd live = bindSocket(dir / "s.sock", true);
  const Status claimed = claimSocketPath(dir / "s.sock");
  ASSERT_FALSE(claimed.ok());
  EXPECT_EQ(claimed.message(), "another simdesk is running on " + (dir / "s.sock").string());
  EXPECT_TRUE(std::filesystem::exists(dir / "s.sock"));
}

TEST(SocketClaimTest, AFileThatIsNoSocketIsNeverRemoved) {
  testing::TempDir dir;
  testing::writeFile(dir / "s.sock", "precious");
  EXPECT_FALSE(claimSocketPath(dir / "s.sock").ok());
  EXPECT_EQ(testing::readFile(dir / "s.sock"), "precious");
  EXPECT_FALSE(claimSocketPath(dir / std::string(200, 'x')).ok());
}

}  // namespace
}  // namespace deskplay::simdesk::server
