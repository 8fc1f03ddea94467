// The real Sonette binary: "READY", commands played into SDL's disk device, "EXIT", the end
// of input, and bad lines.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "audio_format.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"
#include "test_sounds.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Json = nlohmann::json;
using sonette::AudioFormat;
using sonette::kDeviceFormat;

constexpr double kSineFrequency = 440.0;
constexpr double kSineAmplitude = 0.5;
constexpr float kMarkerLevel = 0.25f;  // exact in 16-bit PCM

std::vector<float> readSamples(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<float> samples(bytes.size() / sizeof(float));
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}

// Whether the device's left channel holds at least `seconds` of a sine near `frequency`.
bool holdsSine(const std::vector<float>& device, double frequency, double seconds) {
  const std::size_t frames = device.size() / 2;
  std::optional<std::size_t> first;
  std::size_t last = 0;
  for (std::size_t frame = 0; frame < frames; ++frame) {
    if (std::abs(device[frame * 2]) > 0.05f) {
      if (!first) first = frame;
      last = frame;
    }
  }
  if (!first || static_cast<double>(last - *first) < seconds * kDeviceFormat.sampleRate) {
    return false;
  }
  std::size_t crossings = 0;
  for (std::size_t frame = *first + 1; frame <= last; ++frame) {
    if ((device[frame * 2] >= 0) != (device[(frame - 1) * 2] >= 0)) ++crossings;
  }
  const double duration = static_cast<double>(last - *first) / kDeviceFormat.sampleRate;
  const double measured = static_cast<double>(crossings) / 2.0 / duration;
  return std::abs(measured - frequency) < frequency * 0.05;
}

std::string playLine(const fs::path& path) {
  return Json{{"type", "play"}, {"path", path.string()}}.dump();
}
std::string loopLine(const std::string& id, const fs::path& path) {
  return Json{{"type", "loop"}, {"id", id}, {"path", path.string()}}.dump();
}

class Sonette : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(home);
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
  }

  // Starts Sonette with its device output going to `device` and reads its "READY".
  ChildProcess& start(const fs::path& deviceFile) {
    process = std::make_unique<ChildProcess>(
        std::vector<std::string>{SONETTE_PATH},
        std::vector<std::string>{"HOME=" + home.string(), "XDG_RUNTIME_DIR=" + runtime.string(),
                                 "SDL_AUDIODRIVER=disk",
                                 "SDL_DISKAUDIOFILE=" + deviceFile.string()});
    EXPECT_EQ(process->readLine(), "READY");
    return *process;
  }

  fs::path sineFile(const std::string& name, AudioFormat format, int sndfileFormat,
                    double seconds) {
    const fs::path path = root / name;
    const auto frames = static_cast<std::size_t>(seconds * format.sampleRate);
    sonette::testing::writeSoundFile(
        path, sonette::testing::sineSound(format, frames, kSineFrequency, kSineAmplitude),
        sndfileFormat);
    return path;
  }

  // Reads the device output until `done` holds for it, for at most ten seconds.
  std::vector<float> deviceOutputOnce(const std::function<bool(const std::vector<float>&)>& done,
                                      const fs::path& path) {
    std::vector<float> samples;
    eventually(
        [&] {
          samples = readSamples(path);
          return done(samples);
        },
        10s);
    return samples;
  }

  // Sends "EXIT" and checks that nothing more was written and the exit status is 0.
  void exitCleanly() {
    process->writeLine("EXIT");
    EXPECT_EQ(process->readRemainingOutput(10s), "");
    EXPECT_EQ(process->wait(), 0);
  }

  TempDir root;
  fs::path home = root / "home";
  fs::path runtime = root / "run";
  fs::path device = root / "device.raw";
  std::unique_ptr<ChildProcess> process;
};

struct SoundFile {
  const char* name;
  AudioFormat format;
  int sndfileFormat;
};

void PrintTo(const SoundFile& file, std::ostream* out) {
  *out << file.name;
}

class SonettePlays : public Sonette, public ::testing::WithParamInterface<SoundFile> {};

TEST_P(SonettePlays, AGeneratedSineIntoTheDevice) {
  const fs::path sine = sineFile(GetParam().name, GetParam().format, GetParam().sndfileFormat, 0.3);
  ChildProcess& sonette = start(device);
  sonette.writeLine(playLine(sine));
  const auto heard = [](const std::vector<float>& out) {
    return holdsSine(out, kSineFrequency, 0.25);
  };
  EXPECT_TRUE(heard(deviceOutputOnce(heard, device)));
  exitCleanly();
}

INSTANTIATE_TEST_SUITE_P(
    Files, SonettePlays,
    ::testing::Values(SoundFile{"sine.wav", {48000, 2}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                      SoundFile{"sine.flac", {44100, 1}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16}));

TEST_F(Sonette, ExitWhileALoopPlaysEndsTheProcessAtOnce) {
  const fs::path sine = sineFile("loop.wav", {48000, 2}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1);
  ChildProcess& sonette = start(device);
  sonette.writeLine(loopLine("music", sine));
  const auto heard = [](const std::vector<float>& out) {
    return holdsSine(out, kSineFrequency, 0.3);
  };
  ASSERT_TRUE(heard(deviceOutputOnce(heard, device)));
  exitCleanly();
}

TEST_F(Sonette, EndOfInputEndsTheProcessWithStatusZero) {
  const fs::path sine = sineFile("loop.wav", {48000, 2}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1);
  ChildProcess& sonette = start(device);
  sonette.writeLine(loopLine("music", sine));
  const auto heard = [](const std::vector<float>& out) {
    return holdsSine(out, kSineFrequency, 0.1);
  };
  ASSERT_TRUE(heard(deviceOutputOnce(heard, device)));
  sonette.closeStdin();
  EXPECT_EQ(sonette.readRemainingOutput(10s), "");
  EXPECT_EQ(sonette.wait(), 0);
}

TEST_F(Sonette, ADeviceMissingAtStartIsOpenedByTheNextPlay) {
  const fs::path sine = sineFile("sine.wav", {48000, 2}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.3);
  const fs::path later = root / "later" / "device.raw";
  ChildProcess& sonette = start(later);
  sonette.writeLine(R"({"type":"stop_all"})");
  sonette.writeLine(playLine(root / "missing.wav"));
  // Sonette has taken both lines in; its queue runs them in order before any later line.
  ASSERT_TRUE(eventually([&] { return sonette.unreadInput() == 0; }));
  EXPECT_FALSE(fs::exists(later));

  fs::create_directory(later.parent_path());
  sonette.writeLine(playLine(sine));
  const auto heard = [](const std::vector<float>& out) {
    return holdsSine(out, kSineFrequency, 0.25);
  };
  EXPECT_TRUE(heard(deviceOutputOnce(heard, later)));
  exitCleanly();
}

TEST_F(Sonette, BadLinesAreIgnoredWithoutOutputOrSound) {
  const fs::path sine = sineFile("sine.wav", {48000, 2}, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.2);
  const fs::path marker = root / "marker.wav";
  sonette::testing::writeSoundFile(
      marker, sonette::testing::constantSound(kDeviceFormat, 4800, kMarkerLevel),
      SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  writeFile(root / "empty.wav", "");
  writeFile(root / "text.wav", "RIFF but not really\n");
  fs::create_directory(root / "folder.wav");
  const std::string s = sine.string();
  const auto with = [](Json object) { return object.dump(); };

  const std::vector<std::string> lines{
      "not json",
      "EXIT ",
      " EXIT",
      "exit",
      "{}",
      "[" + playLine(sine) + "]",
      playLine(sine) + " trailing",
      with({{"path", s}}),
      with({{"type", 7}, {"path", s}}),
      with({{"type", "plya"}, {"path", s}}),
      with({{"type", "PLAY"}, {"path", s}}),
      with({{"type", "play"}}),
      with({{"type", "play"}, {"path", 5}}),
      with({{"type", "play"}, {"path", s}, {"volume", "1"}}),
      with({{"type", "loop"}, {"path", s}}),
      with({{"type", "loop"}, {"id", "a"}}),
      with({{"type", "loop"}, {"id", 1}, {"path", s}}),
      with({{"type", "stop"}}),
      with({{"type", "play"}, {"path", s}, {"volume", -1}}),
      with({{"type", "loop"}, {"id", "quiet"}, {"path", s}, {"volume", -1}}),
      playLine(root / "missing.wav"),
      playLine(root / "empty.wav"),
      playLine(root / "text.wav"),
      playLine(root / "folder.wav"),
      with({{"type", "loop"}, {"id", "x"}, {"path", (root / "text.wav").string()}}),
      with({{"type", "play"}, {"path", s + std::string("\0.junk", 6)}}),
      "{\"type\":\"play\",\"path\":\"" + s + "\xFF\"}",
      std::string("{\"type\":\"play\",\0\"path\":\"", 25) + s + "\"}",
      R"({"type":"play","path":")" + s + std::string(2 << 20, '/') + "\"}",
  };
  ChildProcess& sonette = start(device);
  for (const std::string& line : lines) sonette.writeLine(line);
  // Commands run in order: once the marker sounds, every line before it has been handled.
  sonette.writeLine(playLine(marker));
  const auto markerHeard = [](const std::vector<float>& out) {
    std::size_t count = 0;
    for (float sample : out) count += sample == kMarkerLevel ? 1 : 0;
    return count >= 4800 * 2;
  };
  const std::vector<float> out = deviceOutputOnce(markerHeard, device);
  EXPECT_TRUE(markerHeard(out));
  for (std::size_t i = 0; i < out.size(); ++i) {
    ASSERT_TRUE(out[i] == 0.0f || out[i] == kMarkerLevel) << "sample " << i << " is " << out[i];
  }
  exitCleanly();
}

}  // namespace
}  // namespace deskplay::testing
