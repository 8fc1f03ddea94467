#pragma once

#include <cstdint>

#include "decoder.hpp"

namespace deskplay::sonette {

// The most frames one sound may have: a buffer's frame count is 32 bits wide. Longer
// files (over a day of audio) are refused rather than cut short.
inline constexpr std::int64_t kMaxFrames = UINT32_MAX;

// Decodes WAV, AIFF, FLAC, Ogg, MP3, CAF and the other formats libsndfile reads, as 32-bit
// float in the file's own rate and channel count. Only regular files are read: a FIFO or a
// device would block the worker or never end.
class SndfileDecoder final : public Decoder {
 public:
  Result<PcmBuffer> decode(const std::string& path) override;
};

}  // namespace deskplay::sonette
