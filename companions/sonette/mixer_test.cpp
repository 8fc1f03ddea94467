#include "mixer.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "common/mutex.hpp"
#include "test_sounds.hpp"

namespace deskplay::sonette {
namespace {

using testing::constantSound;
using testing::rampSound;
using testing::sineSound;

constexpr std::size_t kChannels = 2;

struct Completion {
  NodeId node;
  ScheduleId schedule;
  friend bool operator==(const Completion&, const Completion&) = default;
};

class MixerTest : public ::testing::Test {
 protected:
  // Renders `frames` frames; completions reported meanwhile land in `completions`.
  std::vector<float> render(std::size_t frames) {
    std::vector<float> out(frames * kChannels, -7.0f);
    mixer.render(out);
    return out;
  }

  NodeId playing(const PcmBuffer& sound, PlayMode mode, ScheduleId schedule, float volume = 1) {
    const NodeId node = mixer.attach();
    EXPECT_TRUE(mixer.connect(node, sound.format).ok());
    mixer.setVolume(node, volume);
    mixer.play(node, {std::make_shared<const PcmBuffer>(sound), mode, schedule});
    return node;
  }

  std::vector<Completion> completions;
  Mixer mixer{kDeviceFormat, [this](NodeId node, ScheduleId schedule) {
                completions.push_back({node, schedule});
              }};
};

TEST_F(MixerTest, PlaysASoundInTheDeviceFormatSampleForSampleThenCompletesOnce) {
  const PcmBuffer ramp = rampSound(kDeviceFormat, 700);
  const NodeId node = playing(ramp, PlayMode::Once, 41);

  const std::vector<float> first = render(512);
  EXPECT_EQ(first, std::vector<float>(ramp.samples.begin(), ramp.samples.begin() + 512 * 2));
  EXPECT_TRUE(completions.empty());

  const std::vector<float> second = render(512);
  EXPECT_EQ(completions, (std::vector{Completion{node, 41}}));
  for (std::size_t i = 0; i < second.size(); ++i) {
    const float expected = i < (700 - 512) * 2 ? ramp.samples[512 * 2 + i] : 0.0f;
    ASSERT_EQ(second[i], expected) << "sample " << i;
  }

  EXPECT_EQ(render(512), std::vector<float>(1024, 0.0f));
  EXPECT_EQ(completions.size(), 1u);
}

TEST_F(MixerTest, RendersTheSameWhateverThePeriod) {
  const PcmBuffer sine = sineSound({44100, 1}, 5000, 300.0, 0.5);
  playing(sine, PlayMode::Once, 1);
  const std::vector<float> whole = render(6000);

  Mixer other{kDeviceFormat, [](NodeId, ScheduleId) {}};
  const NodeId node = other.attach();
  ASSERT_TRUE(other.connect(node, sine.format).ok());
  other.play(node, {std::make_shared<const PcmBuffer>(sine), PlayMode::Once, 1});
  std::vector<float> pieces;
  for (std::size_t frames : {1u, 333u, 1024u, 2047u, 2595u}) {
    std::vector<float> out(frames * kChannels);
    other.render(out);
    pieces.insert(pieces.end(), out.begin(), out.end());
  }
  ASSERT_EQ(pieces.size(), whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    ASSERT_NEAR(pieces[i], whole[i], 1e-6) << "sample " << i;
  }
}

TEST_F(MixerTest, ResamplesAndSpreadsAMonoSoundAcrossTheDevice) {
  // 0.1 s at 22.05 kHz is 4800 frames at 48 kHz.
  const PcmBuffer sine = sineSound({22050, 1}, 2205, 440.0, 0.5);
  playing(sine, PlayMode::Once, 3);
  const std::vector<float> out = render(6000);
  ASSERT_EQ(completions.size(), 1u);

  std::size_t lastSound = 0;
  double energy = 0;
  for (std::size_t frame = 0; frame < 6000; ++frame) {
    const float left = out[frame * 2];
    ASSERT_EQ(left, out[frame * 2 + 1]) << "frame " << frame;
    if (std::abs(left) > 1e-3f) lastSound = frame;
    energy += static_cast<double>(left) * static_cast<double>(left);
  }
  EXPECT_NEAR(static_cast<double>(lastSound), 4800.0, 48.0);
  EXPECT_NEAR(std::sqrt(energy / 4800.0), 0.5 / std::sqrt(2.0), 0.02);
}

TEST_F(MixerTest, ALoopRepeatsPastItsLengthAndNeverCompletes) {
  const PcmBuffer ramp = rampSound(kDeviceFormat, 100);
  playing(ramp, PlayMode::Loop, 5);
  const std::vector<float> out = render(2500);
  for (std::size_t i = 0; i < out.size(); ++i) {
    ASSERT_EQ(out[i], ramp.samples[i % ramp.samples.size()]) << "sample " << i;
  }
  EXPECT_TRUE(completions.empty());
}

TEST_F(MixerTest, TheSumIsClampedNeverWrapped) {
  playing(constantSound(kDeviceFormat, 100, 0.75f), PlayMode::Once, 1);
  playing(constantSound(kDeviceFormat, 100, 0.75f), PlayMode::Once, 2);
  playing(constantSound(kDeviceFormat, 50, -0.75f), PlayMode::Once, 3, 4.0f);
  const std::vector<float> out = render(100);
  EXPECT_EQ(out[0], -1.0f);   // 0.75 + 0.75 - 3
  EXPECT_EQ(out[120], 1.0f);  // 0.75 + 0.75
}

TEST_F(MixerTest, BadSamplesInAFileBecomeSilence) {
  PcmBuffer sound = constantSound(kDeviceFormat, 4, 0.5f);
  sound.samples[0] = std::numeric_limits<float>::quiet_NaN();
  sound.samples[2] = std::numeric_limits<float>::infinity();
  playing(sound, PlayMode::Once, 1);
  EXPECT_EQ(render(4), (std::vector<float>{0.0f, 0.5f, 1.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}));
}

TEST_F(MixerTest, StopSilencesAtOnceAndAReplayStartsAfresh) {
  const PcmBuffer sine = sineSound({44100, 1}, 4410, 440.0, 0.5);
  const NodeId node = playing(sine, PlayMode::Once, 1);
  const std::vector<float> firstTime = render(700);

  mixer.stop(node);
  EXPECT_EQ(render(300), std::vector<float>(600, 0.0f));

  // Whatever the resampler still held from the first time must not leak into the second.
  mixer.play(node, {std::make_shared<const PcmBuffer>(sine), PlayMode::Once, 2});
  EXPECT_EQ(render(700), firstTime);
  EXPECT_TRUE(completions.empty());
}

TEST_F(MixerTest, ChangesTakeEffectAtTheNextRender) {
  const NodeId node = playing(constantSound(kDeviceFormat, 10000, 0.5f), PlayMode::Once, 1);
  mixer.setVolume(node, 0.25f);
  mixer.stop(node);
  mixer.play(node, {std::make_shared<const PcmBuffer>(constantSound(kDeviceFormat, 100, 0.5f)),
                    PlayMode::Once, 2});
  EXPECT_EQ(render(1)[0], 0.125f);
  mixer.stop(node);
  EXPECT_EQ(render(1)[0], 0.0f);
  EXPECT_TRUE(completions.empty());
}

TEST_F(MixerTest, DetachRemovesANodeAndItsSound) {
  playing(constantSound(kDeviceFormat, 1000, 0.25f), PlayMode::Loop, 1);
  const NodeId gone = playing(constantSound(kDeviceFormat, 1000, 0.5f), PlayMode::Loop, 2);
  EXPECT_EQ(render(1)[0], 0.75f);
  EXPECT_EQ(mixer.attachedNodes(), 2u);

  mixer.detach(gone);
  EXPECT_EQ(render(1)[0], 0.25f);
  EXPECT_EQ(mixer.attachedNodes(), 1u);

  // A node attached and detached between two renders never reaches the audio thread.
  mixer.detach(playing(constantSound(kDeviceFormat, 1000, 0.5f), PlayMode::Loop, 3));
  EXPECT_EQ(render(1)[0], 0.25f);
  EXPECT_EQ(mixer.attachedNodes(), 1u);
}

TEST_F(MixerTest, ABufferInAnotherFormatThanTheConnectionCompletesSilently) {
  const NodeId node = mixer.attach();
  ASSERT_TRUE(mixer.connect(node, {44100, 1}).ok());
  mixer.play(node, {std::make_shared<const PcmBuffer>(constantSound(kDeviceFormat, 100, 0.5f)),
                    PlayMode::Once, 9});
  EXPECT_EQ(render(10), std::vector<float>(20, 0.0f));
  EXPECT_EQ(completions, (std::vector{Completion{node, 9}}));
}

TEST_F(MixerTest, RefusesAConnectionItCannotConvert) {
  const NodeId node = mixer.attach();
  EXPECT_FALSE(mixer.connect(node, {48000, 9}).ok());
  EXPECT_FALSE(mixer.connect(node, {0, 2}).ok());
  EXPECT_EQ(mixer.connections(), 0u);
}

// The worker changes the graph while the audio thread renders it, as they do in Sonette.
TEST(MixerThreadsTest, ChangesFromTheWorkerReachTheAudioThreadWhileItRenders) {
  Mutex mutex;
  std::map<NodeId, std::vector<ScheduleId>> completed;
  Mixer mixer(kDeviceFormat, [&](NodeId node, ScheduleId schedule) {
    const MutexLock lock(mutex);
    completed[node].push_back(schedule);
  });
  std::atomic<bool> rendering = true;
  std::thread audio([&] {
    std::vector<float> period(256 * kChannels);
    while (rendering) mixer.render(period);
  });

  const PcmBuffer click = constantSound(kDeviceFormat, 10, 0.5f);
  std::map<NodeId, ScheduleId> kept;
  for (ScheduleId round = 1; round <= 200; ++round) {
    const NodeId node = mixer.attach();
    ASSERT_TRUE(mixer.connect(node, click.format).ok());
    mixer.setVolume(node, 0.5f);
    mixer.play(node, {std::make_shared<const PcmBuffer>(click), PlayMode::Once, round});
    if (round % 2 == 0) {
      mixer.detach(node);
    } else {
      kept[node] = round;
    }
  }
  rendering = false;
  audio.join();
  std::vector<float> period(256 * kChannels);
  mixer.render(period);

  EXPECT_EQ(mixer.attachedNodes(), kept.size());
  const MutexLock lock(mutex);
  for (const auto& [node, schedule] : kept) {
    EXPECT_EQ(completed[node], std::vector<ScheduleId>{schedule}) << "node " << node;
  }
}

}  // namespace
}  // namespace deskplay::sonette
