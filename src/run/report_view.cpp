#include "run/report_view.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/work_folder.h"
#include "run/work_files.h"

namespace qtarvox {

void StartViewerOn(const std::string& path, Prompter& prompter, RunView& view) {
  if (!view.StartViewer(path)) prompter.Tell(kViewerNotFound + path, kAppTitle);
}

void ViewReport(ReportKind kind, Prompter& prompter, RunView& view) {
  const bool errors = kind == ReportKind::kErrors;
  const std::string path = WorkFilePath(errors ? kErrorFileName : kProcessFileName);
  if (!NormalFileFound(path)) {
    prompter.Tell(errors ? kErrorFileNotFound : kProcessFileNotFound, kAppTitle);
    return;
  }
  StartViewerOn(path, prompter, view);
}

bool StartDesktopViewer(const std::string& path) {
  const QString file = QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
  return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{file});
}

}  // namespace qtarvox
