#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>

#include "audio_output.hpp"
#include "decoder.hpp"
#include "pcm_buffer.hpp"

namespace deskplay::sonette::testing {

// `frames` frames of one value on every channel: in the device format such a sound comes
// out of the mixer unchanged, so sums of sounds can be read straight off the output.
PcmBuffer constantSound(AudioFormat format, std::size_t frames, float value);
// A sine of `frequency` Hz at `amplitude` on every channel.
PcmBuffer sineSound(AudioFormat format, std::size_t frames, double frequency, double amplitude);
// Frame i holds (i + 1) / frames on every channel: each frame can be told from the others.
PcmBuffer rampSound(AudioFormat format, std::size_t frames);

// Writes `sound` with libsndfile in `sndfileFormat` (SF_FORMAT_WAV | SF_FORMAT_PCM_16 ...).
void writeSoundFile(const std::filesystem::path& path, const PcmBuffer& sound, int sndfileFormat);

// Sounds by path, counting how often each path is decoded; unknown paths fail.
class CountingDecoder final : public Decoder {
 public:
  void add(const std::string& path, PcmBuffer sound) { sounds_[path] = std::move(sound); }
  int decodes(const std::string& path) const;

  Result<PcmBuffer> decode(const std::string& path) override;

 private:
  std::map<std::string, PcmBuffer> sounds_;
  std::map<std::string, int> decodes_;
};

// An output device that fails its first `failures` starts and never renders by itself.
class FakeOutput final : public AudioOutput {
 public:
  explicit FakeOutput(int failures = 0) : failuresLeft_(failures) {}

  Status start() override;
  bool isRunning() const override { return running_; }
  int starts() const { return starts_; }

 private:
  int failuresLeft_;
  int starts_ = 0;
  bool running_ = false;
};

}  // namespace deskplay::sonette::testing
