#include "ui/window_app.h"

#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "run/exit_codes.h"
#include "ui/main_window.h"
#include "ui/ui_texts.h"
#include "ui/window_ports.h"
#include "wizard/work_folder_hold.h"

namespace qtarvox {
namespace {

// What Qt says while it connects to the display is held back: when it cannot
// connect, it ends the process with a fatal message of its own, which this
// replaces by one line of ours; when it can, the held messages are passed on.
std::vector<std::string>& HeldMessages() {
  static std::vector<std::string> held;
  return held;
}

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", ui_text::kNoDisplay);
    std::fflush(stderr);
    _exit(kExitNotStarted);
  }
  HeldMessages().push_back(qFormatLogMessage(type, context, text).toStdString());
}

}  // namespace

int RunWindow(int& argc, char** argv) {
  const QtMessageHandler previous = qInstallMessageHandler(HoldStartupMessage);
  QApplication app(argc, argv);
  qInstallMessageHandler(previous);
  for (const std::string& message : HeldMessages()) std::fprintf(stderr, "%s\n", message.c_str());
  HeldMessages().clear();

  // The window holds the work folder from its first moment to its last, as a
  // run does: a second window or run cannot empty its report files.
  WorkFolderHold work_folder;
  std::string problem;
  if (!work_folder.Take(problem)) {
    QtPrompter(nullptr).Tell(problem, kAppTitle);
    std::fprintf(stderr, "q-tarvox: %s\n", problem.c_str());
    return kExitNotStarted;
  }

  app.setQuitOnLastWindowClosed(true);
  MainWindow window;
  window.PlaceOnScreen();
  const auto show = [&window] {
    window.show();
    window.activateWindow();
  };
  // What is left once Qt has taken its own options is the job.
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    show();
  } else {
    window.StartFromCommandLine(args, show);
  }
  return app.exec();
}

}  // namespace qtarvox
