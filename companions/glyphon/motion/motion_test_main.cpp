#include <gtest/gtest.h>

#include <QCoreApplication>

// The animation timer needs the main thread's event loop, which needs an application.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
