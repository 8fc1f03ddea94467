#include "sim/simdesk/protocol/shared_pixels.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace deskplay::simdesk::protocol {
namespace {

UniqueFd duplicate(int fd) {
  return UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
}

TEST(SharedPixelsTest, WhatTheClientDrawsTheServerReads) {
  auto client = SharedPixels::create(4, 3);
  ASSERT_TRUE(client.ok()) << client.message();
  ASSERT_NE(client.value().writableData(), nullptr);
  const std::uint32_t pixel = 0x80402010;
  std::memcpy(client.value().writableData() + 2 * client.value().stride() + 3 * 4, &pixel, 4);

  auto server = SharedPixels::map(duplicate(client.value().descriptor()), 4, 3, 16);
  ASSERT_TRUE(server.ok()) << server.message();
  EXPECT_EQ(server.value().writableData(), nullptr) << "the server's mapping is read-only";
  std::uint32_t read = 0;
  std::memcpy(&read, server.value().data() + 2 * 16 + 3 * 4, 4);
  EXPECT_EQ(read, pixel);
  // The size is sealed: nobody can shrink it under the mappings.
  EXPECT_NE(::ftruncate(client.value().descriptor(), 4), 0);
}

TEST(SharedPixelsTest, BuffersThatCouldHurtTheServerAreRefused) {
  auto sealed = SharedPixels::create(4, 4);
  ASSERT_TRUE(sealed.ok());
  const int descriptor = sealed.value().descriptor();
  UniqueFd unsealed(::memfd_create("unsealed", MFD_CLOEXEC));
  ASSERT_EQ(::ftruncate(unsealed.get(), 4096), 0);
  struct Case {
    const char* name;
    UniqueFd fd;
    int width;
    int height;
    std::size_t stride;
  };
  Case cases[] = {
      {"no descriptor", UniqueFd(), 4, 4, 16},
      {"unsealed memory", std::move(unsealed), 4, 4, 16},
      {"rows beyond its end", duplicate(descriptor), 4, 5, 16},
      {"stride too small", duplicate(descriptor), 4, 4, 12},
      {"no pixels", duplicate(descriptor), 0, 4, 16},
      {"far too wide", duplicate(descriptor), SharedPixels::kMaxSide + 1, 1, 65540 * 4},
  };
  for (Case& c : cases) {
    EXPECT_FALSE(SharedPixels::map(std::move(c.fd), c.width, c.height, c.stride).ok()) << c.name;
  }
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
