#include "run/report_view.h"

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

}  // namespace qtarvox
