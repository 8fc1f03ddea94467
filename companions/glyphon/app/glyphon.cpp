#include "app/glyphon.hpp"

#include <unistd.h>

#include <QMetaObject>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/command_reader.hpp"
#include "protocol/metrics.hpp"

namespace deskplay::glyphon {

int serveCommands(QCoreApplication& application, GlyphonServices& services) {
  announceReady(services.output(), services.scripts(), services.windows());

  CommandReader reader(STDIN_FILENO, services.log(),
                       {[&application, &services](std::string line) {
                          QMetaObject::invokeMethod(
                              &application,
                              [&services, command = std::move(line)] {
                                services.dispatcher().handleCommand(command);
                              },
                              Qt::BlockingQueuedConnection);
                        },
                        [&application] {
                          QMetaObject::invokeMethod(&application, &QCoreApplication::quit,
                                                    Qt::QueuedConnection);
                        }});
  if (!reader.start()) return EXIT_FAILURE;
  application.exec();

  // A line still waiting for a flushed one goes out, as buffered output does at exit.
  services.output().flushPending();
  return EXIT_SUCCESS;
}

}  // namespace deskplay::glyphon
