// What the program does with its command line when no window is involved:
// --help, --version, and the silent run (the -SU command, or --preview) that
// performs or previews the job and ends.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qtarvox {

inline constexpr int kExitClean = 0;  // the run did what was asked
// The run left the Error file in the work folder, a report file could not be
// written completely, a file or directory named on the command line is not
// there, or a part of the command line was not carried out (an unknown
// command, a value not read, an action the Step 1 check dropped, a directory
// without its mark); the rest of the job ran all the same.
inline constexpr int kExitErrorFile = 1;
// Nothing was started: bad usage, the separator check, the work folder, a
// list of files that cannot be read.
inline constexpr int kExitNotStarted = 2;
// A run stopped by a signal ends with this plus the signal's number (130 for Ctrl-C).
inline constexpr int kExitSignalBase = 128;

inline constexpr const char* kUnknownOption = "q-tarvox: unknown option ";
inline constexpr const char* kNoteMissingFile = "q-tarvox: -FI: no file ";
inline constexpr const char* kNoteMissingDirectory = "q-tarvox: -FE: no directory ";

inline constexpr const char* kNoWindowNote =
    "q-tarvox: the window is not part of this build yet; use -SU or --preview to run the job.";

// Runs the command line (arguments without the program name) without any
// window: messages, notes and the summary go to `err`, the lines of a plan
// (or of a verbose run) to `out`. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qtarvox
