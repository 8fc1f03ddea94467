#include "sonette_service.hpp"

#include <utility>

#include "audio_format.hpp"
#include "sdl_audio_output.hpp"

namespace deskplay::sonette {

SonetteService::SonetteService(Decoder& decoder, const OutputFactory& makeOutput)
    : mixer_(kDeviceFormat,
             [this](NodeId node, ScheduleId schedule) {
               queue_.async([this, node, schedule] {
                 queue_.assertOnQueue();
                 controller_.completed(node, schedule);
               });
             }),
      output_(makeOutput(mixer_)),
      controller_(mixer_, *output_, decoder),
      queue_("quillon.sonette", releaseSdlThreadState) {}

SonetteService::~SonetteService() {
  queue_.finish();
  // Completions the audio thread reports from here on are queued and never run.
  output_.reset();
}

void SonetteService::start() {
  queue_.sync([this] {
    queue_.assertOnQueue();
    controller_.start();
  });
}

void SonetteService::submit(AudioCommand command) {
  queue_.async([this, command = std::move(command)] {
    queue_.assertOnQueue();
    controller_.execute(command);
  });
}

void SonetteService::sync() {
  queue_.sync([] {});
}

}  // namespace deskplay::sonette
