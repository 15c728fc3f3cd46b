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
inline constexpr const char* kOptionHelpShort = "-h";
inline constexpr const char* kOptionVersion = "--version";
inline constexpr const char* kOptionPreview = "--preview";
inline constexpr const char* kOptionUndo = "--undo";
inline constexpr const char* kOptionList = "--list";
inline constexpr const char* kOptionNull = "--null";
inline constexpr const char* kOptionQuiet = "--quiet";
inline constexpr const char* kOptionQuietShort = "-q";
inline constexpr const char* kOptionVerbose = "--verbose";
inline constexpr const char* kOptionVerboseShort = "-v";

// What the parser says of what it did not do, each note one line (without
// the program's name in front).
inline constexpr const char* kNoteUnknownStart = "unknown command ";
inline constexpr const char* kNoteUnknownEnd = " ignored";
inline constexpr const char* kNoteDidYouMean = "; did you mean ";
inline constexpr const char* kNoteIgnores = " ignores ";
inline constexpr const char* kHintBlank = "; put a blank between the command and its value: ";
inline constexpr const char* kHintAsterisk = "; give the value after an asterisk: ";
inline constexpr const char* kNoteTrailingBlank = ": the blank at the end of ";
inline constexpr const char* kHintEndAsterisk =
    " was dropped; to keep it, end the value with an asterisk: ";

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
  bool help = false;     // --help, -h
  bool version = false;  // --version
  bool preview = false;  // --preview
  bool undo = false;     // --undo
  bool list = false;     // --list
  bool null_separated = false;  // --null
  bool quiet = false;           // --quiet, -q
  bool verbose = false;         // --verbose, -v
  std::vector<std::string> unknown;  // arguments starting with "--" that are none of these
  std::vector<std::string> rest;
};

// Removes every argument that is exactly one of the program's options, or
// starts with "--", wherever it stands, and records which were present.
CliOptions SplitProgramOptions(const std::vector<std::string>& args);

// The program's long option nearest to an unknown one, when it is near
// enough to be what was meant; else empty.
std::string NearestLongOption(const std::string& typed);

// What the parser did not do with a command line, for whoever reads stderr.
struct ParseNotes {
  // Whether the first segment came from an argument starting with "-".
  bool first_segment_dashed = true;
  // One note per unknown command (with the nearest known command or option
  // when one is near), per value a command does not read, and per blank
  // that trimming took from the end of a value read as it stands.
  std::vector<std::string> lines;
};

// Groups the arguments (without the program name) into command segments. An
// argument beginning with "-" starts a new segment, without its dash; any other
// argument continues the current segment after one blank, or, once an FI
// segment holds a value, after an asterisk (each argument one file).
// Arguments before the first dashed one form the first segment, which is read
// as a command too. Empty segments are left out.
std::vector<std::string> BuildSegments(const std::vector<std::string>& args);

// Applies the segments to the job from left to right: clears
// FilesGivenIndividually, FilesGivenByExtension and SuppressedMode, then lets
// each known command tick its action or write its fields; later values
// overwrite earlier ones and everything else the job held stays. Unknown
// commands are ignored. The only thing told through `prompter` is the note
// on a vertical bar in FE (in suppressed mode too); what was not done goes
// to `notes` when given, and changes nothing in the job.
ListCaptions ParseCommandLine(Job& job, const std::vector<std::string>& segments,
                              Prompter& prompter, ParseNotes* notes = nullptr);

}  // namespace qtarvox
