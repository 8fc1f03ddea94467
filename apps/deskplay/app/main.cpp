#include <QApplication>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <iostream>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "app/command_line.hpp"

namespace {

bool hasDisplay() {
  const auto environment = QProcessEnvironment::systemEnvironment();
  return !environment.value("DISPLAY").isEmpty() ||
         !environment.value("WAYLAND_DISPLAY").isEmpty() ||
         environment.value("QT_QPA_PLATFORM") == "offscreen";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace deskplay::app;
  const Invocation invocation = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));

  if (const auto* error = std::get_if<UsageError>(&invocation)) {
    std::cerr << error->message << "\n";
    return 2;
  }
  if (std::holds_alternative<ShowHelp>(invocation)) {
    std::cout << usageText();
    return 0;
  }
  if (const auto* command = std::get_if<ControlCommand>(&invocation)) {
    QCoreApplication application(argc, argv);
    return runControlCommand(*command);
  }

  RunMode mode = std::get<RunApplication>(invocation).mode;
  if (mode == RunMode::tray && !hasDisplay()) {
    std::cerr << "Deskplay: no display; running headless.\n";
    mode = RunMode::headless;
  }
  if (mode == RunMode::headless) {
    QCoreApplication application(argc, argv);
    return runApplication(application, mode);
  }
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return runApplication(application, mode);
}
