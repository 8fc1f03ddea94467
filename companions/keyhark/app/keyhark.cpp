#include "app/keyhark.hpp"

#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <memory>

#include "app/keyhark_services.hpp"
#include "listener/arguments.hpp"
#include "listener/capture_command.hpp"
#include "listener/command_reader.hpp"
#include "listener/input_listener.hpp"
#include "listener/permission.hpp"
#include "platform/sim/simdesk_event_pump.hpp"

namespace deskplay::keyhark {

int runKeyhark(const std::vector<std::string>& arguments) {
  const Mode mode = modeFromArguments(arguments);
  KeyharkServices services;
  if (mode == Mode::permissionCheck) {
    return runPermissionCheck(services.accessibility(), services.privacy(), services.events());
  }

  InputListener listener(mode == Mode::mouse ? ListenMode::mouse : ListenMode::keyboard,
                         services.listenerServices());
  // Capture commands come on standard input in mouse mode only; when it ends the reader
  // stops and the listener carries on.
  std::unique_ptr<CommandReader> reader;
  if (mode == Mode::mouse) {
    reader =
        std::make_unique<CommandReader>(STDIN_FILENO, [&listener, &services](std::string line) {
          applyCaptureLine(line, listener.captureSettings(), services.status());
        });
    reader->start();
  }

  // Tap deliveries arrive from simdesk on this thread's event loop.
  platform::SimdeskEventPump pump(services.connection());
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&listener] { listener.didFinishLaunching(); },
      Qt::QueuedConnection);
  return QCoreApplication::exec();
}

}  // namespace deskplay::keyhark
