// The window's message boxes and status label.
#include "ui/window_ports.h"

#include <sys/stat.h>

#include "temp_dir.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

// The question under its caption, Yes and No and no icon; Escape gives the safe answer: No,
// except where No would throw the job away.
TEST(QtPrompter, AsksWithYesAndNoAndEscapeGivesTheSafeAnswer) {
  QWidget parent;
  QtPrompter prompter(&parent);
  for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
    MessageBoxes seen({answer});
    const bool yes = prompter.Ask("Keep?\r\nSay so", "Save Settings?");
    EXPECT_EQ(yes, answer == QMessageBox::Yes);
    ASSERT_EQ(seen.shown.size(), 1u);
    EXPECT_EQ(seen.shown[0].caption, "Save Settings?");
    EXPECT_EQ(seen.shown[0].text, "Keep?\nSay so");
    EXPECT_EQ(seen.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.shown[0].icon, QMessageBox::NoIcon);
  }
  for (const bool keeping : {false, true}) {
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&escape] {
      QWidget* box = QApplication::activeModalWidget();
      if (box == nullptr) return;
      escape.stop();
      QTest::keyClick(box, Qt::Key_Escape);
    });
    escape.start(5);
    const bool yes = keeping ? prompter.AskKeeping("Keep?", "Save Settings?")
                             : prompter.Ask("View them?", "Errors");
    EXPECT_EQ(yes, keeping);
  }
}

TEST(WindowRunView, ShowsTheStatusOnceThereIsALabelAndStartsTheGivenViewer) {
  std::vector<std::string> started;
  WindowRunView view([&started](const std::string& path) {
    started.push_back(path);
    return path != "/missing";
  });
  view.ShowStatus("before any label");
  QLabel status;
  view.SetStatusLabel(&status);
  view.ShowStatus("Status : \r\nReady");
  EXPECT_EQ(status.text(), "Status : \nReady");
  EXPECT_EQ(status.accessibleDescription(), "Status : \nReady");
  EXPECT_TRUE(view.StartViewer("/work/Q-Tarvox_Err.txt"));
  EXPECT_FALSE(view.StartViewer("/missing"));
  EXPECT_EQ(started, (std::vector<std::string>{"/work/Q-Tarvox_Err.txt", "/missing"}));
}

TEST(StartWatchedViewer, AnOpenerThatFailsIsTold) {
  TempDir bin;
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(bin.path()) + ":" + path);
  for (const int code : {0, 3}) {
    const std::string opener =
        bin.WriteFile("xdg-open", "#!/bin/sh\n: > \"$0.ran\"\nexit " + std::to_string(code) + "\n");
    chmod(opener.c_str(), 0755);
    std::filesystem::remove(opener + ".ran");
    bool failed = false;
    ASSERT_TRUE(StartWatchedViewer("/work/Q-Tarvox_Err.txt", [&failed] { failed = true; }));
    for (int i = 0; i < 500 && !failed && !bin.Exists("xdg-open.ran"); ++i) QTest::qWait(10);
    // Its end reaches the event loop a moment after it ran.
    for (int i = 0; i < 20 && !failed; ++i) QTest::qWait(10);
    EXPECT_EQ(failed, code != 0) << code;
  }
  qputenv("PATH", path);
}

}  // namespace
}  // namespace qtarvox
