#pragma once

#include <cstddef>

#include "common/result.hpp"

namespace deskplay {

enum class PageSize { Normal, Huge };

// Anonymous memory for data that runs to tens of MiB, such as a whole journal. It is not
// zero-filled up front (pages cost only once written), and with PageSize::Huge it asks the
// kernel for huge pages, so that filling 16 MiB takes a handful of page faults instead of
// thousands.
class LargeBuffer {
 public:
  static Result<LargeBuffer> allocate(std::size_t capacity, PageSize pages);

  LargeBuffer(LargeBuffer&& other) noexcept;
  LargeBuffer& operator=(LargeBuffer&& other) noexcept;
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;
  ~LargeBuffer();

  char* data() const { return data_; }
  std::size_t capacity() const { return capacity_; }

 private:
  LargeBuffer(char* mapping, std::size_t length, char* data, std::size_t capacity)
      : mapping_(mapping), length_(length), data_(data), capacity_(capacity) {}
  void release();

  char* mapping_ = nullptr;
  std::size_t length_ = 0;
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
};

}  // namespace deskplay
