// Burrowd on a small volume of its own: a full disk and a read-only one. Mounting needs
// root; elsewhere these tests skip.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "burrowd_client.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

class BurrowdOnSmallVolume : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::mount("deskplay-test", root.path().c_str(), "tmpfs", 0, "size=256k") != 0) {
      GTEST_SKIP() << "cannot mount a test volume: " << std::strerror(errno);
    }
    mounted = true;
    fs::create_directory(desktop);
    fs::create_directory(stash);
  }
  void TearDown() override {
    client.reset();
    if (mounted) ::umount2(root.path().c_str(), MNT_DETACH);
  }

  void remountReadOnly() {
    ASSERT_EQ(::mount(nullptr, root.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
  }

  TempDir root;
  bool mounted = false;
  fs::path desktop = root / "Desktop";
  fs::path stash = root / "stash";
  std::unique_ptr<BurrowdClient> client;
};

TEST_F(BurrowdOnSmallVolume, AJournalThatDoesNotFitLeavesTheOldOneAndNoStagingFile) {
  client = std::make_unique<BurrowdClient>(desktop, stash);
  ASSERT_EQ(client->request({{"action", "write"}, {"text", "old"}})["ok"], true);

  const Json reply = client->request({{"action", "write"}, {"text", std::string(1 << 20, 'x')}});
  const std::string expected = "write journal staging file: errno " + std::to_string(ENOSPC) +
                               " (" + std::strerror(ENOSPC) + ")";
  EXPECT_EQ(reply, Json({{"error", expected}, {"ok", false}}));
  EXPECT_EQ(client->request({{"action", "read"}}), Json({{"ok", true}, {"value", "old"}}));
  EXPECT_EQ(client->request(listRequest("stash")),
            Json({{"ok", true}, {"value", {".manifest.json"}}}));
}

TEST_F(BurrowdOnSmallVolume, AReadOnlyVolumeRefusesWritesAndMovesButStillReads) {
  writeFile(desktop / "note", "n");
  client = std::make_unique<BurrowdClient>(desktop, stash);
  ASSERT_EQ(client->request({{"action", "write"}, {"text", "old"}})["ok"], true);
  const Json identity = client->request(statRequest("desktop", "note"))["value"];
  remountReadOnly();

  EXPECT_EQ(
      client->request({{"action", "write"}, {"text", "new"}}),
      Json({{"error", systemFailureText("create journal staging file", EROFS)}, {"ok", false}}));
  EXPECT_EQ(client->request(
                moveRequest(endpoint("desktop", "note"), endpoint("stash", "note"), identity)),
            Json({{"error", systemFailureText("exclusive move", EROFS)}, {"ok", false}}));
  EXPECT_EQ(client->request({{"action", "read"}}), Json({{"ok", true}, {"value", "old"}}));
  EXPECT_EQ(client->request(statRequest("desktop", "note")),
            Json({{"ok", true}, {"value", identity}}));
}

}  // namespace
}  // namespace deskplay::testing
