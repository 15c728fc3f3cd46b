// Opening the Error file and the Process file in the desktop's text viewer.
#pragma once

#include <string>

#include "engine/ports.h"

namespace qtarvox {

enum class ReportKind { kErrors, kProcess };

inline constexpr const char* kErrorFileNotFound =
    "The error(s) file was not found. This could be because it was never created as no errors "
    "were encountered...or it could have been moved,renamed or deleted";
inline constexpr const char* kProcessFileNotFound =
    "The process file was not found. This could be because it was never created as no changes "
    "were done...or it could have been moved,renamed or deleted";
inline constexpr const char* kViewerNotFound =
    "Windows notepad was not found to display the text file ";

// What the View Error File and View Process File buttons do: finds the report
// with the normal-files search, starts the viewer on it without waiting, or
// says why it cannot.
void ViewReport(ReportKind kind, Prompter& prompter, RunView& view);

// Starts the viewer on `path` without looking for the file first; tells the
// viewer-not-found message when no viewer can be started.
void StartViewerOn(const std::string& path, Prompter& prompter, RunView& view);


}  // namespace qtarvox
