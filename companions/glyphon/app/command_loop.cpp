#include "app/command_loop.hpp"

#include <QThread>
#include <utility>

#include "app/command_reader.hpp"
#include "platform/qt/loop_inbox.hpp"

namespace deskplay::glyphon {

bool runCommandLoop(QCoreApplication& application, int inputFd, LogLines& log,
                    const std::function<void(const std::string& line)>& handle) {
  platform::LoopInbox mainLoop(*application.thread());
  // Declared after the inbox: it waits for the command thread, which may still be posting.
  CommandReader reader(inputFd, log,
                       {[&mainLoop, &handle](std::string line) {
                          mainLoop.postAndWait([&handle, &line] { handle(line); });
                        },
                        [&mainLoop] { mainLoop.post([] { QCoreApplication::quit(); }); }});
  if (!reader.start()) return false;
  application.exec();
  return true;
}

}  // namespace deskplay::glyphon
