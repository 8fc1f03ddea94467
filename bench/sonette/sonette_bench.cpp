// Sonette's two figures, each against its goal:
// - the cost of mixing 16 one-shot voices and 8 loops at 48 kHz, as a share of real time
//   on one core, beside a bare sum of the same samples;
// - the latency from a "play" line to the first device period that carries the sound, over
//   1,000 plays through the real line reader, serial worker, mixer and SDL device (the
//   dummy driver, which keeps real time without sound hardware).
// It never fails on a missed goal, only when something does not work.
//
// Usage: sonette_bench

#include <fcntl.h>
#include <sndfile.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "audio_format.hpp"
#include "bench/support/bench_support.hpp"
#include "command_loop.hpp"
#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"
#include "mixer.hpp"
#include "sdl_audio_output.hpp"
#include "sndfile_decoder.hpp"
#include "sonette_service.hpp"
#include "test_sounds.hpp"

namespace deskplay::sonette {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using bench::percentile;

constexpr int kVoices = 16;
constexpr int kLoops = 8;
constexpr double kMixSeconds = 60.0;
constexpr double kMixGoalPercent = 2.0;
constexpr int kPlays = 1000;
constexpr double kLatencyAllowanceMs = 2.0;

double threadCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double periodMs() {
  return 1000.0 * kDevicePeriodFrames / kDeviceFormat.sampleRate;
}

// CPU seconds spent rendering kMixSeconds of 16 voices and 8 loops whose sounds are in
// `source`; a voice that ends is started again at once, as a busy game would.
double mixingCpuSeconds(AudioFormat source) {
  std::vector<NodeId> ended;
  Mixer mixer(kDeviceFormat, [&ended](NodeId node, ScheduleId) { ended.push_back(node); });
  const auto voice = std::make_shared<const PcmBuffer>(
      testing::sineSound(source, static_cast<std::size_t>(source.sampleRate) * 2, 440.0, 0.05));
  const auto loop = std::make_shared<const PcmBuffer>(
      testing::sineSound(source, static_cast<std::size_t>(source.sampleRate), 220.0, 0.05));
  for (int i = 0; i < kVoices + kLoops; ++i) {
    const NodeId node = mixer.attach();
    if (!mixer.connect(node, source).ok()) throw std::runtime_error("cannot connect a node");
    mixer.play(
        node, i < kVoices ? Schedule{voice, PlayMode::Once, 1} : Schedule{loop, PlayMode::Loop, 1});
  }

  std::vector<float> period(static_cast<std::size_t>(kDevicePeriodFrames * kDeviceFormat.channels));
  const auto periods =
      static_cast<int>(kMixSeconds * kDeviceFormat.sampleRate / kDevicePeriodFrames);
  // One second to warm caches, then the measured run.
  for (int i = 0; i < kDeviceFormat.sampleRate / kDevicePeriodFrames; ++i) mixer.render(period);
  const double start = threadCpuSeconds();
  for (int i = 0; i < periods; ++i) {
    mixer.render(period);
    for (const NodeId node : ended) mixer.play(node, {voice, PlayMode::Once, 1});
    ended.clear();
  }
  return threadCpuSeconds() - start;
}

// The physical floor: summing the same number of samples from memory, with no conversion,
// gain or clamping.
double bareSumCpuSeconds() {
  const std::size_t periodSamples = kDevicePeriodFrames * 2;
  std::vector<float> sources(periodSamples * (kVoices + kLoops) * 64, 0.01f);
  std::vector<float> mix(periodSamples);
  const auto periods =
      static_cast<int>(kMixSeconds * kDeviceFormat.sampleRate / kDevicePeriodFrames);
  const double start = threadCpuSeconds();
  std::size_t offset = 0;
  for (int i = 0; i < periods; ++i) {
    std::fill(mix.begin(), mix.end(), 0.0f);
    for (int voice = 0; voice < kVoices + kLoops; ++voice) {
      const float* from = sources.data() + offset;
      for (std::size_t s = 0; s < periodSamples; ++s) mix[s] += from[s];
      offset = (offset + periodSamples) % (sources.size() - periodSamples);
    }
    // Keeps the compiler from dropping the work.
    asm volatile("" : : "r"(mix.data()) : "memory");
  }
  return threadCpuSeconds() - start;
}

void reportMixing() {
  const double percent48 = 100.0 * mixingCpuSeconds({48000, 2}) / kMixSeconds;
  const double percentResampled = 100.0 * mixingCpuSeconds({44100, 1}) / kMixSeconds;
  const double percentBare = 100.0 * bareSumCpuSeconds() / kMixSeconds;
  std::printf("Mixing %d voices + %d loops into %d Hz stereo, %.0f s of audio, on one core:\n",
              kVoices, kLoops, kDeviceFormat.sampleRate, kMixSeconds);
  std::printf("  %-34s %6.3f %% of real time (goal <= %.0f %%: %s)\n",
              "48 kHz stereo sounds:", percent48, kMixGoalPercent,
              percent48 <= kMixGoalPercent ? "met" : "MISSED");
  std::printf("  %-34s %6.3f %% of real time\n",
              "44.1 kHz mono sounds, resampled:", percentResampled);
  std::printf("  %-34s %6.3f %% of real time (the mixer takes %.1fx that)\n",
              "bare sum of the same samples:", percentBare, percent48 / percentBare);
}

// Passes periods from the mixer to the device and notes when a sound begins: the first
// period with a sample that is not zero after one that is all zero.
class OnsetProbe final : public AudioSource {
 public:
  explicit OnsetProbe(AudioSource& mixer) : mixer_(mixer) {}

  void render(std::span<float> out) override {
    mixer_.render(out);
    const bool sounding = std::any_of(out.begin(), out.end(), [](float s) { return s != 0.0f; });
    if (sounding && !sounding_) {
      onsetNs.store(
          std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
              .count());
      onsets.fetch_add(1);
    }
    sounding_ = sounding;
    if (!sounding) silentPeriods.fetch_add(1);
  }

  std::atomic<std::int64_t> onsetNs{0};
  std::atomic<int> onsets{0};
  std::atomic<int> silentPeriods{0};

 private:
  AudioSource& mixer_;
  bool sounding_ = false;
};

class ProbedDevice final : public AudioOutput {
 public:
  explicit ProbedDevice(AudioSource& mixer)
      : probe(mixer), device_(probe, kDeviceFormat, kDevicePeriodFrames) {}
  Status start() override { return device_.start(); }
  bool isRunning() const override { return device_.isRunning(); }

  OnsetProbe probe;

 private:
  SdlAudioOutput device_;
};

template <class Condition>
bool waitUntil(Condition condition, Clock::duration limit) {
  const auto deadline = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(50us);
  }
  return true;
}

void reportLatency() {
  // The dummy driver keeps real time without hardware; another driver can be asked for.
  ::setenv("SDL_AUDIODRIVER", "dummy", 0);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("sonette-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path click = folder / "click.wav";
  // 2 ms: over well within one period, so every play starts from silence.
  testing::writeSoundFile(click, testing::constantSound(kDeviceFormat, 96, 0.5f),
                          SF_FORMAT_WAV | SF_FORMAT_PCM_16);

  SndfileDecoder decoder;
  ProbedDevice* device = nullptr;
  SonetteService service(decoder, [&device](AudioSource& mixer) {
    auto made = std::make_unique<ProbedDevice>(mixer);
    device = made.get();
    return made;
  });
  service.start();
  OnsetProbe& probe = device->probe;

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  UniqueFd readEnd(fds[0]);
  UniqueFd writeEnd(fds[1]);
  std::thread reader([&service, &readEnd] {
    runCommandLoop(readEnd.get(),
                   [&service](AudioCommand command) { service.submit(std::move(command)); });
  });
  const std::string load = R"({"type":"load","path":")" + click.string() + "\"}\n";
  const std::string play = R"({"type":"play","path":")" + click.string() + "\"}\n";
  if (writeAll(writeEnd.get(), load) != 0) throw std::runtime_error("write failed");

  std::mt19937 random(6);
  std::uniform_int_distribution<int> phaseUs(0, static_cast<int>(periodMs() * 1000.0));
  std::vector<double> latencies;
  latencies.reserve(kPlays);
  for (int i = 0; i < kPlays; ++i) {
    const int silentBefore = probe.silentPeriods.load();
    if (!waitUntil([&] { return probe.silentPeriods.load() > silentBefore; }, 2s)) {
      throw std::runtime_error("the device stopped pulling periods");
    }
    // Lines arrive at any moment of a period.
    std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
    const int onsetsBefore = probe.onsets.load();
    const auto sent = Clock::now();
    if (writeAll(writeEnd.get(), play) != 0) throw std::runtime_error("write failed");
    if (!waitUntil([&] { return probe.onsets.load() > onsetsBefore; }, 2s)) {
      throw std::runtime_error("a play was never heard");
    }
    const std::int64_t sentNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(sent.time_since_epoch()).count();
    latencies.push_back(static_cast<double>(probe.onsetNs.load() - sentNs) / 1e6);
  }
  writeEnd.reset();
  reader.join();
  std::filesystem::remove_all(folder);

  const double goal = periodMs() + kLatencyAllowanceMs;
  const double p99 = percentile(latencies, 0.99);
  std::printf(
      "Latency from a \"play\" line written to the first device period carrying the sound,\n"
      "%d plays, %d-frame periods (%.2f ms), SDL driver \"%s\":\n",
      kPlays, kDevicePeriodFrames, periodMs(), std::getenv("SDL_AUDIODRIVER"));
  std::printf("  p50 %.2f ms, p99 %.2f ms, max %.2f ms (goal p99 <= %.2f ms: %s)\n",
              percentile(latencies, 0.5), p99, percentile(latencies, 1.0), goal,
              p99 <= goal ? "met" : "MISSED");
}

}  // namespace

}  // namespace deskplay::sonette

int main() {
  try {
    deskplay::sonette::reportMixing();
    deskplay::sonette::reportLatency();
    return 0;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "sonette_bench: %s\n", failure.what());
    return 1;
  }
}
