#include "test_sounds.hpp"

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace deskplay::sonette::testing {

namespace {

template <class SampleOf>
PcmBuffer makeSound(AudioFormat format, std::size_t frames, SampleOf sampleOf) {
  PcmBuffer sound{format, {}};
  const auto channels = static_cast<std::size_t>(format.channels);
  sound.samples.reserve(frames * channels);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const float sample = sampleOf(frame);
    for (std::size_t channel = 0; channel < channels; ++channel) sound.samples.push_back(sample);
  }
  return sound;
}

}  // namespace

PcmBuffer constantSound(AudioFormat format, std::size_t frames, float value) {
  return makeSound(format, frames, [value](std::size_t) { return value; });
}

PcmBuffer sineSound(AudioFormat format, std::size_t frames, double frequency, double amplitude) {
  return makeSound(format, frames, [&](std::size_t frame) {
    const double time = static_cast<double>(frame) / format.sampleRate;
    return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequency * time));
  });
}

PcmBuffer rampSound(AudioFormat format, std::size_t frames) {
  return makeSound(format, frames, [frames](std::size_t frame) {
    return static_cast<float>(frame + 1) / static_cast<float>(frames);
  });
}

void writeSoundFile(const std::filesystem::path& path, const PcmBuffer& sound, int sndfileFormat) {
  SF_INFO info{};
  info.samplerate = sound.format.sampleRate;
  info.channels = sound.format.channels;
  info.format = sndfileFormat;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr)
    throw std::runtime_error("cannot write " + path.string() + ": " + sf_strerror(nullptr));
  const auto frames = static_cast<sf_count_t>(sound.frames());
  const sf_count_t written = sf_writef_float(file, sound.samples.data(), frames);
  sf_close(file);
  if (written != frames) throw std::runtime_error("short write to " + path.string());
}

int CountingDecoder::decodes(const std::string& path) const {
  const auto found = decodes_.find(path);
  return found == decodes_.end() ? 0 : found->second;
}

Result<PcmBuffer> CountingDecoder::decode(const std::string& path) {
  ++decodes_[path];
  const auto found = sounds_.find(path);
  if (found == sounds_.end()) return Error{"no sound at " + path};
  return found->second;
}

Status FakeOutput::start() {
  ++starts_;
  if (failuresLeft_ > 0) {
    --failuresLeft_;
    return Error{"no device"};
  }
  running_ = true;
  return Status::success();
}

}  // namespace deskplay::sonette::testing
