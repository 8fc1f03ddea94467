#include <gtest/gtest.h>

#include <QCoreApplication>

// The stores hand work to the main thread through Qt's event loop.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
