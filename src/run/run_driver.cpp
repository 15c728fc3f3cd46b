#include "run/run_driver.h"

#include <malloc.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "engine/journal.h"
#include "engine/planned_changes.h"
#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "engine/unique_number.h"
#include "engine/validation.h"
#include "platform/own_files.h"
#include "platform/paths.h"
#include "platform/work_folder.h"
#include "run/report_view.h"
#include "run/settings.h"
#include "run/undo.h"
#include "run/undo_history.h"
#include "run/work_files.h"
#include "selection/individual_files.h"
#include "selection/passes.h"
#include "selection/walk.h"

namespace qtarvox {
namespace {

// Separator check: only under "Add a unique number". Returns false (after
// its message, shown in suppressed mode too) when the run must not start.
bool CheckSeparator(const JobSettings& job, RunState& run, Prompter& prompter) {
  if (job.collision != CollisionOption::kAppendNumber) return true;
  if (job.txtSep.empty()) {
    run.Separator.clear();
    return true;
  }
  const std::string ch = InvalidNameChar(job.txtSep);
  if (ch.empty()) {
    run.Separator = job.txtSep;
    return true;
  }
  prompter.Tell(kSeparatorMessageStart + ch + kSeparatorMessageEnd, kAppTitle);
  return false;
}

// A perform changes no file before its journal's start is on the disk,
// which goes on while the files are listed. Not ok (with the problem said)
// when it could not be put there: then nothing is renamed.
RtError JournalReady(const EngineContext& context, std::vector<std::string>& problems) {
  if (context.journal == nullptr) return {};
  const RtError err = context.journal->Opened();
  if (err) {
    problems.push_back(
        Problem(kJournalNotMade, context.journal->path(), err.description, kNothingRenamed));
  }
  return err;
}

// The walk into the operation list (a file without a name in the work
// folder, read back through the same handle), then the pass over it. Not ok
// when the list could not be made completely, or the journal could not be
// started: then nothing is renamed.
RtError WalkAndProcess(const JobSettings& job, RunState& run, EngineContext& context,
                       bool with_individual_files, std::vector<std::string>& problems) {
  run.FileCount = 0;
  if (ListsWhileRenaming(job, run, context)) {
    // The first folders' files are renamed while the walk lists the next ones.
    if (with_individual_files) run.FileCount += static_cast<int32_t>(job.lstFile.size());
    RtError result;
    if (WalkWhileRenaming(
            job, run, context, [&] { return JournalReady(context, problems); }, result)) {
      if (result) return result;
      if (with_individual_files) IndividualFilesPass(job, run, context);
      return {};
    }
    run.FileCount = 0;
  }
  const std::string folder = WorkFolder();
  LineReader list;
  // Logged after the pass, where the walk beside the renames logs it too.
  WalkReport report;
  {
    int fd = -1;
    RtError err = CreateUnnamedFile(folder, fd);
    ReportFile op_list;
    if (err.ok()) err = op_list.Adopt(fd, folder);
    if (err.ok()) err = DirectoryWalk(job, run, context, op_list, &report);
    if (err.ok()) err = op_list.CloseInto(list);
    if (err) {
      problems.push_back(Problem(kListNotWritten, folder, err.description, kNothingRenamed));
      return err;
    }
  }
  // The listings are freed: their pages go back before the pass, whose
  // threads allocate elsewhere.
  malloc_trim(0);
  if (StopRequested(context.stop)) {
    LogWalkReport(run, context, report);
    return {};
  }
  if (RtError err = JournalReady(context, problems)) return err;
  if (with_individual_files) run.FileCount += static_cast<int32_t>(job.lstFile.size());
  if (RtError err = OperationListPass(job, run, context, list)) {
    problems.push_back(Problem(kListNotRead, folder, err.description, kListNotReadEnd));
  }
  LogWalkReport(run, context, report);
  if (with_individual_files) IndividualFilesPass(job, run, context);
  return {};
}

// The work folder, where the operation list is made; false (with the
// problem said) when it cannot be used.
bool WorkFolderReady(std::vector<std::string>& problems) {
  const std::string folder = WorkFolder();
  if (RtError err = EnsurePrivateFolder(folder)) {
    problems.push_back(Problem(kFolderUnusable, folder, err.description, kNothingRenamed));
    return false;
  }
  return true;
}

// Makes the report files of a run as new files of the program's own; false
// (with the problem said) when one cannot be made.
bool OpenReports(const JobSettings& job, RunState& run, ReportFile& errors, ReportFile& process,
                 std::vector<std::string>& problems) {
  if (!WorkFolderReady(problems)) return false;
  const std::string error_path = WorkFilePath(kErrorFileName);
  if (RtError err = errors.OpenForOutput(error_path)) {
    problems.push_back(Problem(kReportNotMade, error_path, err.description, kNothingRenamed));
    return false;
  }
  run.GenerateProcessFile = job.chkProcess;
  if (!run.GenerateProcessFile) return true;
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
  (void)file.Close();  // its failure is in loss() too
  const ReportLoss& loss = file.loss();
  if (!loss.failed()) return;
  problems.push_back(Problem(kReportIncomplete, file.path(), std::strerror(loss.first_errno), "") +
                     " " + std::to_string(loss.lines) + kLinesLost);
}

}  // namespace

struct RunSession::Reports {
  ReportFile errors;
  ReportFile process;
  RunJournal journal;  // a perform's, to undo it by
  // The history as it was before the perform, and the perform's place in it.
  std::vector<HistoryEntry> history;
  HistoryEntry entry;
};

namespace {

// A perform changes no file before its journal is ready and named in the
// undo history; false (with the problem said, and the history as it was)
// when it cannot be made.
bool OpenJournal(const JobSettings& job, RunJournal& journal, std::vector<HistoryEntry>& history,
                 HistoryEntry& entry, std::vector<std::string>& problems) {
  const ChosenActions& c = job.chosen;
  RtError err = EnsureHistoryFolder();
  if (err.ok()) err = ReadHistory(history);
  if (err) {
    problems.push_back(Problem(kJournalNotMade, HistoryFolder(), err.description, kNothingRenamed));
    return false;
  }
  entry = {};
  entry.number = history.empty() ? 1 : history.back().number + 1;
  entry.run_id = NewRunId();
  entry.job = JobLine(job);
  entry.started = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                            std::chrono::system_clock::now().time_since_epoch())
                                            .count());
  const std::string path = HistoryJournalPath(entry.number);
  err = EnsurePrivateFolder(ParentFolder(path));
  if (err.ok()) {
    err = journal.Open(path, c.DoReadOnly || c.DoHidden || c.DoArchive || c.DoNormal, entry.run_id);
    journal.NoteTakenNames(job.collision == CollisionOption::kOverwrite);
  }
  entry.journal = journal.id();
  if (err.ok()) {
    std::vector<HistoryEntry> with = history;
    with.push_back(entry);
    err = WriteHistory(with);
  }
  if (err) {
    problems.push_back(Problem(kJournalNotMade, path, err.description, kNothingRenamed));
    (void)journal.Close();  // the problem is told already
    RemoveHistoryJournal(entry);
    return false;
  }
  return true;
}

// After the perform: a perform that changed nothing leaves the history as it
// was; one that did takes its place there, and the oldest performs beyond
// the levels kept are dropped.
void KeepOrDropJournal(const RunJournal& journal, std::vector<HistoryEntry> history,
                       const HistoryEntry& entry) {
  const bool changed =
      journal.renamed() > 0 || (journal.intents() > 0 && JournalWouldUndo(journal.path()));
  // Where the history cannot be written back, it still names this perform:
  // its journal stays (an undo of it says there is nothing to undo).
  if (!changed) {
    if (WriteHistory(history).ok()) RemoveHistoryJournal(entry);
    return;
  }
  history.push_back(entry);
  const size_t levels = static_cast<size_t>(UndoLevels());
  if (history.size() <= levels) return;
  const std::vector<HistoryEntry> dropped(history.begin(), history.end() - levels);
  history.erase(history.begin(), history.end() - levels);
  if (WriteHistory(history).ok()) {
    for (const auto& old : dropped) RemoveHistoryJournal(old);
  }
}

}  // namespace

RunSession::RunSession(JobSettings job, Prompter& prompter, RunView& view)
    : job_(std::move(job)),
      prompter_(prompter),
      view_(view),
      reports_(std::make_unique<Reports>()) {}

RunSession::~RunSession() = default;

bool RunSession::Begin(RunKind kind, FileOutcomeSink* outcomes) {
  outcome_ = {};
  kind_ = kind;
  outcomes_ = outcomes;
  // A plan takes the perform's path; only its changes are planned.
  run_.PreviewMode = kind == RunKind::kPreview;
  if (kind != RunKind::kPerform) {
    view_.ShowStatus(std::string(kStatusPrefix) + kStatusLineBreak + kStatusGeneratingPreview);
  }
  if (kind == RunKind::kPreview) run_.txtOP.Clear();
  if (!CheckSeparator(job_, run_, prompter_)) {
    run_.PreviewMode = false;
    return false;
  }
  run_.ErrorsOccurred = false;
  run_.FilesDone = 0;
  run_.FileCount = 0;
  run_.FoldersNotEntered = 0;
  // The journal first: a perform refused there leaves the last Process file.
  const bool opened =
      (kind != RunKind::kPerform || !job_.WriteJournal ||
       OpenJournal(job_, reports_->journal, reports_->history, reports_->entry,
                   outcome_.problems)) &&
      (kind == RunKind::kPlanUnrecorded
           ? WorkFolderReady(outcome_.problems)
           : OpenReports(job_, run_, reports_->errors, reports_->process, outcome_.problems));
  if (!opened) {
    // Nothing was renamed: the problem that stopped the run is told below.
    if (reports_->journal.is_open()) {
      (void)reports_->journal.Close();
      if (WriteHistory(reports_->history).ok()) RemoveHistoryJournal(reports_->entry);
    }
    (void)reports_->errors.Close();
    (void)reports_->process.Close();
    if (reports_->errors.id() != FileId{}) {
      RemoveIfSameFile(reports_->errors.path(), reports_->errors.id());
    }
    if (!job_.SuppressedMode && kind != RunKind::kPlanUnrecorded) {
      for (const auto& problem : outcome_.problems) prompter_.Tell(problem, kAppTitle);
    }
    run_.PreviewMode = false;
    return false;
  }
  began_ = true;
  return true;
}

void RunSession::NoteOwnFiles(EngineContext& context) const {
  if (context.errors != nullptr) context.own_files.push_back(reports_->errors.id());
  if (context.process != nullptr) context.own_files.push_back(reports_->process.id());
  if (kind_ == RunKind::kPlanUnrecorded) {
    // The perform makes its report files anew and leaves them out: so does
    // its plan with those the last run left.
    for (const char* name : {kErrorFileName, kProcessFileName}) {
      FileId report;
      if (IdOfPath(WorkFilePath(name), report)) context.own_files.push_back(report);
    }
  }
  if (reports_->journal.is_open()) context.own_files.push_back(reports_->journal.id());
  // The journals of earlier performs, and the list naming them, are never
  // part of a job either: a preview or a plan leaves them out as a perform does.
  std::vector<HistoryEntry> read_history;
  if (!reports_->journal.is_open() && !ReadHistory(read_history).ok()) read_history.clear();
  for (const auto& earlier : reports_->journal.is_open() ? reports_->history : read_history) {
    context.own_files.push_back(earlier.journal);
  }
  FileId history_list;
  if (IdOfPath(JoinPath(HistoryFolder(), kHistoryListName), history_list)) {
    context.own_files.push_back(history_list);
  }
}

RtError RunSession::PassFiles(EngineContext& context) {
  const SelectionMethod method = job_.method;
  const bool files = !job_.lstFile.empty();
  const bool directories = !job_.lstDir.empty() && !job_.lstExt.empty();
  RtError result;
  if (method == SelectionMethod::kIndividual) {
    result = JournalReady(context, outcome_.problems);
    if (result.ok()) IndividualFilesPass(job_, run_, context);
  } else if (method == SelectionMethod::kExtension || !files) {
    if (directories) result = WalkAndProcess(job_, run_, context, false, outcome_.problems);
  } else if (directories) {
    result = WalkAndProcess(job_, run_, context, true, outcome_.problems);
  } else {
    run_.FileCount = static_cast<int32_t>(job_.lstFile.size());
    result = JournalReady(context, outcome_.problems);
    if (result.ok()) IndividualFilesPass(job_, run_, context);
  }
  return result;
}

void RunSession::Execute(const StopRequest* stop) {
  if (!began_) return;
  const SelectionMethod method = job_.method;
  const bool known = method == SelectionMethod::kIndividual ||
                     method == SelectionMethod::kExtension || method == SelectionMethod::kDone;
  if (!known) return;
  if (kind_ == RunKind::kPerform) view_.ShowStatus(kStatusPerforming);

  const TransformPlan plan(job_);
  NameIndex names;
  DirectoryHandle directory;
  PlannedChanges planned(names, job_.collision == CollisionOption::kAppendNumber);
  EngineContext context;
  if (IsPlan(kind_)) context.changes = &planned;
  context.outcomes = outcomes_;
  context.directory = &directory;
  context.errors = reports_->errors.is_open() ? &reports_->errors : nullptr;
  context.process = reports_->process.is_open() ? &reports_->process : nullptr;
  context.plan = &plan;
  context.names = &names;
  context.stop = stop;
  context.view = &view_;
  if (reports_->journal.is_open()) context.journal = &reports_->journal;
  NoteOwnFiles(context);

  // Individual files may name a file twice, or one the walk lists: each
  // file is then known by its identity. A walk alone lists each file once.
  TakenFiles taken(!job_.lstFile.empty() && method != SelectionMethod::kExtension);
  context.taken = &taken;
  const RtError result = PassFiles(context);
  listed_nothing_ = !result.ok();
  view_.ShowProgress(run_.FilesDone, run_.FileCount);
  const bool journal_failed = context.journal != nullptr && !context.journal->error().ok();
  if (StopRequested(stop)) {
    outcome_.stopped = stop->load();
    if (context.process != nullptr) (void)context.process->WriteLine(kStoppedLine);
  } else if (journal_failed && result.ok()) {
    if (context.process != nullptr) (void)context.process->WriteLine(kStoppedLine);
  } else if (result.ok()) {
    view_.ShowStatus(std::string(kStatusPrefix) +
                     (kind_ == RunKind::kPerform ? kStatusPerformDone : kStatusPreviewDone));
  }
}

RunOutcome RunSession::Results() {
  outcome_.files = run_.FileCount;
  outcome_.folders_not_entered = run_.FoldersNotEntered;
  if (kind_ == RunKind::kPreview) outcome_.preview = std::move(run_.txtOP);
  return std::move(outcome_);
}

RunOutcome RunSession::End() {
  if (!began_) return Results();
  began_ = false;
  if (kind_ == RunKind::kPlanUnrecorded) {
    outcome_.started = !listed_nothing_;
    outcome_.errors = run_.ErrorsOccurred;
    return Results();
  }
  CloseReport(reports_->errors, outcome_.problems);
  CloseReport(reports_->process, outcome_.problems);
  if (reports_->journal.is_open()) {
    // When nothing was renamed, what the journal lacks does not matter.
    if (RtError err = reports_->journal.Close(); err && !listed_nothing_) {
      outcome_.problems.push_back(
          Problem(kJournalNotWritten, reports_->journal.path(), err.description, kListNotReadEnd));
    }
    KeepOrDropJournal(reports_->journal, reports_->history, reports_->entry);
  }
  RememberDirectory(job_);
  outcome_.started = !listed_nothing_;
  if (!job_.SuppressedMode) {
    for (const auto& problem : outcome_.problems) prompter_.Tell(problem, kAppTitle);
  }
  const std::string error_path = reports_->errors.path();
  // Only the file this run made is removed, never one put in its place.
  if (!run_.ErrorsOccurred) RemoveIfSameFile(error_path, reports_->errors.id());
  if (kind_ != RunKind::kPerform) {
    if (run_.ErrorsOccurred && !job_.SuppressedMode &&
        prompter_.Ask(kPreviewErrorsQuestion, kPreviewErrorsCaption)) {
      StartViewerOn(error_path, prompter_, view_);
    }
  } else if (outcome_.started) {
    outcome_.performed = true;
    if (!job_.SuppressedMode) prompter_.Tell(kRenamedMessage, kAppTitle);
    if (run_.ErrorsOccurred && !job_.SuppressedMode &&
        prompter_.Ask(kPerformErrorsQuestion, kPerformErrorsCaption)) {
      ViewReport(ReportKind::kErrors, prompter_, view_);
    }
  }
  run_.PreviewMode = false;
  outcome_.errors = run_.ErrorsOccurred;
  outcome_.error_file_left = NormalFileFound(error_path);
  return Results();
}

RunOutcome RunOnce(JobSettings job, Prompter& prompter, RunView& view, RunKind kind,
                   const StopRequest* stop, FileOutcomeSink* outcomes) {
  RunSession session(std::move(job), prompter, view);
  if (!session.Begin(kind, outcomes)) return session.End();
  session.Execute(stop);
  return session.End();
}

}  // namespace qtarvox
