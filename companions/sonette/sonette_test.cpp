#include "sonette.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "test_sounds.hpp"

namespace deskplay::sonette {
namespace {

using testing::constantSound;
using testing::CountingDecoder;
using testing::FakeOutput;
using testing::rampSound;

constexpr std::size_t kSecond = 48000;

// The controller over a real mixer, with this thread as both the serial worker and the
// audio thread. Sounds are constant in the device format, so the output is the plain sum of
// what plays.
class SonetteTest : public ::testing::Test {
 protected:
  void SetUp() override { sonette.start(); }

  // One frame's left sample after rendering `frames` frames; completions reach the
  // controller afterwards, as the worker would receive them.
  float renderLast(std::size_t frames) {
    std::vector<float> out(frames * 2);
    mixer.render(out);
    deliverCompletions();
    return out[out.size() - 2];
  }
  void deliverCompletions() {
    for (const auto& [node, schedule] : std::exchange(completions, {})) {
      sonette.completed(node, schedule);
    }
  }

  std::string sound(const std::string& name, float value, std::size_t frames = kSecond) {
    decoder.add(name, constantSound(kDeviceFormat, frames, value));
    return name;
  }

  void play(const std::string& path, std::optional<double> volume = {}) {
    sonette.execute({AudioCommandType::Play, {}, path, volume});
  }
  void loop(const std::string& id, const std::string& path, std::optional<double> volume = {}) {
    sonette.execute({AudioCommandType::Loop, id, path, volume});
  }
  void stop(const std::string& id) { sonette.execute({AudioCommandType::Stop, id, {}, {}}); }
  void stopAll() { sonette.execute({AudioCommandType::StopAll, {}, {}, {}}); }
  void load(const std::string& path) { sonette.execute({AudioCommandType::Load, {}, path, {}}); }

  std::size_t playingCount() const {
    std::size_t count = 0;
    for (const PoolNode& node : sonette.pool()) count += node.playing ? 1 : 0;
    return count;
  }

  CountingDecoder decoder;
  FakeOutput output;
  std::vector<std::pair<NodeId, ScheduleId>> completions;
  Mixer mixer{kDeviceFormat, [this](NodeId node, ScheduleId schedule) {
                completions.emplace_back(node, schedule);
              }};
  Sonette sonette{mixer, output, decoder};
};

// Sound k holds k / 256, so every set of sounds has its own sum.
float level(int k) {
  return static_cast<float>(k) / 256.0f;
}
float levels(int from, int to) {
  float sum = 0;
  for (int k = from; k <= to; ++k) sum += level(k);
  return sum;
}

TEST_F(SonetteTest, SeventeenSoundsPlaySixteenAtOnceAndTheLastTakesTheOldestNode) {
  for (int k = 1; k <= 16; ++k) play(sound("s" + std::to_string(k), level(k)));
  ASSERT_EQ(sonette.pool().size(), 16u);
  const NodeId oldest = sonette.pool().front().node;
  EXPECT_EQ(renderLast(512), levels(1, 16));

  play(sound("s17", level(17)));
  EXPECT_EQ(sonette.pool().size(), 16u);
  EXPECT_EQ(sonette.pool().front().node, oldest);
  EXPECT_EQ(playingCount(), 16u);
  EXPECT_EQ(renderLast(512), levels(2, 17));
  EXPECT_EQ(mixer.attachedNodes(), 16u);
}

TEST_F(SonetteTest, ASoundThatEndedFreesItsNodeForTheNext) {
  play(sound("short", 0.5f, 100));
  EXPECT_EQ(renderLast(512), 0.0f);
  EXPECT_EQ(playingCount(), 0u);

  play(sound("next", 0.25f));
  EXPECT_EQ(sonette.pool().size(), 1u);
  EXPECT_EQ(renderLast(512), 0.25f);
}

TEST_F(SonetteTest, ALateCompletionDoesNotCutOffTheSoundThatTookItsNode) {
  play(sound("short", 0.5f, 100));
  for (int k = 2; k <= 16; ++k) play(sound("s" + std::to_string(k), level(k)));
  std::vector<float> out(1024);
  mixer.render(out);
  ASSERT_EQ(completions.size(), 1u);  // the short sound ended; the worker has not heard yet

  play(sound("s17", level(17)));  // every node counts as playing: the oldest is cut off
  deliverCompletions();
  EXPECT_EQ(playingCount(), 16u);
  EXPECT_EQ(renderLast(512), levels(2, 17));
}

struct VolumeCase {
  const char* name;
  std::optional<double> volume;
  float heard;  // of a sound at 0.25
};

void PrintTo(const VolumeCase& c, std::ostream* out) {
  *out << c.name;
}

class SonetteVolume : public SonetteTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(SonetteVolume, AppliesToOneShotsAndLoops) {
  play(sound("a", 0.25f), GetParam().volume);
  EXPECT_EQ(renderLast(512), GetParam().heard);
  stopAll();
  loop("music", sound("b", 0.25f), GetParam().volume);
  EXPECT_EQ(renderLast(512), GetParam().heard);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SonetteVolume,
    ::testing::Values(VolumeCase{"absent", {}, 0.25f}, VolumeCase{"one", 1.0, 0.25f},
                      VolumeCase{"half", 0.5, 0.125f}, VolumeCase{"zero", 0.0, 0.0f},
                      VolumeCase{"minus one", -1.0, 0.0f}, VolumeCase{"two", 2.0, 0.5f},
                      VolumeCase{"ten, clamped at the output", 10.0, 1.0f},
                      VolumeCase{"beyond float", 1e300, 1.0f}));

TEST(GainFor, RaisesWhatIsNotANonNegativeNumberToZero) {
  EXPECT_EQ(gainFor(std::numeric_limits<double>::quiet_NaN()), 0.0f);
  EXPECT_EQ(gainFor(-std::numeric_limits<double>::infinity()), 0.0f);
  EXPECT_EQ(gainFor(std::numeric_limits<double>::infinity()), std::numeric_limits<float>::max());
}

TEST_F(SonetteTest, ALoopRepeatsPastTheFilesLength) {
  decoder.add("ramp", rampSound(kDeviceFormat, 100));
  loop("a", "ramp");
  std::vector<float> out(2 * 1000);
  mixer.render(out);
  EXPECT_EQ(out[2 * 999], 1.0f);  // frame 999 is the ramp's last frame, the tenth time
  EXPECT_EQ(out[2 * 950], 0.51f);
  EXPECT_TRUE(completions.empty());
  EXPECT_TRUE(sonette.pool().empty());
}

TEST_F(SonetteTest, ALoopOfTheSameIdReplacesTheOldOneUntilStopped) {
  loop("a", sound("first", 0.125f));
  EXPECT_EQ(renderLast(512), 0.125f);

  loop("a", sound("second", 0.25f));
  EXPECT_EQ(renderLast(512), 0.25f);
  EXPECT_EQ(mixer.attachedNodes(), 1u);

  stop("a");
  EXPECT_EQ(renderLast(512), 0.0f);
  EXPECT_EQ(mixer.attachedNodes(), 0u);
  EXPECT_TRUE(sonette.loopNodes().empty());

  stop("a");
  EXPECT_EQ(renderLast(512), 0.0f);
}

TEST_F(SonetteTest, ALoopWhoseFileCannotBeReadLeavesTheOldLoopPlaying) {
  loop("a", sound("first", 0.125f));
  loop("a", "missing");
  EXPECT_EQ(renderLast(512), 0.125f);
  EXPECT_EQ(sonette.loopNodes().size(), 1u);
}

TEST_F(SonetteTest, LoopsAreNamedApartAndOutsideThePool) {
  for (int k = 1; k <= 16; ++k) play(sound("s" + std::to_string(k), level(k)));
  loop("a", sound("la", level(20)));
  loop("b", sound("lb", level(30)));
  EXPECT_EQ(renderLast(512), levels(1, 16) + level(20) + level(30));
  EXPECT_EQ(sonette.pool().size(), 16u);

  stop("a");
  EXPECT_EQ(renderLast(512), levels(1, 16) + level(30));
}

TEST_F(SonetteTest, StopAllSilencesEverythingAndAPoolNodeIsReused) {
  play(sound("one", 0.125f));
  play(sound("two", 0.25f));
  loop("a", sound("music", 0.5f));
  EXPECT_EQ(renderLast(512), 0.875f);

  stopAll();
  EXPECT_EQ(renderLast(512), 0.0f);
  EXPECT_TRUE(sonette.loopNodes().empty());
  EXPECT_EQ(mixer.attachedNodes(), 2u);  // the pool stays attached

  const NodeId first = sonette.pool().front().node;
  play("two");
  EXPECT_EQ(sonette.pool().size(), 2u);
  EXPECT_TRUE(sonette.pool().front().playing);
  EXPECT_EQ(sonette.pool().front().node, first);
  EXPECT_EQ(renderLast(512), 0.25f);
}

TEST_F(SonetteTest, LoadDecodesOnceAndPlaysComeFromTheCache) {
  sound("hit", 0.5f);
  load("hit");
  EXPECT_EQ(decoder.decodes("hit"), 1);
  play("hit");
  loop("a", "hit");
  play("hit");
  EXPECT_EQ(decoder.decodes("hit"), 1);
  EXPECT_EQ(renderLast(512), 1.0f);
}

TEST_F(SonetteTest, AFileThatCannotBeReadPlaysNothingAndIsTriedAgain) {
  play("missing");
  EXPECT_TRUE(sonette.pool().empty());
  EXPECT_EQ(renderLast(512), 0.0f);

  sound("missing", 0.5f);
  play("missing");
  EXPECT_EQ(renderLast(512), 0.5f);
  EXPECT_EQ(decoder.decodes("missing"), 2);
}

TEST_F(SonetteTest, AFormatTheMixerCannotTakePlaysNothing) {
  decoder.add("nine", constantSound({48000, 9}, 100, 0.5f));
  play("nine");
  loop("a", "nine");
  EXPECT_EQ(playingCount(), 0u);
  EXPECT_TRUE(sonette.loopNodes().empty());
  EXPECT_EQ(renderLast(512), 0.0f);

  play(sound("good", 0.25f));
  EXPECT_EQ(sonette.pool().size(), 1u);
  EXPECT_EQ(renderLast(512), 0.25f);
}

TEST_F(SonetteTest, APoolNodeIsReconnectedOnlyWhenTheFormatChanges) {
  play(sound("a", 0.5f, 10));
  renderLast(512);
  play(sound("b", 0.5f, 10));
  renderLast(512);
  EXPECT_EQ(mixer.connections(), 1u);

  decoder.add("mono", constantSound({44100, 1}, 10, 0.5f));
  play("mono");
  renderLast(512);
  EXPECT_EQ(mixer.connections(), 2u);
  play("mono");
  EXPECT_EQ(mixer.connections(), 2u);
  EXPECT_EQ(sonette.pool().size(), 1u);
}

struct RetryCase {
  const char* name;
  AudioCommand command;
  int starts;  // after a failed start at launch
};

void PrintTo(const RetryCase& c, std::ostream* out) {
  *out << c.name;
}

class SonetteDeviceRetry : public ::testing::TestWithParam<RetryCase> {};

TEST_P(SonetteDeviceRetry, OnlyPlayAndLoopTryTheDeviceAgain) {
  CountingDecoder decoder;
  FakeOutput output(1);
  Mixer mixer(kDeviceFormat, [](NodeId, ScheduleId) {});
  Sonette sonette(mixer, output, decoder);
  sonette.start();
  EXPECT_FALSE(output.isRunning());

  sonette.execute(GetParam().command);
  EXPECT_EQ(output.starts(), GetParam().starts);
  sonette.execute(GetParam().command);
  EXPECT_EQ(output.starts(), GetParam().starts);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SonetteDeviceRetry,
    ::testing::Values(
        RetryCase{"play, even of a missing file", {AudioCommandType::Play, {}, "missing", {}}, 2},
        RetryCase{"loop", {AudioCommandType::Loop, "a", "missing", {}}, 2},
        RetryCase{"stop", {AudioCommandType::Stop, "a", {}, {}}, 1},
        RetryCase{"stop_all", {AudioCommandType::StopAll, {}, {}, {}}, 1},
        RetryCase{"load", {AudioCommandType::Load, {}, "missing", {}}, 1}));

}  // namespace
}  // namespace deskplay::sonette
