#include <QCoreApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/keyhark.hpp"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  // Ends without unwinding: the command reader may still be waiting on standard input.
  std::_Exit(deskplay::keyhark::runKeyhark(arguments));
}
