#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <cstdlib>

#include "ui/screens/qml_warnings.hpp"

// The screens render offscreen with the software scene graph, as in the application, and every
// warning about them (a broken binding, an unknown symbol) fails the test that caused it.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  deskplay::ui::testing::watchQmlWarnings();
  QGuiApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
