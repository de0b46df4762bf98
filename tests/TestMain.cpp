#include "app/KestoApplication.h"

#include <gtest/gtest.h>

#include <QByteArray>

int main(int argc, char** argv) {
  // Tests run headless unless a platform is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  KestoApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
