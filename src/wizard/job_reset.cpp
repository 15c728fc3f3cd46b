#include "wizard/job_reset.h"

#include "platform/work_folder.h"
#include "run/work_files.h"

namespace qtarvox {

bool FinishJob(Job& job, Prompter& prompter) {
  const bool keep = prompter.AskKeeping(kSaveSettingsQuestion, kSaveSettingsCaption);
  if (!keep) ClearJob(job);
  job.lstFile.clear();
  RemoveWorkFile(WorkFilePath(kProcessFileName));
  RemoveWorkFile(WorkFilePath(kErrorFileName));
  return keep;
}

void QuitCleanup(const Job& job) {
  if (job.SuppressedMode) return;
  RemoveWorkFile(WorkFilePath(kProcessFileName));
  RemoveWorkFile(WorkFilePath(kErrorFileName));
}

}  // namespace qtarvox
