#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>

// Qt Quick needs a GUI application on the main thread; the tests draw offscreen, also when
// CTest lists them.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
