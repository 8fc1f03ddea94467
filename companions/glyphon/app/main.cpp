#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>

#include "app/glyphon.hpp"
#include "app/glyphon_services.hpp"
#include "protocol/log_file.hpp"

int main(int argc, char** argv) {
  using namespace deskplay::glyphon;
  QCoreApplication application(argc, argv);
  GlyphonServices services(STDOUT_FILENO, logFilePathFromEnvironment());
  const int status = serveCommands(application, services);
  // Ends at once: animations, windows and delayed repaints still pending are dropped.
  std::_Exit(status);
}
