#pragma once

#include <QCoreApplication>

#include "app/glyphon_services.hpp"

namespace deskplay::glyphon {

// Serves commands on `application`'s main thread: prints "READY" and the metrics line,
// starts the command reader on standard input and runs the main loop until the input ends
// or says "EXIT". Returns the exit status, with every line written out.
int serveCommands(QCoreApplication& application, GlyphonServices& services);

}  // namespace deskplay::glyphon
