// What the program does with its command line when no window is involved:
// --help, --version, and the silent run (the -SU command, or --preview) that
// performs or previews the job and ends.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "run/exit_codes.h"

namespace qtarvox {

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
