#pragma once

#include <string>

#include "common/result.hpp"
#include "pcm_buffer.hpp"

namespace deskplay::sonette {

// Turns a sound file into PCM. Called on the serial worker only.
class Decoder {
 public:
  virtual ~Decoder() = default;

  // The whole file at `path` in its own format, with at least one frame; or why not.
  virtual Result<PcmBuffer> decode(const std::string& path) = 0;
};

}  // namespace deskplay::sonette
