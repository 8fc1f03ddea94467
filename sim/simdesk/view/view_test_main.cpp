#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Widgets need an application; the offscreen platform needs no display.
int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
