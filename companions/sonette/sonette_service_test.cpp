#include "sonette_service.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>

#include "sdl_audio_output.hpp"
#include "support/eventually.hpp"
#include "test_sounds.hpp"

namespace deskplay::sonette {
namespace {

using namespace std::chrono_literals;
using testing::constantSound;
using testing::CountingDecoder;

// Passes the mixer's periods on to SDL's dummy device and remembers the loudest sample.
class Probe final : public AudioSource {
 public:
  explicit Probe(AudioSource& mixer) : mixer_(mixer) {}
  void render(std::span<float> out) override {
    mixer_.render(out);
    float loudest = peak.load();
    for (float sample : out) loudest = std::max(loudest, sample);
    peak.store(loudest);
  }

  std::atomic<float> peak{0.0f};

 private:
  AudioSource& mixer_;
};

class SonetteServiceTest : public ::testing::Test {
 protected:
  SonetteServiceTest() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

  // The loudest sample so far, once it reaches `level` or after five seconds.
  float peakOnceAtLeast(float level) {
    deskplay::testing::eventually([&] { return probe->peak.load() >= level; }, 5s);
    return probe->peak.load();
  }

  CountingDecoder decoder;
  Probe* probe = nullptr;
  std::unique_ptr<SonetteService> service = std::make_unique<SonetteService>(
      decoder, [this](AudioSource& mixer) -> std::unique_ptr<AudioOutput> {
        class ProbedOutput final : public AudioOutput {
         public:
          explicit ProbedOutput(AudioSource& mixer)
              : probe(mixer), device(probe, kDeviceFormat, kDevicePeriodFrames) {}
          Status start() override { return device.start(); }
          bool isRunning() const override { return device.isRunning(); }
          Probe probe;
          SdlAudioOutput device;
        };
        auto output = std::make_unique<ProbedOutput>(mixer);
        probe = &output->probe;
        return output;
      });
};

TEST_F(SonetteServiceTest, ACommandHandedOverReachesTheDevice) {
  decoder.add("hit", constantSound(kDeviceFormat, 100, 0.5f));
  service->start();
  service->submit({AudioCommandType::Play, {}, "hit", {}});
  EXPECT_EQ(peakOnceAtLeast(0.5f), 0.5f);
}

TEST_F(SonetteServiceTest, ShutsDownCleanlyWhileSoundsPlayAndComplete) {
  decoder.add("hit", constantSound(kDeviceFormat, 10, 0.25f));
  decoder.add("music", constantSound(kDeviceFormat, 1000, 0.5f));
  service->start();
  service->submit({AudioCommandType::Loop, "m", "music", {}});
  for (int i = 0; i < 200; ++i) service->submit({AudioCommandType::Play, {}, "hit", {}});
  service->sync();
  EXPECT_GE(peakOnceAtLeast(0.5f), 0.5f);
  service.reset();
}

}  // namespace
}  // namespace deskplay::sonette
