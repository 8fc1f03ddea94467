#include "common/thread_name.hpp"

#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <thread>

namespace deskplay {
namespace {

std::string nameGivenBy(std::string_view label) {
  std::string name;
  std::thread([&] {
    nameCurrentThread(label);
    char buffer[64] = {};
    (void)::pthread_getname_np(::pthread_self(), buffer, sizeof buffer);
    name = buffer;
  }).join();
  return name;
}

TEST(ThreadName, KeepsWhatTheSystemKeepsOfTheLabel) {
  struct Case {
    std::string_view label;
    std::string name;
  };
  const Case cases[] = {
      {"quillon.sonette", "quillon.sonette"},
      {"short", "short"},
      {"quillon.icon-commands", "quillon.icon-co"},
      {"quillon.deskplay.socket", "quillon.deskpla"},
  };
  for (const Case& c : cases) EXPECT_EQ(nameGivenBy(c.label), c.name) << c.label;
}

}  // namespace
}  // namespace deskplay
