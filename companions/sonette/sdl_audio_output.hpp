#pragma once

#include <cstdint>

#include "audio_format.hpp"
#include "audio_output.hpp"

namespace deskplay::sonette {

// The default SDL output device in float samples. The device is opened with exactly the
// format asked for (SDL converts to the hardware's own when they differ), so the source
// always renders one fixed format. SDL's driver follows SDL_AUDIODRIVER.
class SdlAudioOutput final : public AudioOutput {
 public:
  SdlAudioOutput(AudioSource& source, AudioFormat format, int periodFrames);
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;
  ~SdlAudioOutput() override;

  // A device that stopped (a lost one, say) is closed and opened anew.
  Status start() override;
  bool isRunning() const override;

 private:
  void close();

  AudioSource& source_;
  AudioFormat format_;
  int periodFrames_;
  bool audioInitialised_ = false;
  std::uint32_t device_ = 0;
};

// Frees what SDL keeps for the calling thread. A thread that SDL did not start and that
// called SDL calls this before it ends, or that memory is lost.
void releaseSdlThreadState();

}  // namespace deskplay::sonette
