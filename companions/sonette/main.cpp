#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "audio_format.hpp"
#include "command_loop.hpp"
#include "common/fd_io.hpp"
#include "sdl_audio_output.hpp"
#include "sndfile_decoder.hpp"
#include "sonette_service.hpp"

int main() {
  using namespace deskplay::sonette;
  // A reader that went away must not kill the program over its one line of output.
  ::signal(SIGPIPE, SIG_IGN);
  // Standard output carries "READY" and nothing else: whatever a library prints there goes
  // to standard error instead.
  const int protocolOutput = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  ::dup2(STDERR_FILENO, STDOUT_FILENO);

  SndfileDecoder decoder;
  SonetteService service(decoder, [](AudioSource& mixer) {
    return std::make_unique<SdlAudioOutput>(mixer, kDeviceFormat, kDevicePeriodFrames);
  });
  service.start();
  (void)deskplay::writeAll(protocolOutput, "READY\n");

  runCommandLoop(STDIN_FILENO,
                 [&service](AudioCommand command) { service.submit(std::move(command)); });

  // Ends at once: queued work and sounds still playing are not waited for.
  std::_Exit(EXIT_SUCCESS);
}
