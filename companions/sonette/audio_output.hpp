#pragma once

#include <span>

#include "common/result.hpp"

namespace deskplay::sonette {

// What a device plays: called on the device's audio thread for every period.
class AudioSource {
 public:
  virtual ~AudioSource() = default;

  // Fills `out` with the next out.size() / channels frames, interleaved, in the device format.
  virtual void render(std::span<float> out) = 0;
};

// The output device. Worker only.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Opens the device, when it is not running, and starts it pulling periods from the source.
  virtual Status start() = 0;
  virtual bool isRunning() const = 0;
};

}  // namespace deskplay::sonette
