#include "sim/simdesk/protocol/shared_pixels.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "common/system_error.hpp"

namespace deskplay::simdesk::protocol {

namespace {

bool validSize(int width, int height) {
  return width > 0 && height > 0 && width <= SharedPixels::kMaxSide &&
         height <= SharedPixels::kMaxSide;
}

}  // namespace

SharedPixels::SharedPixels(SharedPixels&& other) noexcept
    : fd_(std::move(other.fd_)),
      data_(std::exchange(other.data_, nullptr)),
      bytes_(std::exchange(other.bytes_, 0)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      stride_(std::exchange(other.stride_, 0)),
      writable_(std::exchange(other.writable_, false)) {}

SharedPixels& SharedPixels::operator=(SharedPixels&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::move(other.fd_);
    data_ = std::exchange(other.data_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    stride_ = std::exchange(other.stride_, 0);
    writable_ = std::exchange(other.writable_, false);
  }
  return *this;
}

SharedPixels::~SharedPixels() {
  release();
}

void SharedPixels::release() {
  if (data_ != nullptr) ::munmap(data_, bytes_);
  data_ = nullptr;
  bytes_ = 0;
  fd_.reset();
}

Result<SharedPixels> SharedPixels::create(int width, int height) {
  if (!validSize(width, height)) return Error{"unusable window size"};
  UniqueFd fd(::memfd_create("simdesk-window", MFD_CLOEXEC | MFD_ALLOW_SEALING));
  if (!fd.valid()) return Error{errnoMessage("memfd_create", errno)};
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  if (::ftruncate(fd.get(), static_cast<off_t>(bytes)) != 0) {
    return Error{errnoMessage("ftruncate", errno)};
  }
  if (::fcntl(fd.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
    return Error{errnoMessage("sealing the window buffer", errno)};
  }
  return mapped(std::move(fd), width, height, stride, Access::readWrite);
}

Result<SharedPixels> SharedPixels::map(UniqueFd fd, int width, int height, std::size_t stride) {
  if (!fd.valid()) return Error{"no buffer came with the request"};
  if (!validSize(width, height)) return Error{"unusable window size"};
  if (stride < static_cast<std::size_t>(width) * 4 || stride % 4 != 0) {
    return Error{"\"stride\" is too small for the width"};
  }
  // Unsealed memory could shrink under the mapping, and reading it would then kill simdesk.
  const int seals = ::fcntl(fd.get(), F_GET_SEALS);
  if (seals < 0 || (seals & F_SEAL_SHRINK) == 0) {
    return Error{"the buffer must be a memfd sealed against shrinking"};
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return Error{errnoMessage("fstat", errno)};
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  if (status.st_size < 0 || static_cast<std::size_t>(status.st_size) < bytes) {
    return Error{"the buffer is smaller than its rows"};
  }
  return mapped(std::move(fd), width, height, stride, Access::readOnly);
}

Result<SharedPixels> SharedPixels::mapped(UniqueFd fd, int width, int height, std::size_t stride,
                                          Access access) {
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  const int protection = access == Access::readWrite ? PROT_READ | PROT_WRITE : PROT_READ;
  void* data = ::mmap(nullptr, bytes, protection, MAP_SHARED, fd.get(), 0);
  if (data == MAP_FAILED) return Error{errnoMessage("mmap", errno)};
  SharedPixels pixels;
  pixels.fd_ = std::move(fd);
  pixels.data_ = static_cast<unsigned char*>(data);
  pixels.bytes_ = bytes;
  pixels.width_ = width;
  pixels.height_ = height;
  pixels.stride_ = stride;
  pixels.writable_ = access == Access::readWrite;
  return pixels;
}

}  // namespace deskplay::simdesk::protocol
