// Reading a whole job from the command line: the program options, the
// segments (one per dashed command) and the commands that fill the job where a
// user would fill it on Steps 1 to 3. The parser checks nothing; the ordinary
// Step 1 and Step 2 checks judge the result when the wizard's buttons are pressed.
#pragma once

#include <string>
#include <vector>

#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

inline constexpr const char* kOptionHelp = "--help";
inline constexpr const char* kOptionVersion = "--version";
inline constexpr const char* kOptionPreview = "--preview";
inline constexpr const char* kOptionUndo = "--undo";

// The only message of the parser: a vertical bar in an FE command.
inline constexpr const char* kPipeSeparatorNote =
    "Please note that recently, the Pipe symbol has been removed as the seperator for this "
    "command line argument and replaced by the Quote symbol. Please refer to the 'readme.txt' "
    "file for complete information. The program might not produce the expected results if you "
    "do not use the new format";

// Which count captions of the Step 2 lists the FI and FE commands rewrote
// (with the prefixes of the lists' Add buttons).
struct ListCaptions {
  bool files = false;
  bool directories = false;
  bool extensions = false;
};

// The program's own options, taken out of the arguments before the job commands
// are read. `rest` keeps every other argument in its order.
struct CliOptions {
  bool help = false;
  bool version = false;
  bool preview = false;
  bool undo = false;
  std::vector<std::string> rest;
};

// Removes every argument that is exactly --help, --version, --preview or --undo,
// wherever it stands, and records which of them were present.
CliOptions SplitProgramOptions(const std::vector<std::string>& args);

// Groups the arguments (without the program name) into command segments. An
// argument beginning with "-" starts a new segment, without its dash; any other
// argument continues the current segment after one blank. Arguments before the
// first dashed one form the first segment, which is read as a command too.
// Empty segments are left out.
std::vector<std::string> BuildSegments(const std::vector<std::string>& args);

// Applies the segments to the job from left to right: clears
// FilesGivenIndividually, FilesGivenByExtension and SuppressedMode, then lets
// each known command tick its action or write its fields; later values
// overwrite earlier ones and everything else the job held stays. Unknown
// commands are ignored. The only thing told to the user is the note on a
// vertical bar in FE, through `prompter` (in suppressed mode too).
ListCaptions ParseCommandLine(Job& job, const std::vector<std::string>& segments,
                              Prompter& prompter);

}  // namespace qtarvox
