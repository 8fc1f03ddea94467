#pragma once

#include <cstddef>
#include <cstdint>

#include "common/result.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::simdesk::protocol {

// A window's pixels in shared memory: a sealed memfd holding `height` rows of premultiplied
// ARGB32, `stride` bytes apart. The client makes it writable and passes the descriptor over
// the socket; simdesk maps it read-only. The size is sealed so that neither side can shrink
// it under the other's mapping.
class SharedPixels {
 public:
  // The largest side simdesk takes, in pixels.
  static constexpr int kMaxSide = 16384;

  SharedPixels() = default;
  SharedPixels(const SharedPixels&) = delete;
  SharedPixels& operator=(const SharedPixels&) = delete;
  SharedPixels(SharedPixels&& other) noexcept;
  SharedPixels& operator=(SharedPixels&& other) noexcept;
  ~SharedPixels();

  // A new writable buffer, cleared to transparent.
  static Result<SharedPixels> create(int width, int height);
  // Maps a client's buffer read-only; refuses one whose size is not sealed against
  // shrinking or that is too small for its rows.
  static Result<SharedPixels> map(UniqueFd fd, int width, int height, std::size_t stride);

  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t stride() const { return stride_; }
  int descriptor() const { return fd_.get(); }
  const unsigned char* data() const { return data_; }
  // Only for a buffer this process created.
  unsigned char* writableData() const { return writable_ ? data_ : nullptr; }
  bool valid() const { return data_ != nullptr; }

 private:
  enum class Access { readOnly, readWrite };

  // Maps the rows of `fd` and keeps the mapping with the buffer's geometry.
  static Result<SharedPixels> mapped(UniqueFd fd, int width, int height, std::size_t stride,
                                     Access access);
  void release();

  UniqueFd fd_;
  unsigned char* data_ = nullptr;
  std::size_t bytes_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
  bool writable_ = false;
};

}  // namespace deskplay::simdesk::protocol
