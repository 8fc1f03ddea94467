#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "decoder.hpp"
#include "pcm_buffer.hpp"

namespace deskplay::sonette {

// Decoded sounds by the exact path string they were asked for, kept for the life of the
// process. Failures are not kept, so a file that appears or is repaired later plays.
// Worker only.
class DecodeCache {
 public:
  explicit DecodeCache(Decoder& decoder) : decoder_(decoder) {}

  // The sound at `path`, decoded now unless it already was; null when it cannot be.
  std::shared_ptr<const PcmBuffer> buffer(const std::string& path);

 private:
  Decoder& decoder_;
  std::unordered_map<std::string, std::shared_ptr<const PcmBuffer>> buffers_;
};

}  // namespace deskplay::sonette
