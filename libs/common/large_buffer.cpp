#include "common/large_buffer.hpp"

#include <sys/mman.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "common/system_error.hpp"

namespace deskplay {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t value, std::size_t unit) {
  return (value + unit - 1) / unit * unit;
}

}  // namespace

Result<LargeBuffer> LargeBuffer::allocate(std::size_t capacity, PageSize pages) {
  if (capacity == 0) capacity = 1;
  // Huge pages need an aligned range: map one huge page more and start at the boundary.
  const std::size_t alignment = pages == PageSize::Huge ? kHugePage : 1;
  const std::size_t length = roundUp(capacity, kHugePage) + (alignment > 1 ? alignment : 0);
  void* mapping =
      ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return Error{errnoMessage("allocate a large buffer", errno)};
  char* start = static_cast<char*>(mapping);
  if (alignment > 1) {
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    start += roundUp(address, alignment) - address;
#if defined(MADV_HUGEPAGE)
    // Only advice: where huge pages are off, this fails and normal pages serve.
    ::madvise(start, roundUp(capacity, kHugePage), MADV_HUGEPAGE);
#endif
  }
  return LargeBuffer(static_cast<char*>(mapping), length, start, capacity);
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : mapping_(std::exchange(other.mapping_, nullptr)),
      length_(std::exchange(other.length_, 0)),
      data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
  if (this != &other) {
    release();
    mapping_ = std::exchange(other.mapping_, nullptr);
    length_ = std::exchange(other.length_, 0);
    data_ = std::exchange(other.data_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

LargeBuffer::~LargeBuffer() {
  release();
}

void LargeBuffer::release() {
  if (mapping_ != nullptr) ::munmap(mapping_, length_);
  mapping_ = nullptr;
}

}  // namespace deskplay
