#pragma once

namespace deskplay::sonette {

// The shape of interleaved 32-bit float samples: frames per second and samples per frame.
struct AudioFormat {
  int sampleRate = 0;
  int channels = 0;

  friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
};

// What the mixer renders and the device plays: one period is short enough for sound
// effects to follow their command closely, and the float format needs no conversion.
inline constexpr AudioFormat kDeviceFormat{48000, 2};
inline constexpr int kDevicePeriodFrames = 512;

// The most channels a sound may have: the per-node conversion handles no more.
inline constexpr int kMaxChannels = 8;

}  // namespace deskplay::sonette
