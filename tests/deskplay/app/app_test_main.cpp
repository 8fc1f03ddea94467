#include <gtest/gtest.h>

#include <QCoreApplication>
#include <csignal>

// The supervisor and the stores hand work to the main thread through Qt's event loop, which
// needs an application object.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::signal(SIGPIPE, SIG_IGN);
  QCoreApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
