// The program's exit status, the same whether it ran silently, opened the
// window or undid a perform.
#pragma once

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

}  // namespace qtarvox
