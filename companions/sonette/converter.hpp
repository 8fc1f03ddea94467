#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <utility>

#include "audio_format.hpp"
#include "common/result.hpp"

struct _SDL_AudioStream;

namespace deskplay::sonette {

// Converts interleaved float samples from a sound's format to the device's: channel mapping
// and resampling, with the resampler's state carried across calls. One thread at a time.
class Converter {
 public:
  static Result<Converter> create(AudioFormat from, AudioFormat to);

  AudioFormat from() const { return from_; }
  AudioFormat to() const { return to_; }

  // Takes whole frames in `from`.
  Status put(std::span<const float> samples);
  // Marks the end of the input, so that the resampler gives out what it still holds.
  void flush();
  // Forgets everything put and not yet taken.
  void clear();
  // Frames in `to` ready to be taken.
  std::size_t availableFrames() const;
  // Takes up to out.size() samples' worth of whole frames; the number of frames taken.
  std::size_t get(std::span<float> out);

 private:
  struct StreamFree {
    void operator()(_SDL_AudioStream* stream) const;
  };

  Converter(std::unique_ptr<_SDL_AudioStream, StreamFree> stream, AudioFormat from, AudioFormat to)
      : stream_(std::move(stream)), from_(from), to_(to) {}

  std::unique_ptr<_SDL_AudioStream, StreamFree> stream_;
  AudioFormat from_;
  AudioFormat to_;
};

}  // namespace deskplay::sonette
