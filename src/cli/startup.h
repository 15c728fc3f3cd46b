// What the program does with its command line when no window is involved:
// --help, --version, and the silent run (the -SU command, or --preview) that
// performs or previews the job and ends.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qtarvox {

inline constexpr int kExitClean = 0;       // the run left no Error file
// The run left the Error file in the work folder, or a report file could not
// be written completely.
inline constexpr int kExitErrorFile = 1;
inline constexpr int kExitNotStarted = 2;  // the run did not start
// A run stopped by a signal ends with this plus the signal's number (130 for Ctrl-C).
inline constexpr int kExitSignalBase = 128;

inline constexpr const char* kNoWindowNote =
    "q-tarvox: the window is not part of this build yet; use -SU or --preview to run the job.";

// Runs the command line (arguments without the program name) without any
// window: messages go to `err`, preview lines to `out`. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qtarvox
