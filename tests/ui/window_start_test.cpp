// Starting the program without arguments where there is no display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "ui/ui_texts.h"

namespace qtarvox {
namespace {

TEST(WindowStart, WithoutADisplayOneLineSaysSoAndTheStatusIsTwo) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  QProcess program;
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(QTARVOX_EXE), {});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 2);
  EXPECT_EQ(program.readAllStandardError().toStdString(), std::string(ui_text::kNoDisplay) + "\n");
  EXPECT_EQ(program.readAllStandardOutput().toStdString(), "");
}

}  // namespace
}  // namespace qtarvox
