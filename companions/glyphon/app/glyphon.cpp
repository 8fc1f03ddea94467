#include "app/glyphon.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/command_loop.hpp"
#include "protocol/metrics.hpp"

namespace deskplay::glyphon {

int serveCommands(QCoreApplication& application, GlyphonServices& services) {
  announceReady(services.output(), services.scripts(), services.windows());

  if (!runCommandLoop(
          application, STDIN_FILENO, services.log(),
          [&services](const std::string& line) { services.dispatcher().handleCommand(line); })) {
    return EXIT_FAILURE;
  }

  // A line still waiting for a flushed one goes out, as buffered output does at exit.
  services.output().flushPending();
  return EXIT_SUCCESS;
}

}  // namespace deskplay::glyphon
