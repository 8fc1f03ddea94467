#include "sndfile_decoder.hpp"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "support/temp_dir.hpp"
#include "test_sounds.hpp"

namespace deskplay::sonette {
namespace {

namespace fs = std::filesystem;
using deskplay::testing::TempDir;
using deskplay::testing::writeFile;
using testing::sineSound;
using testing::writeSoundFile;

constexpr double kAmplitude = 0.5;

double rms(const PcmBuffer& sound) {
  double sum = 0;
  for (float sample : sound.samples)
    sum += static_cast<double>(sample) * static_cast<double>(sample);
  return std::sqrt(sum / static_cast<double>(sound.samples.size()));
}

enum class Fidelity { Exact, Lossy };

struct FileFormat {
  const char* name;
  int sndfileFormat;
  AudioFormat format;
  Fidelity fidelity;
};

void PrintTo(const FileFormat& format, std::ostream* out) {
  *out << format.name;
}

class DecodesFormat : public ::testing::TestWithParam<FileFormat> {};

TEST_P(DecodesFormat, InItsOwnRateAndChannels) {
  const FileFormat& param = GetParam();
  TempDir dir;
  const fs::path path = dir / (std::string("sound.") + param.name);
  const auto frames = static_cast<std::size_t>(param.format.sampleRate / 4);
  const PcmBuffer written = sineSound(param.format, frames, 440.0, kAmplitude);
  writeSoundFile(path, written, param.sndfileFormat);

  SndfileDecoder decoder;
  Result<PcmBuffer> decoded = decoder.decode(path);
  ASSERT_TRUE(decoded.ok()) << decoded.message();
  const PcmBuffer& sound = decoded.value();
  EXPECT_EQ(sound.format, param.format);
  if (param.fidelity == Fidelity::Exact) {
    ASSERT_EQ(sound.frames(), frames);
    for (std::size_t i = 0; i < sound.samples.size(); ++i) {
      ASSERT_NEAR(sound.samples[i], written.samples[i], 1e-4) << "sample " << i;
    }
  } else {
    // Lossy coders pad the start and end, and change samples, but keep the sound.
    EXPECT_NEAR(static_cast<double>(sound.frames()), static_cast<double>(frames), 4096.0);
    EXPECT_NEAR(rms(sound), kAmplitude / std::sqrt(2.0), 0.05);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodesFormat,
    ::testing::Values(
        FileFormat{"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, {48000, 2}, Fidelity::Exact},
        FileFormat{"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, {44100, 1}, Fidelity::Exact},
        FileFormat{"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, {22050, 1}, Fidelity::Exact},
        FileFormat{"caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT, {96000, 6}, Fidelity::Exact},
        FileFormat{"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, {48000, 2}, Fidelity::Lossy},
        FileFormat{"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, {44100, 1}, Fidelity::Lossy}));

TEST(SndfileDecoder, AFileCutShortGivesTheFramesItHolds) {
  TempDir dir;
  const fs::path path = dir / "cut.wav";
  writeSoundFile(path, sineSound({8000, 1}, 1000, 440.0, kAmplitude),
                 SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  // The header still claims 1000 frames.
  fs::resize_file(path, fs::file_size(path) - 600 * 2);

  Result<PcmBuffer> decoded = SndfileDecoder().decode(path);
  ASSERT_TRUE(decoded.ok()) << decoded.message();
  EXPECT_EQ(decoded.value().frames(), 400u);
}

struct Unreadable {
  const char* name;
  // Makes what the decoder is pointed at; gives the path to decode.
  std::function<std::string(const fs::path& dir)> make;
};

void PrintTo(const Unreadable& unreadable, std::ostream* out) {
  *out << unreadable.name;
}

class RefusesFile : public ::testing::TestWithParam<Unreadable> {};

TEST_P(RefusesFile, WithAnError) {
  TempDir dir;
  const std::string path = GetParam().make(dir.path());
  EXPECT_FALSE(SndfileDecoder().decode(path).ok());
}

std::string wavWith(const fs::path& dir, AudioFormat format, std::size_t frames) {
  const fs::path path = dir / "sound.wav";
  writeSoundFile(path, sineSound(format, frames, 440.0, kAmplitude),
                 SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  return path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusesFile,
    ::testing::Values(Unreadable{"missing",
                                 [](const fs::path& dir) { return dir / "missing.wav"; }},
                      Unreadable{"empty",
                                 [](const fs::path& dir) {
                                   writeFile(dir / "empty.wav", "");
                                   return dir / "empty.wav";
                                 }},
                      Unreadable{"not audio",
                                 [](const fs::path& dir) {
                                   writeFile(dir / "notes.wav",
                                             "these are not the sounds you are looking for\n");
                                   return dir / "notes.wav";
                                 }},
                      Unreadable{"directory", [](const fs::path& dir) { return dir; }},
                      Unreadable{"fifo without a writer",
                                 [](const fs::path& dir) {
                                   const fs::path fifo = dir / "pipe.wav";
                                   EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
                                   return fifo;
                                 }},
                      Unreadable{"no frames",
                                 [](const fs::path& dir) {
                                   return wavWith(dir, {48000, 2}, 0);
                                 }},
                      Unreadable{"nine channels",
                                 [](const fs::path& dir) {
                                   return wavWith(dir, {48000, 9}, 100);
                                 }},
                      Unreadable{"NUL inside the path", [](const fs::path& dir) {
                                   // Cut at the NUL, the path names a good sound.
                                   return wavWith(dir, {48000, 2}, 100) + std::string("\0.junk", 6);
                                 }}));

}  // namespace
}  // namespace deskplay::sonette
