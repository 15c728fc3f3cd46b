// The Step 2 rules that need no screen: which method a command line calls
// for, and whether the lists are filled enough to go on.
#pragma once

#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

inline constexpr const char* kNoDirectories =
    "You need to specify in what directories to look for the files of specified extensions! "
    "Choose the directories in the directory box and click on corresponding ADD button.";
inline constexpr const char* kNoExtensions =
    "You need to specify what file extensions to look for in the specified directories. Enter "
    "a file extension and click on corresponding ADD button.";
inline constexpr const char* kNoFiles =
    "You need to specify the files on which to perform the actions you choose. Choose the files "
    "and click on the ADD button.";
inline constexpr const char* kNoSelection =
    "You need to either choose the files by specifying them individually or by selecting a list "
    "of directories and entering a list of file extensions to look for in the selected "
    "directories.";

// The method a command line's files call for: individual files only or
// nothing -> individual; directories only -> extension; both -> both.
SelectionMethod MethodForGivenFiles(const JobSettings& job);

// The check of Step 2's Proceed button for the job's method: the message of
// the first thing missing, or nullptr when the job may go on to Step 3. The
// first screen of the combined method (kBoth) is not checked.
const char* Step2Failure(const JobSettings& job);

}  // namespace qtarvox
