#pragma once

#include <QStringList>

namespace deskplay::ui::testing {

// Collects the warnings about the screens' QML and the symbols from here on.
void watchQmlWarnings();
// The warnings collected since the last call.
QStringList takeQmlWarnings();

}  // namespace deskplay::ui::testing
