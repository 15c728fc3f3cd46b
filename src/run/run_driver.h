// Preview, Perform and Finished: the run button and the Preview button.
#pragma once

#include <string>
#include <vector>

#include "engine/job.h"
#include "engine/ports.h"
#include "platform/stop_signals.h"

namespace qtarvox {

inline constexpr const char* kStatusPrefix = "Status : ";
inline constexpr const char* kStatusGeneratingPreview = "Generating Preview...please wait...";
inline constexpr const char* kStatusPerforming = "Performing changes...please wait...";
inline constexpr const char* kStatusPreviewDone = "Preview Generated succesfully";
inline constexpr const char* kStatusPerformDone = "Filename changes were performed succesfully";
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
inline constexpr const char* kFinishedCaption = "&Finished";
inline constexpr const char* kReadyCaption = "&Perform\r\nChanges";
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
inline constexpr const char* kReportIncomplete = "This report file is incomplete: ";
inline constexpr const char* kLinesLost = " line(s) could not be written.";
// The last line of the Process file of a run that was stopped.
inline constexpr const char* kStoppedLine =
    "*** Q-Tarvox Renamer: the run was stopped here; the files after this point were left as "
    "they were ***";

// How a press of the run button ended.
struct RunOutcome {
  // false: the separator check failed, Finished ran, or the run could not
  // start (`problems` says why; nothing was renamed).
  bool started = false;
  bool errors = false;           // ErrorsOccurred at the end of the run
  bool error_file_left = false;  // the Error file is still in the work folder
  int stopped = 0;               // the stop request that ended the run early, 0: none
  // What went wrong besides the files' own errors: the work files could not
  // be made, or not written completely. Also told through the prompter
  // unless in suppressed mode.
  std::vector<std::string> problems;
};

// The Preview button: a run in which nothing is renamed and each changed file
// gets a line in the preview box.
RunOutcome PressPreview(Job& job, Prompter& prompter, RunView& view,
                        const StopRequest* stop = nullptr);

// The run button: the Finished sequence when its tag is "Done"; otherwise a
// run (a preview while job.PreviewMode is set, else a perform). A stop
// request ends the run between two files, with the report files complete
// up to there.
RunOutcome PressRun(Job& job, Prompter& prompter, RunView& view,
                    const StopRequest* stop = nullptr);

}  // namespace qtarvox
