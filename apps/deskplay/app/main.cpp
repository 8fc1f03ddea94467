#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include <iostream>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "app/command_line.hpp"
#include "app/control_protocol.hpp"
#include "app/instance_lock.hpp"
#include "core/settings/relaunch.hpp"
#include "platform/linux/system_clock.hpp"
#include "ui/screens/menu_screens.hpp"

namespace {

// Longer than the old instance may take to quit while it waits for a running game to end.
constexpr deskplay::platform::Clock::Seconds kRelaunchWait{15.0};

}  // namespace

int main(int argc, char** argv) {
  using namespace deskplay::app;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  // A relaunch starts this instance while the old one is still quitting and holds the lock.
  const bool relaunched =
      !arguments.empty() && arguments.front() == deskplay::core::kRelaunchedOption;
  if (relaunched) arguments.erase(arguments.begin());
  const Invocation invocation = parseCommandLine(arguments);

  if (const auto* error = std::get_if<UsageError>(&invocation)) {
    std::cerr << error->message << "\n";
    return 2;
  }
  if (std::holds_alternative<ShowHelp>(invocation)) {
    std::cout << usageText();
    return 0;
  }
  if (std::holds_alternative<InstallUrlHandler>(invocation)) {
    QCoreApplication application(argc, argv);
    return runInstallUrlHandler();
  }
  if (const auto* command = std::get_if<ControlCommand>(&invocation)) {
    QCoreApplication application(argc, argv);
    return runControlCommand(*command);
  }

  if (relaunched) {
    deskplay::platform::SystemClock clock;
    static_cast<void>(InstanceLock::waitForRelease(
        controlEndpoint(QProcessEnvironment::systemEnvironment()).lock, kRelaunchWait, clock));
  }

  const RunMode mode = std::get<RunApplication>(invocation).mode;
  if (mode == RunMode::headless) {
    QCoreApplication application(argc, argv);
    return runApplication(application, mode, {});
  }
  // Every window of the application lives in the simulated Mac, which shows the pixels the
  // application draws: Qt draws offscreen and opens no window of the machine's own.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QGuiApplication::setQuitOnLastWindowClosed(false);
  const PopoverScreens screens = popoverScreens<deskplay::ui::MenuScreens>([](AppServices& services,
                                                                              QObject* parent) {
    return new deskplay::ui::MenuScreens(
        {services.keyTap(), services.supervisor(), services.catalog(), services.account(),
         services.serverConfig(), services.loginItem(), services.sounds(), services.permissions(),
         services.hotkeys(), services.dataFolder(), services.workspace()},
        parent);
  });
  return runApplication(application, mode, screens);
}
