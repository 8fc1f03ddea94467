#include <gtest/gtest.h>

#include <QCoreApplication>

// Network replies need the main thread's event loop, which needs an application object.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
