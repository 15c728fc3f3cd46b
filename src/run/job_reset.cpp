#include "run/job_reset.h"

#include "platform/work_folder.h"
#include "run/run_driver.h"
#include "run/work_files.h"

namespace qtarvox {

void FinishedSequence(Job& job, Prompter& prompter) {
  if (!prompter.Ask(kSaveSettingsQuestion, kSaveSettingsCaption)) ClearJob(job);
  job.lstFile.clear();
  job.step3.cmdErr_enabled = false;
  job.step3.cmdOP_enabled = false;
  job.step3.cmdPreview_enabled = true;
  RemoveWorkFile(WorkFilePath(kProcessFileName));
  RemoveWorkFile(WorkFilePath(kErrorFileName));
  job.step3.cmdProceed3_caption = kReadyCaption;
  job.step3.cmdFileType_enabled = true;
  job.step3.cmdStep1_enabled = true;
  job.step3.cmdStep2_enabled = false;
  job.step3.cmdStep3_enabled = false;
  job.step3.cmdCancel3_enabled = true;
  job.PreviewMode = false;
  job.ErrorsOccurred = false;
  job.step3.cmdProceed3_tag.clear();
}

void QuitCleanup(const Job& job) {
  if (job.SuppressedMode) return;
  RemoveWorkFile(WorkFilePath(kProcessFileName));
  RemoveWorkFile(WorkFilePath(kErrorFileName));
}

}  // namespace qtarvox
