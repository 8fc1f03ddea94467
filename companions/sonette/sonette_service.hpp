#pragma once

#include <functional>
#include <memory>

#include "audio_command.hpp"
#include "audio_output.hpp"
#include "common/serial_queue.hpp"
#include "decoder.hpp"
#include "mixer.hpp"
#include "sonette.hpp"

namespace deskplay::sonette {

// Sonette's threads wired together: the caller (the main thread) hands over commands; one
// serial worker owns the controller, the mixer's node graph and the output device; the
// device's audio thread renders the mixer and hands completions back to the worker.
class SonetteService {
 public:
  using OutputFactory = std::function<std::unique_ptr<AudioOutput>(AudioSource& mixer)>;

  SonetteService(Decoder& decoder, const OutputFactory& makeOutput);
  SonetteService(const SonetteService&) = delete;
  SonetteService& operator=(const SonetteService&) = delete;
  // Runs what is queued, then stops the device before anything it calls goes away.
  ~SonetteService();

  // Starts the output device on the worker and waits for that.
  void start();
  // Hands `command` to the worker, behind everything handed over before.
  void submit(AudioCommand command);
  // Waits until everything handed over so far has run.
  void sync();

 private:
  Mixer mixer_;
  std::unique_ptr<AudioOutput> output_;
  Sonette controller_ GUARDED_BY(queue_);
  SerialQueue queue_;
};

}  // namespace deskplay::sonette
