// The window's tests share one QApplication on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<QApplication> app;
  // Listing the tests needs no application (nor a platform).
  if (!GTEST_FLAG_GET(list_tests)) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(argc, argv);
    // A test that closes the window must not end the application of the next.
    app->setQuitOnLastWindowClosed(false);
  }
  return RUN_ALL_TESTS();
}
