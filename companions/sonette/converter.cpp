#include "converter.hpp"

#include <SDL2/SDL_audio.h>
#include <SDL2/SDL_error.h>

#include <algorithm>
#include <climits>
#include <string>

namespace deskplay::sonette {

namespace {

constexpr std::size_t kSampleBytes = sizeof(float);

std::size_t frameBytes(AudioFormat format) {
  return static_cast<std::size_t>(format.channels) * kSampleBytes;
}

}  // namespace

void Converter::StreamFree::operator()(_SDL_AudioStream* stream) const {
  SDL_FreeAudioStream(stream);
}

Result<Converter> Converter::create(AudioFormat from, AudioFormat to) {
  if (from.channels < 1 || from.channels > kMaxChannels || to.channels < 1 ||
      to.channels > kMaxChannels || from.sampleRate < 1 || to.sampleRate < 1) {
    return Error{"unsupported audio format"};
  }
  SDL_AudioStream* stream =
      SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(from.channels), from.sampleRate,
                         AUDIO_F32SYS, static_cast<Uint8>(to.channels), to.sampleRate);
  if (stream == nullptr) return Error{std::string("cannot convert: ") + SDL_GetError()};
  return Converter(std::unique_ptr<_SDL_AudioStream, StreamFree>(stream), from, to);
}

Status Converter::put(std::span<const float> samples) {
  const std::size_t bytes = samples.size_bytes();
  if (bytes > INT_MAX || bytes % frameBytes(from_) != 0) return Error{"bad sample count"};
  if (SDL_AudioStreamPut(stream_.get(), samples.data(), static_cast<int>(bytes)) != 0) {
    return Error{std::string("conversion failed: ") + SDL_GetError()};
  }
  return Status::success();
}

void Converter::flush() {
  SDL_AudioStreamFlush(stream_.get());
}

void Converter::clear() {
  SDL_AudioStreamClear(stream_.get());
}

std::size_t Converter::availableFrames() const {
  const int bytes = SDL_AudioStreamAvailable(stream_.get());
  return bytes > 0 ? static_cast<std::size_t>(bytes) / frameBytes(to_) : 0;
}

std::size_t Converter::get(std::span<float> out) {
  const std::size_t wholeFrameBytes =
      std::min<std::size_t>(out.size_bytes(), INT_MAX) / frameBytes(to_) * frameBytes(to_);
  if (wholeFrameBytes == 0) return 0;
  const int got = SDL_AudioStreamGet(stream_.get(), out.data(), static_cast<int>(wholeFrameBytes));
  return got > 0 ? static_cast<std::size_t>(got) / frameBytes(to_) : 0;
}

}  // namespace deskplay::sonette
