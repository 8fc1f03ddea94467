#include "app/application.hpp"

#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_controller.hpp"
#include "app/app_services.hpp"
#include "app/control_client.hpp"
#include "app/control_protocol.hpp"
#include "app/control_server.hpp"
#include "app/instance_lock.hpp"
#include "app/menu_bar_interface.hpp"
#include "app/termination_signals.hpp"
#include "app/url_delivery.hpp"
#include "app/url_handler_entry.hpp"
#include "core/settings/relaunch.hpp"
#include "platform/linux/system_clock.hpp"

namespace deskplay::app {

namespace {

// How long quitting waits for a running engine to end before leaving it to its fate (the
// desktop is then restored at the next start).
constexpr int kQuitGraceMs = 10000;

}  // namespace

int runApplication(QCoreApplication& application, RunMode mode, const PopoverScreens& screens) {
  const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  const ControlEndpoint endpoint = controlEndpoint(environment);

  InstanceLock lock;
  const auto locked = lock.acquire(endpoint.lock);
  if (!locked.ok()) {
    std::cerr << "Deskplay: " << locked.message() << "\n";
    return 1;
  }
  if (locked.value() == InstanceLock::Outcome::heldElsewhere) {
    std::cerr << "Deskplay is already running (" << endpoint.socket.string() << ").\n";
    return 1;
  }

  const auto bundle =
      core::bundleOfExecutable(QCoreApplication::applicationFilePath().toStdString());
  AppServices services(bundle, environment);
  services.log().write("Deskplay started");
  services.host().start();

  AppController controller(AppController::Stores{
      services.host(), services.supervisor(), services.catalog(), services.keyTap(),
      services.hotkeys(), services.account(), services.preferences()});
  ControlServer server([&controller](const ControlCommand& command, const ControlReply& reply) {
    controller.handle(command, reply);
  });
  if (const Status listening = server.listen(endpoint.socket); !listening.ok()) {
    std::cerr << "Deskplay: " << listening.message() << "\n";
    return 1;
  }

  QObject::connect(&services.host(), &core::SessionHost::quitReady, &application,
                   &QCoreApplication::quit);
  const auto quit = [&services, &application] {
    if (services.host().isQuitting()) return;
    services.host().quit();
    QTimer::singleShot(kQuitGraceMs, &application, &QCoreApplication::quit);
  };
  services.setRelaunch([&quit, mode] {
    std::vector<std::string> arguments;
    if (mode == RunMode::headless) arguments.emplace_back("--headless");
    core::relaunchApplication(QCoreApplication::applicationFilePath().toStdString(), arguments,
                              quit);
  });
  TerminationSignals terminationSignals;
  QObject::connect(&terminationSignals, &TerminationSignals::received, &application, quit);

  std::unique_ptr<MenuBarInterface> menuBar;
  if (mode == RunMode::popover) {
    menuBar = std::make_unique<MenuBarInterface>(services, screens, quit);
    QObject::connect(&services.account(), &core::AccountStore::activationRequested, &application,
                     [&menuBar] { menuBar->open(); });
  }

  std::cout << "DESKPLAY_READY " << endpoint.socket.string() << std::endl;
  const int status = QCoreApplication::exec();
  services.log().write("Deskplay quit");
  return status;
}

int runControlCommand(const ControlCommand& command) {
  const ControlEndpoint endpoint = controlEndpoint(QProcessEnvironment::systemEnvironment());
  const auto send = [&] { return sendControlCommand(endpoint.socket, command); };
  // A link opens the application as the desktop would: one is started when none runs.
  platform::SystemClock clock;
  const auto reply = command.kind == ControlCommand::Kind::openUrl
                         ? sendStartingInstance(
                               send,
                               [] {
                                 return startDetachedInstance(
                                     QCoreApplication::applicationFilePath().toStdString());
                               },
                               kInstanceStartWait, clock)
                         : send();
  if (!reply.ok()) {
    std::cerr << reply.message() << "\n";
    return 1;
  }
  if (!reply.value().value("ok").toBool()) {
    std::cerr << reply.value().value("error").toString().toStdString() << "\n";
    return 1;
  }
  if (command.kind == ControlCommand::Kind::recordHotkey) {
    const QJsonValue recorded = reply.value().value("recorded");
    std::cout << (recorded.isObject()
                      ? recorded.toObject().value("display").toString().toStdString()
                      : std::string("cancelled"))
              << "\n";
  }
  if (command.kind == ControlCommand::Kind::status) {
    std::cout << QJsonDocument(reply.value().value("status").toObject())
                     .toJson(QJsonDocument::Compact)
                     .toStdString()
              << "\n";
  }
  return 0;
}

int runInstallUrlHandler() {
  const auto installed = installUrlHandler(QCoreApplication::applicationFilePath().toStdString(),
                                           QProcessEnvironment::systemEnvironment());
  if (!installed.ok()) {
    std::cerr << "Deskplay: " << installed.message() << "\n";
    return 1;
  }
  std::cout << installed.value().string() << "\n";
  return 0;
}

}  // namespace deskplay::app
