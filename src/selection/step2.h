// The Step 2 method state machine and its Proceed check: which selection
// method the job uses, and whether its lists are filled enough to go on.
#pragma once

#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

enum class SelectionMethod { kIndividual, kExtension, kBoth };

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
SelectionMethod MethodForGivenFiles(const Job& job);

// The OK button of the method row: sets the method tag and the list captions
// and disables the button.
void ChooseMethod(Job& job, SelectionMethod method);

enum class Step2Result {
  kStay,    // the first screen of the combined method moved on to its second
  kPassed,  // Step 3 may open
  kFailed,  // the check's message was shown; Step 2 stays
};

// The Proceed button of Step 2. In suppressed mode no message is shown and a
// failed check counts as passed; `failure` (when given) receives the message
// of a failed check in every mode.
Step2Result ProceedStep2(Job& job, Prompter& prompter, std::string* failure = nullptr);

}  // namespace qtarvox
