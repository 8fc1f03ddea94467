#include "sdl_audio_output.hpp"

#include <SDL2/SDL.h>

#include <span>
#include <string>

namespace deskplay::sonette {

namespace {

void renderPeriod(void* userdata, Uint8* stream, int length) {
  auto* source = static_cast<AudioSource*>(userdata);
  const std::size_t samples = static_cast<std::size_t>(length) / sizeof(float);
  source->render(std::span<float>(reinterpret_cast<float*>(stream), samples));
}

}  // namespace

SdlAudioOutput::SdlAudioOutput(AudioSource& source, AudioFormat format, int periodFrames)
    : source_(source), format_(format), periodFrames_(periodFrames) {}

SdlAudioOutput::~SdlAudioOutput() {
  close();
  if (audioInitialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::close() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
}

Status SdlAudioOutput::start() {
  if (isRunning()) return Status::success();
  close();
  if (!audioInitialised_) {
    // The program ends on SIGINT and SIGTERM as any other would.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      return Error{std::string("cannot start audio: ") + SDL_GetError()};
    }
    audioInitialised_ = true;
  }

  SDL_AudioSpec wanted{};
  wanted.freq = format_.sampleRate;
  wanted.format = AUDIO_F32SYS;
  wanted.channels = static_cast<Uint8>(format_.channels);
  wanted.samples = static_cast<Uint16>(periodFrames_);
  wanted.callback = renderPeriod;
  wanted.userdata = &source_;
  SDL_AudioSpec obtained{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) return Error{std::string("cannot open the audio device: ") + SDL_GetError()};
  SDL_PauseAudioDevice(device_, 0);
  return Status::success();
}

void releaseSdlThreadState() {
  SDL_TLSCleanup();
}

bool SdlAudioOutput::isRunning() const {
  return device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_PLAYING;
}

}  // namespace deskplay::sonette
