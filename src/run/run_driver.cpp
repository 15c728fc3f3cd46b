#include "run/run_driver.h"

#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "engine/unique_number.h"
#include "engine/validation.h"
#include "platform/work_folder.h"
#include "run/job_reset.h"
#include "run/report_view.h"
#include "run/settings.h"
#include "run/work_files.h"
#include "selection/passes.h"

namespace qtarvox {
namespace {

void SetStatus(Job& job, RunView& view, const std::string& caption) {
  job.step3.lblStatus = caption;
  view.ShowStatus(caption);
}

// Separator check: only under "Add a unique number". Returns false (after
// its message, shown in suppressed mode too) when the run must not start.
bool CheckSeparator(Job& job, Prompter& prompter) {
  if (job.collision != CollisionOption::kAppendNumber) return true;
  if (job.txtSep.empty()) {
    job.Separator.clear();
    return true;
  }
  const std::string ch = InvalidNameChar(job.txtSep);
  if (ch.empty()) {
    job.Separator = job.txtSep;
    return true;
  }
  prompter.Tell(kSeparatorMessageStart + ch + kSeparatorMessageEnd, kAppTitle);
  return false;
}

// The walk into the operation list, then the pass over it; the list is
// removed afterwards whatever happened.
void WalkAndProcess(Job& job, EngineContext& context, bool with_individual_files) {
  const std::string op_path = WorkFilePath(kOperationListName);
  job.FileCount = 0;
  {
    ReportFile op_list;
    if (op_list.OpenForOutput(op_path).ok()) {
      DirectoryWalk(job, op_list, context.errors);
      op_list.Close();
    }
  }
  if (with_individual_files) job.FileCount += static_cast<int32_t>(job.lstFile.size());
  OperationListPass(job, context, op_path);
  if (with_individual_files) IndividualFilesPass(job, context);
  RemoveWorkFile(op_path);
}

void Dispatch(Job& job, EngineContext& context, RunView& view) {
  const std::string& tag = job.cmdFileType_tag;
  const bool known = tag == kTagIndividual || tag == kTagExtension || tag == kTagDone;
  if (!known) return;
  if (!job.PreviewMode) SetStatus(job, view, kStatusPerforming);
  const bool files = !job.lstFile.empty();
  const bool directories = !job.lstDir.empty() && !job.lstExt.empty();
  if (tag == kTagIndividual) {
    IndividualFilesPass(job, context);
  } else if (tag == kTagExtension) {
    WalkAndProcess(job, context, false);
  } else if (files && directories) {
    WalkAndProcess(job, context, true);
  } else if (directories) {
    WalkAndProcess(job, context, false);
  } else if (files) {
    job.FileCount = static_cast<int32_t>(job.lstFile.size());
    IndividualFilesPass(job, context);
  }
  SetStatus(
      job, view,
      std::string(kStatusPrefix) + (job.PreviewMode ? kStatusPreviewDone : kStatusPerformDone));
}

RunOutcome Run(Job& job, Prompter& prompter, RunView& view) {
  RunOutcome outcome;
  if (!CheckSeparator(job, prompter)) return outcome;
  outcome.started = true;
  job.ErrorsOccurred = false;

  const std::string error_path = WorkFilePath(kErrorFileName);
  ReportFile errors;
  ReportFile process;
  const bool errors_open = errors.OpenForOutput(error_path).ok();
  job.GenerateProcessFile = job.chkProcess;
  bool process_open = false;
  if (job.GenerateProcessFile) {
    // The Process file gets several lines per file: written behind.
    process_open = process.OpenForOutput(WorkFilePath(kProcessFileName), true).ok();
  }

  {
    const TransformPlan plan(job);
    NameIndex names;
    DirectoryHandle directory;
    EngineContext context;
    context.directory = &directory;
    context.errors = errors_open ? &errors : nullptr;
    context.process = process_open ? &process : nullptr;
    context.plan = &plan;
    context.names = &names;
    Dispatch(job, context, view);
  }

  errors.Close();
  process.Close();
  RememberDirectory(job);

  if (job.PreviewMode) {
    if (job.ErrorsOccurred) {
      if (!job.SuppressedMode && prompter.Ask(kPreviewErrorsQuestion, kPreviewErrorsCaption)) {
        StartViewerOn(error_path, prompter, view);
      }
    } else {
      RemoveWorkFile(error_path);
    }
  } else {
    if (job.ErrorsOccurred) {
      job.step3.cmdErr_enabled = true;
    } else {
      RemoveWorkFile(error_path);
    }
    job.step3.cmdOP_enabled = true;
    job.step3.cmdProceed3_caption = kFinishedCaption;
    job.step3.cmdProceed3_tag = kTagDone;
    job.step3.cmdStep1_enabled = false;
    job.step3.cmdStep2_enabled = false;
    job.step3.cmdCancel3_enabled = false;
    if (!job.SuppressedMode) prompter.Tell(kRenamedMessage, kAppTitle);
    job.step3.cmdPreview_enabled = false;
    if (job.ErrorsOccurred && !job.SuppressedMode &&
        prompter.Ask(kPerformErrorsQuestion, kPerformErrorsCaption)) {
      ViewReport(ReportKind::kErrors, prompter, view);
    }
  }
  outcome.errors = job.ErrorsOccurred;
  outcome.error_file_left = NormalFileFound(error_path);
  return outcome;
}

}  // namespace

RunOutcome PressPreview(Job& job, Prompter& prompter, RunView& view) {
  job.PreviewMode = true;
  SetStatus(job, view, std::string(kStatusPrefix) + "\r\n" + kStatusGeneratingPreview);
  job.txtOP.Clear();
  const RunOutcome outcome = PressRun(job, prompter, view);
  job.PreviewMode = false;
  return outcome;
}

RunOutcome PressRun(Job& job, Prompter& prompter, RunView& view) {
  if (job.step3.cmdProceed3_tag == kTagDone) {
    FinishedSequence(job, prompter);
    return {};
  }
  return Run(job, prompter, view);
}

}  // namespace qtarvox
