// The window's message boxes and status label.
#include "ui/window_ports.h"

#include <QLabel>

#include "window_fixture.h"

namespace qtarvox {
namespace {

TEST(QtPrompter, AsksWithYesAndNoUnderTheGivenCaption) {
  QWidget parent;
  QtPrompter prompter(&parent);
  for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
    MessageBoxAnswer seen(answer);
    const bool yes = prompter.Ask("Keep?\r\nSay so", "Save Settings?");
    EXPECT_EQ(yes, answer == QMessageBox::Yes);
    EXPECT_EQ(seen.caption, "Save Settings?");
    EXPECT_EQ(seen.text, "Keep?\nSay so");
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
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
  EXPECT_TRUE(view.StartViewer("/work/Q-Tarvox_Err.txt"));
  EXPECT_FALSE(view.StartViewer("/missing"));
  EXPECT_EQ(started, (std::vector<std::string>{"/work/Q-Tarvox_Err.txt", "/missing"}));
}

}  // namespace
}  // namespace qtarvox
