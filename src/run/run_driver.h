// Preview, Perform and Finished: the run button and the Preview button.
#pragma once

#include "engine/job.h"
#include "engine/ports.h"

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

// How a press of the run button ended.
struct RunOutcome {
  bool started = false;          // false: the separator check failed, or Finished ran
  bool errors = false;           // ErrorsOccurred at the end of the run
  bool error_file_left = false;  // the Error file is still in the work folder
};

// The Preview button: a run in which nothing is renamed and each changed file
// gets a line in the preview box.
RunOutcome PressPreview(Job& job, Prompter& prompter, RunView& view);

// The run button: the Finished sequence when its tag is "Done"; otherwise a
// run (a preview while job.PreviewMode is set, else a perform).
RunOutcome PressRun(Job& job, Prompter& prompter, RunView& view);

}  // namespace qtarvox
