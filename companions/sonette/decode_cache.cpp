#include "decode_cache.hpp"

#include <utility>

namespace deskplay::sonette {

std::shared_ptr<const PcmBuffer> DecodeCache::buffer(const std::string& path) {
  if (const auto cached = buffers_.find(path); cached != buffers_.end()) return cached->second;
  Result<PcmBuffer> decoded = decoder_.decode(path);
  if (!decoded.ok() || decoded.value().frames() == 0) return nullptr;
  auto shared = std::make_shared<const PcmBuffer>(std::move(decoded).value());
  buffers_.emplace(path, shared);
  return shared;
}

}  // namespace deskplay::sonette
