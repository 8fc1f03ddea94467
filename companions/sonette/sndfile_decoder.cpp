#include "sndfile_decoder.hpp"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "common/system_error.hpp"
#include "common/unique_fd.hpp"

namespace deskplay::sonette {

namespace {

// Frames read per call; the buffer grows with what actually arrives, so a header that
// claims more than the file holds costs no memory.
constexpr sf_count_t kReadFrames = 1 << 16;
// What is reserved up front from the header's frame count, at most (in samples).
constexpr std::size_t kMaxReservedSamples = std::size_t{1} << 24;

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

Result<UniqueFd> openRegularFile(const std::string& path) {
  // A name with a NUL in it would open some other, shorter name.
  if (path.find('\0') != std::string::npos) return Error{"the path holds a NUL byte"};
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.valid()) return Error{errnoMessage("open " + path, errno)};
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return Error{errnoMessage("fstat " + path, errno)};
  if (!S_ISREG(status.st_mode)) return Error{path + " is not a regular file"};
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return Error{errnoMessage("fcntl " + path, errno)};
  }
  return fd;
}

}  // namespace

Result<PcmBuffer> SndfileDecoder::decode(const std::string& path) {
  Result<UniqueFd> opened = openRegularFile(path);
  if (!opened.ok()) return opened.error();

  SF_INFO info{};
  SndfileHandle file(sf_open_fd(opened.value().get(), SFM_READ, &info, /*close_desc=*/SF_FALSE));
  if (!file) return Error{path + ": " + sf_strerror(nullptr)};
  if (info.frames <= 0) return Error{path + " holds no frames"};
  if (info.frames > kMaxFrames) return Error{path + " is too long"};
  if (info.channels < 1 || info.channels > kMaxChannels) {
    return Error{path + " has an unsupported channel count"};
  }
  if (info.samplerate < 1) return Error{path + " has no sample rate"};

  PcmBuffer buffer{{info.samplerate, info.channels}, {}};
  const auto channels = static_cast<std::size_t>(info.channels);
  try {
    buffer.samples.reserve(
        std::min(static_cast<std::size_t>(info.frames) * channels, kMaxReservedSamples));
    std::size_t framesRead = 0;
    while (static_cast<sf_count_t>(framesRead) < info.frames) {
      const sf_count_t wanted =
          std::min(kReadFrames, info.frames - static_cast<sf_count_t>(framesRead));
      buffer.samples.resize((framesRead + static_cast<std::size_t>(wanted)) * channels);
      const sf_count_t got =
          sf_readf_float(file.get(), buffer.samples.data() + framesRead * channels, wanted);
      if (got < 0) break;
      framesRead += static_cast<std::size_t>(got);
      if (got < wanted) break;
    }
    buffer.samples.resize(framesRead * channels);
  } catch (const std::bad_alloc&) {
    return Error{path + " does not fit in memory"};
  }
  if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
    return Error{path + ": " + sf_strerror(file.get())};
  }
  if (buffer.samples.empty()) return Error{path + " holds no frames"};
  return buffer;
}

}  // namespace deskplay::sonette
