#include <gtest/gtest.h>

#include <QCoreApplication>

// Hand-overs to the main queue need the main thread's event loop, which needs an application.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
