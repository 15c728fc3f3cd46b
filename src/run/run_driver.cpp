#include "run/run_driver.h"

#include <cstring>

#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "engine/unique_number.h"
#include "engine/validation.h"
#include "platform/own_files.h"
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

// "<text><path> (<reason>)<ending>"
std::string Problem(const char* text, const std::string& path, const std::string& reason,
                    const char* ending) {
  return text + path + " (" + reason + ")" + ending;
}

// The walk into the operation list (a file without a name in the work
// folder, read back through the same handle), then the pass over it. Not ok
// when the list could not be made completely: then nothing is renamed.
RtError WalkAndProcess(Job& job, EngineContext& context, bool with_individual_files,
                       std::vector<std::string>& problems) {
  job.FileCount = 0;
  const std::string folder = WorkFolder();
  LineReader list;
  {
    int fd = -1;
    RtError err = CreateUnnamedFile(folder, fd);
    ReportFile op_list;
    if (err.ok()) err = op_list.Adopt(fd, folder);
    if (err.ok()) err = DirectoryWalk(job, context, op_list);
    if (err.ok()) err = op_list.CloseInto(list);
    if (err) {
      problems.push_back(Problem(kListNotWritten, folder, err.description, kNothingRenamed));
      return err;
    }
  }
  if (StopRequested(context.stop)) return {};
  if (with_individual_files) job.FileCount += static_cast<int32_t>(job.lstFile.size());
  if (RtError err = OperationListPass(job, context, list)) {
    problems.push_back(Problem(kListNotRead, folder, err.description, kListNotReadEnd));
  }
  if (with_individual_files) IndividualFilesPass(job, context);
  return {};
}

// Runs the passes the method calls for; not ok when nothing could be renamed.
RtError Dispatch(Job& job, EngineContext& context, RunView& view,
                 std::vector<std::string>& problems) {
  const std::string& tag = job.cmdFileType_tag;
  const bool known = tag == kTagIndividual || tag == kTagExtension || tag == kTagDone;
  if (!known) return {};
  if (!job.PreviewMode) SetStatus(job, view, kStatusPerforming);
  const bool files = !job.lstFile.empty();
  const bool directories = !job.lstDir.empty() && !job.lstExt.empty();
  RtError result;
  if (tag == kTagIndividual) {
    IndividualFilesPass(job, context);
  } else if (tag == kTagExtension) {
    result = WalkAndProcess(job, context, false, problems);
  } else if (files && directories) {
    result = WalkAndProcess(job, context, true, problems);
  } else if (directories) {
    result = WalkAndProcess(job, context, false, problems);
  } else if (files) {
    job.FileCount = static_cast<int32_t>(job.lstFile.size());
    IndividualFilesPass(job, context);
  }
  if (result.ok() && !StopRequested(context.stop)) {
    SetStatus(
        job, view,
        std::string(kStatusPrefix) + (job.PreviewMode ? kStatusPreviewDone : kStatusPerformDone));
  }
  return result;
}

// Makes the report files of a run as new files of the program's own; false
// (with the problem said) when one cannot be made.
bool OpenReports(Job& job, ReportFile& errors, ReportFile& process,
                 std::vector<std::string>& problems) {
  const std::string folder = WorkFolder();
  if (RtError err = EnsurePrivateFolder(folder)) {
    problems.push_back(Problem(kFolderUnusable, folder, err.description, kNothingRenamed));
    return false;
  }
  const std::string error_path = WorkFilePath(kErrorFileName);
  if (RtError err = errors.OpenForOutput(error_path)) {
    problems.push_back(Problem(kReportNotMade, error_path, err.description, kNothingRenamed));
    return false;
  }
  job.GenerateProcessFile = job.chkProcess;
  if (!job.GenerateProcessFile) return true;
  // The Process file gets several lines per file: written behind.
  const std::string process_path = WorkFilePath(kProcessFileName);
  if (RtError err = process.OpenForOutput(process_path, true)) {
    problems.push_back(Problem(kReportNotMade, process_path, err.description, kNothingRenamed));
    return false;
  }
  return true;
}

// Closes a report file and says what of it could not be written.
void CloseReport(ReportFile& file, std::vector<std::string>& problems) {
  if (!file.is_open()) return;
  file.Close();
  const ReportLoss& loss = file.loss();
  if (!loss.failed()) return;
  problems.push_back(Problem(kReportIncomplete, file.path(), std::strerror(loss.first_errno), "") +
                     " " + std::to_string(loss.lines) + kLinesLost);
}

void TellProblems(const Job& job, Prompter& prompter, const std::vector<std::string>& problems) {
  if (job.SuppressedMode) return;
  for (const auto& problem : problems) prompter.Tell(problem, kAppTitle);
}

// The end of a perform: the run button in its Finished state, the report
// buttons, and the outcome told.
void FinishPerform(Job& job, Prompter& prompter, RunView& view) {
  if (job.ErrorsOccurred) job.step3.cmdErr_enabled = true;
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

RunOutcome Run(Job& job, Prompter& prompter, RunView& view, const StopRequest* stop) {
  RunOutcome outcome;
  if (!CheckSeparator(job, prompter)) return outcome;
  job.ErrorsOccurred = false;

  ReportFile errors;
  ReportFile process;
  if (!OpenReports(job, errors, process, outcome.problems)) {
    TellProblems(job, prompter, outcome.problems);
    return outcome;
  }
  bool ran = true;
  {
    const TransformPlan plan(job);
    NameIndex names;
    DirectoryHandle directory;
    EngineContext context;
    context.directory = &directory;
    context.errors = &errors;
    context.process = process.is_open() ? &process : nullptr;
    context.plan = &plan;
    context.names = &names;
    context.stop = stop;
    context.own_files = {errors.id()};
    if (process.is_open()) context.own_files.push_back(process.id());
    ran = Dispatch(job, context, view, outcome.problems).ok();
  }
  if (StopRequested(stop)) {
    outcome.stopped = stop->load();
    if (process.is_open()) process.WriteLine(kStoppedLine);
  }
  CloseReport(errors, outcome.problems);
  CloseReport(process, outcome.problems);
  RememberDirectory(job);
  outcome.started = ran;
  TellProblems(job, prompter, outcome.problems);

  const std::string error_path = errors.path();
  // Only the file this run made is removed, never one put in its place.
  if (!job.ErrorsOccurred) RemoveIfSameFile(error_path, errors.id());
  if (job.PreviewMode) {
    if (job.ErrorsOccurred && !job.SuppressedMode &&
        prompter.Ask(kPreviewErrorsQuestion, kPreviewErrorsCaption)) {
      StartViewerOn(error_path, prompter, view);
    }
  } else if (ran) {
    FinishPerform(job, prompter, view);
  }
  outcome.errors = job.ErrorsOccurred;
  outcome.error_file_left = NormalFileFound(error_path);
  return outcome;
}

}  // namespace

RunOutcome PressPreview(Job& job, Prompter& prompter, RunView& view, const StopRequest* stop) {
  job.PreviewMode = true;
  SetStatus(job, view, std::string(kStatusPrefix) + "\r\n" + kStatusGeneratingPreview);
  job.txtOP.Clear();
  const RunOutcome outcome = PressRun(job, prompter, view, stop);
  job.PreviewMode = false;
  return outcome;
}

RunOutcome PressRun(Job& job, Prompter& prompter, RunView& view, const StopRequest* stop) {
  if (job.step3.cmdProceed3_tag == kTagDone) {
    FinishedSequence(job, prompter);
    return {};
  }
  return Run(job, prompter, view, stop);
}

}  // namespace qtarvox
