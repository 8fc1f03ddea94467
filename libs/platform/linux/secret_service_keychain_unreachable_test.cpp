// The keychain when no Secret Service can be reached: nothing is found, every change fails
// with the reason, and a bus that never answers does not block the caller for good.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ostream>
#include <string>

#include "platform/linux/secret_service_keychain.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::platform {
namespace {

using namespace std::chrono_literals;

enum class Bus {
  // Nothing listens at the address.
  missing,
  // Something accepts the connection and never says a word.
  silent,
};

void PrintTo(Bus bus, std::ostream* out) {
  *out << (bus == Bus::missing ? "missing" : "silent");
}

class UnreachableSecretService : public ::testing::TestWithParam<Bus> {
 protected:
  void SetUp() override {
    const std::string socketPath = (root / "bus").string();
    if (GetParam() == Bus::silent) {
      listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      ASSERT_GE(listener, 0) << std::strerror(errno);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
      socketPath.copy(address.sun_path, socketPath.size());
      ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0)
          << std::strerror(errno);
      ASSERT_EQ(::listen(listener, 8), 0) << std::strerror(errno);
    }
    // Set before the first use of the session bus in this process, and only ever to
    // addresses that fail, so no connection is kept that a later test would inherit.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socketPath).c_str(), 1);
  }
  void TearDown() override {
    if (listener >= 0) ::close(listener);
  }

  testing::TempDir root;
  int listener = -1;
  SecretServiceKeychain keychain{500ms};
};

TEST_P(UnreachableSecretService, FindsNothingAndRefusesEveryChange) {
  const Keychain::Secret secret = {'s'};
  EXPECT_EQ(keychain.copyPassword("quillon.deskplay", "room-server-session"), std::nullopt);

  const Status added = keychain.addPassword("quillon.deskplay", "room-server-session", secret,
                                            Keychain::Access::afterFirstUnlock);
  ASSERT_FALSE(added.ok());
  EXPECT_NE(added.message(), kKeychainDuplicateItem);

  const Status deleted = keychain.deletePasswords("quillon.deskplay", "room-server-session");
  ASSERT_FALSE(deleted.ok());
  EXPECT_NE(deleted.message(), kKeychainItemNotFound);
  // The message carries the reason the bus gave, or says that it gave none in time.
  const std::string reason =
      GetParam() == Bus::missing ? std::strerror(ENOENT) : "did not answer within 500 ms";
  EXPECT_NE(added.message().find(reason), std::string::npos) << added.message();
  EXPECT_NE(deleted.message().find(reason), std::string::npos) << deleted.message();
}

INSTANTIATE_TEST_SUITE_P(Buses, UnreachableSecretService,
                         ::testing::Values(Bus::missing, Bus::silent),
                         [](const ::testing::TestParamInfo<Bus>& param) {
                           return param.param == Bus::missing ? "Missing" : "Silent";
                         });

}  // namespace
}  // namespace deskplay::platform
