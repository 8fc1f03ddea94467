#pragma once

#include <cstddef>
#include <vector>

#include "audio_format.hpp"

namespace deskplay::sonette {

// A whole decoded sound, interleaved in its own format. Never changed once decoded, so the
// worker and the audio thread share it without locks.
struct PcmBuffer {
  AudioFormat format;
  std::vector<float> samples;

  std::size_t frames() const {
    return format.channels > 0 ? samples.size() / static_cast<std::size_t>(format.channels) : 0;
  }
};

}  // namespace deskplay::sonette
