// What the program prints for --help and --version.
#pragma once

#include <string>

namespace qtarvox {

inline constexpr const char* kVersionText = "Q-Tarvox Renamer 1.7.6";
inline constexpr const char* kUsageLine =
    "Usage: q-tarvox [OPTION]... [-COMMAND [VALUE...]]... [-- FILE...]";
inline constexpr const char* kHelpPointer = "Run 'q-tarvox --help' for the options and commands.";

// The usage page: options, the 23 job commands with their value forms, how to
// quote them in a shell, the work folder, examples and exit codes. Ends with a
// line break. The manual page, the shell completion and the help's list of
// commands are made from this text.
std::string UsageText();

}  // namespace qtarvox
