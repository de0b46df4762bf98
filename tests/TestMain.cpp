#include "app/KestoApplication.h"
#include "app/Option.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // Tests run headless unless a platform is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  KestoApplication application(argc, argv);
  // Every test program keeps its options in a folder of its own, so that test
  // programs running side by side never share a file.
  QTemporaryDir options;
  SetOptionsFileOverride(options.filePath(QStringLiteral("kesto.ini")));
  return RUN_ALL_TESTS();
}
