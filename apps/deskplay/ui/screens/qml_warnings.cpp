#include "ui/screens/qml_warnings.hpp"

#include <QtGlobal>
#include <mutex>

namespace deskplay::ui::testing {
namespace {

std::mutex warningsLock;
QStringList warnings;
QtMessageHandler previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg &&
      (message.contains("qrc:/deskplay/popover") || message.contains("no symbol is named"))) {
    const std::lock_guard lock(warningsLock);
    warnings << message;
  }
  if (previous != nullptr) previous(type, context, message);
}

}  // namespace

void watchQmlWarnings() {
  previous = qInstallMessageHandler(collect);
}

QStringList takeQmlWarnings() {
  const std::lock_guard lock(warningsLock);
  QStringList taken;
  taken.swap(warnings);
  return taken;
}

}  // namespace deskplay::ui::testing
