// A run of the job: a preview or a perform, and how it ended.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_outcome.h"
#include "engine/job.h"
#include "engine/ports.h"
#include "platform/rt_error.h"
#include "platform/stop_signals.h"
#include "run/status_line.h"

namespace qtarvox {

struct EngineContext;

inline constexpr const char* kSeparatorMessageStart = "The seperating character cannot contain '";
inline constexpr const char* kSeparatorMessageEnd = "'. Please remove that.";
inline constexpr const char* kPreviewErrorsQuestion =
    "There were some errors spotted that could occur during actual process, would you like to "
    "view them?";
inline constexpr const char* kPreviewErrorsCaption = "Error";
inline constexpr const char* kRenamedMessage = "The files were succesfully renamed.";
inline constexpr const char* kPerformErrorsQuestion =
    "There were some errors. Would you like to view them?";
inline constexpr const char* kPerformErrorsCaption = "Errors";
// What is said when the work files fail the run: each text is followed by a
// path, then " (", the system's reason, ")" and the ending shown.
inline constexpr const char* kFolderUnusable = "The work folder cannot be used: ";
inline constexpr const char* kReportNotMade = "A report file could not be made: ";
inline constexpr const char* kListNotWritten =
    "The list of files to rename could not be written in the work folder: ";
inline constexpr const char* kNothingRenamed = ". Nothing was renamed.";
inline constexpr const char* kListNotRead = "The list of files to rename could not be read back: ";
inline constexpr const char* kListNotReadEnd =
    ". The files after the last one the Process file names were left as they were.";
inline constexpr const char* kJournalNotMade = "The journal of the run could not be made: ";
inline constexpr const char* kJournalNotWritten = "The journal of the run could not be written: ";
inline constexpr const char* kReportIncomplete = "This report file is incomplete: ";
inline constexpr const char* kLinesLost = " line(s) could not be written.";
// The last line of the Process file of a run that was stopped.
inline constexpr const char* kStoppedLine =
    "*** Q-Tarvox Renamer: the run was stopped here; the files after this point were left as "
    "they were ***";

// What a run does with the files.
enum class RunKind {
  kPerform,  // renames them, sets attributes
  kPreview,  // each changed file gets a line in the preview box; attribute actions still act
  // The perform's own path with nothing changed: each file's outcome is what
  // the perform would give it against the disk as it is and the renames
  // planned before it. The Process file gets only the "Current File" lines;
  // the Error file gets the errors the perform would log.
  kPlan,
  // The same plan leaving no trace: no Process or Error file is made (those
  // of earlier runs stay as they are), the directory is not remembered and
  // nothing is asked or told. Its outcomes go to the sink alone; it may run
  // on any thread, on a job of its own.
  kPlanUnrecorded,
};

// A plan of the perform's path, recorded or not.
inline bool IsPlan(RunKind kind) {
  return kind == RunKind::kPlan || kind == RunKind::kPlanUnrecorded;
}

// How a run ended, and what it produced: the caller keeps of it what it wants,
// on its own thread, once the run is over.
struct RunOutcome {
  // false: the separator check failed, or the run could not start
  // (`problems` says why; nothing was renamed).
  bool started = false;
  bool performed = false;        // a perform ran: the run button turns to Finished
  bool errors = false;           // ErrorsOccurred at the end of the run
  bool error_file_left = false;  // the Error file is still in the work folder
  int stopped = 0;               // the stop request that ended the run early, 0: none
  // What went wrong besides the files' own errors: the work files could not
  // be made, or not written completely. Also told through the prompter
  // unless in suppressed mode.
  std::vector<std::string> problems;
  int32_t files = 0;                // the files the run listed
  int32_t folders_not_entered = 0;  // folders the walk left out (read-only or hidden)
  // A preview's lines (none when it could not start: a preview empties its
  // box first); no value for any other kind of run.
  std::optional<PreviewBox> preview;
};

// One run - a preview (nothing is renamed, each changed file gets a line in
// the preview box) or a perform - in three parts, so that its passes can run
// on a thread of their own while the caller's thread stays free. The run
// reads its own copy of the settings (pass one with std::move where the
// caller needs it no more) and counts into state of its own:
// nothing the caller holds is written while it runs. What it produced comes
// back from End.
class RunSession {
 public:
  RunSession(JobSettings job, Prompter& prompter, RunView& view);
  ~RunSession();
  RunSession(const RunSession&) = delete;
  RunSession& operator=(const RunSession&) = delete;

  // On the caller's thread: the separator check and the report files. False
  // when the run cannot start (End then says why). `outcomes` (optional) is
  // told what became of each file of a perform or a plan.
  bool Begin(RunKind kind, FileOutcomeSink* outcomes = nullptr);
  bool Begin(bool preview) { return Begin(preview ? RunKind::kPreview : RunKind::kPerform); }
  // On any one thread: the passes the selection method calls for. Nothing is
  // asked or told here; status and progress go to the view. A stop request
  // ends the passes between two files, with the reports complete up to there.
  void Execute(const StopRequest* stop = nullptr);
  // On the caller's thread: closes the report files, remembers the
  // directory, removes an Error file nothing was written to, and asks the
  // questions of the end of a run. Returns what the run produced; called
  // once.
  RunOutcome End();

 private:
  // The program's own files, which no job may take: the report files, the
  // journals and the history list.
  void NoteOwnFiles(EngineContext& context) const;
  // The files of the job, by its selection method.
  RtError PassFiles(EngineContext& context);
  // The outcome with what the run counted and, for a preview, its lines.
  RunOutcome Results();

  struct Reports;
  const JobSettings job_;  // the settings as they were when the run was made
  RunState run_;
  Prompter& prompter_;
  RunView& view_;
  std::unique_ptr<Reports> reports_;
  RunKind kind_ = RunKind::kPerform;
  FileOutcomeSink* outcomes_ = nullptr;
  RunOutcome outcome_;
  bool began_ = false;
  bool listed_nothing_ = false;  // the operation list could not be made
};

// A whole run on the caller's thread, of its own copy of `job`.
RunOutcome RunOnce(JobSettings job, Prompter& prompter, RunView& view, RunKind kind,
                   const StopRequest* stop = nullptr, FileOutcomeSink* outcomes = nullptr);
inline RunOutcome RunOnce(JobSettings job, Prompter& prompter, RunView& view, bool preview,
                          const StopRequest* stop = nullptr) {
  return RunOnce(std::move(job), prompter, view, preview ? RunKind::kPreview : RunKind::kPerform,
                 stop);
}

}  // namespace qtarvox
