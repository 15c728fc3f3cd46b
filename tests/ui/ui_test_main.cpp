// The window's tests share one QApplication on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <memory>

namespace {

// A modal dialog that no test answers would keep its test waiting for
// ever: after a few seconds it fails the test and is closed.
void WatchForUnansweredDialogs(QTimer& timer) {
  static QDialog* seen = nullptr;
  static QElapsedTimer open_for;
  QObject::connect(&timer, &QTimer::timeout, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) {
      seen = nullptr;
      return;
    }
    if (dialog != seen) {
      seen = dialog;
      open_for.start();
      return;
    }
    if (open_for.elapsed() < 3000) return;
    const auto* box = qobject_cast<QMessageBox*>(dialog);
    ADD_FAILURE() << "a dialog nobody answered: \"" << dialog->windowTitle().toStdString()
                  << "\" " << (box != nullptr ? box->text().toStdString() : std::string());
    seen = nullptr;
    dialog->reject();
  });
  timer.start(100);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<QApplication> app;
  QTimer watch;
  // Listing the tests needs no application (nor a platform).
  if (!GTEST_FLAG_GET(list_tests)) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(argc, argv);
    // A test that closes the window must not end the application of the next.
    app->setQuitOnLastWindowClosed(false);
    WatchForUnansweredDialogs(watch);
  }
  return RUN_ALL_TESTS();
}
