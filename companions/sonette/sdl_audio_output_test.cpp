#include "sdl_audio_output.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>

#include "support/eventually.hpp"

namespace deskplay::sonette {
namespace {

// Counts periods and checks their size; runs on SDL's audio thread.
class CountingSource final : public AudioSource {
 public:
  void render(std::span<float> out) override {
    if (out.size() != kDevicePeriodFrames * 2u) wrongSize.store(true);
    std::fill(out.begin(), out.end(), 0.0f);
    periods.fetch_add(1);
  }

  std::atomic<int> periods{0};
  std::atomic<bool> wrongSize{false};
};

bool waitFor(const std::atomic<int>& value, int atLeast) {
  return deskplay::testing::eventually([&] { return value.load() >= atLeast; });
}

TEST(SdlAudioOutput, PullsWholePeriodsOnceStarted) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  CountingSource source;
  SdlAudioOutput output(source, kDeviceFormat, kDevicePeriodFrames);
  EXPECT_FALSE(output.isRunning());

  ASSERT_TRUE(output.start().ok());
  EXPECT_TRUE(output.isRunning());
  EXPECT_TRUE(waitFor(source.periods, 3));
  EXPECT_FALSE(source.wrongSize.load());
  EXPECT_TRUE(output.start().ok());  // already running: nothing changes
}

TEST(SdlAudioOutput, ADeviceThatCannotStartIsTriedAgainLater) {
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  CountingSource source;
  SdlAudioOutput output(source, kDeviceFormat, kDevicePeriodFrames);
  EXPECT_FALSE(output.start().ok());
  EXPECT_FALSE(output.isRunning());

  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(output.start().ok());
  EXPECT_TRUE(output.isRunning());
  EXPECT_TRUE(waitFor(source.periods, 1));
}

}  // namespace
}  // namespace deskplay::sonette
