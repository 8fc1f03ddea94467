#include "sim/simdesk/server/simdesk_app.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/system_clock.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/socket_path.hpp"
#include "sim/simdesk/render/desktop_renderer.hpp"
#include "sim/simdesk/render/text_metrics.hpp"
#include "sim/simdesk/scripting/desktop_scripting.hpp"
#include "sim/simdesk/server/client_registry.hpp"
#include "sim/simdesk/server/quit_signals.hpp"
#include "sim/simdesk/server/request_dispatcher.hpp"
#include "sim/simdesk/server/request_handlers.hpp"
#include "sim/simdesk/server/server_options.hpp"
#include "sim/simdesk/server/simdesk_server.hpp"
#include "sim/simdesk/server/socket_claim.hpp"
#include "sim/simdesk/view/desktop_view.hpp"

namespace deskplay::simdesk::server {

int runSimdesk(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  Result<ServerOptions> options = parseServerOptions(arguments);
  if (!options.ok()) {
    std::fprintf(stderr, "simdesk: %s\n", options.message().c_str());
    return 2;
  }
  if (options.value().action == ServerOptions::Action::help) {
    std::fputs(serverUsage().c_str(), stdout);
    return 0;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    std::fputs("simdesk: HOME is not set\n", stderr);
    return 1;
  }

  const bool window = options.value().display == ServerOptions::Display::window;
  // Without this check Qt would abort with its own message when it finds no display.
  if (window && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    std::fputs("simdesk: --view needs a display (DISPLAY or WAYLAND_DISPLAY)\n", stderr);
    return 1;
  }

  const std::filesystem::path socket = options.value().socket.value_or(protocol::socketPath());
  // Checked before anything starts, so that a second simdesk leaves at once.
  if (Status free = claimSocketPath(socket); !free.ok()) {
    std::fprintf(stderr, "simdesk: %s\n", free.message().c_str());
    return 1;
  }

  // Qt must not read our options as its own.
  int qtArgc = 1;
  std::unique_ptr<QGuiApplication> application;
  if (window) {
    application = std::make_unique<QApplication>(qtArgc, argv);
    // The programs of the session keep their desktop when the person closes the window.
    QApplication::setQuitOnLastWindowClosed(false);
  } else {
    // Headless: the desktop is drawn only into screenshots.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QGuiApplication>(qtArgc, argv);
  }

  platform::SystemClock clock;
  SimulatedDesktop::Options desktopOptions;
  desktopOptions.home = home;
  desktopOptions.clock = &clock;
  desktopOptions.measure = fontTextMeasure();
  SimulatedDesktop desktop(std::move(desktopOptions), options.value().screens);
  if (options.value().tapTimeout) desktop.events().setTapTimeout(*options.value().tapTimeout);
  DesktopRenderer renderer(desktop);

  RequestDispatcher dispatcher;
  ClientRegistry clients(desktop);
  clients.addRequests(dispatcher);
  addDesktopRequests(dispatcher, desktop, renderer);
  addAccessibilityRequests(dispatcher, desktop);
  addWindowRequests(dispatcher, desktop);
  addScriptRequests(dispatcher,
                    [&desktop](std::string_view source) { return runScript(source, desktop); });

  SimdeskServer server(desktop, dispatcher, clients);
  if (Status listening = server.listen(socket); !listening.ok()) {
    std::fprintf(stderr, "simdesk: %s\n", listening.message().c_str());
    return 1;
  }
  const auto reduceMotion = desktop.privacy().observeReduceMotion(
      [&server] { server.push(protocol::events::displayOptionsChanged, nlohmann::json::object()); });
  QuitSignals quitSignals;

  std::unique_ptr<DesktopView> view;
  if (window) {
    view = std::make_unique<DesktopView>(desktop, renderer, [&desktop](const platform::Event& event) {
      desktop.events().inject(event);
    });
    view->show();
  }

  std::printf("SIMDESK_READY %s\n", socket.c_str());
  std::fflush(stdout);
  const int status = QGuiApplication::exec();
  server.close();
  return status;
}

}  // namespace deskplay::simdesk::server
