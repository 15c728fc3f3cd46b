// Reading a whole job from the command line: the program options, the
// segments (one per dashed command) and the commands that fill the job where a
// user would fill it on Steps 1 to 3. The parser checks nothing; the ordinary
// Step 1 and Step 2 checks judge the result when the wizard's buttons are pressed.
#pragma once

#include <array>
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
inline constexpr const char* kOptionFiles0From = "--files0-from";
// Ends the commands: every later argument is one more file.
inline constexpr const char* kEndOfCommands = "--";

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
inline constexpr const char* kHintNumbering = "; BN and the start number follow E or N: ";
inline constexpr const char* kNoteNoMarkStart = "-FE: no *Y or *N at the end of ";
inline constexpr const char* kNoteNoMarkEnd =
    ", left out (end a directory with *Y to include its subdirectories, *N not to)";
inline constexpr const char* kErrorDashedFileStart = "-FI: ";
inline constexpr const char* kErrorDashedFileMiddle = " is a file here, not a command; write ./";
inline constexpr const char* kErrorDashedFileEnd = " for it, or put the files after --";
inline constexpr const char* kErrorFiles0Operand =
    "--files0-from needs a file of NUL-separated paths (- for standard input)";
inline constexpr const char* kErrorFiles0Read = "--files0-from: cannot read ";

// The only message of the parser: a vertical bar in an FE command.
inline constexpr const char* kPipeSeparatorNote =
    "Please note that recently, the Pipe symbol has been removed as the seperator for this "
    "command line argument and replaced by the Quote symbol. Please refer to the 'readme.txt' "
    "file for complete information. The program might not produce the expected results if you "
    "do not use the new format";

// The fixed words some commands read after them. NE and NB: the style (E
// even width, N normal), then BN before the start number. CW: after spaces
// (S), underscores (U) or both. EF: the collision option by its number.
inline constexpr const char* kNumberStyleEven = "E";
inline constexpr const char* kNumberStyleNormal = "N";
inline constexpr const char* kNumberStartWord = "BN";
inline constexpr std::array<const char*, 4> kCapitalizeWords{{"S", "U", "SU", "US"}};
inline constexpr std::array<const char*, 3> kCollisionWords{{"1", "2", "3"}};

// A command's fixed words at one place after it (1: the first word after the
// command), in upper case: the words the parser reads there, and no others.
// The shell completion offers them.
struct CommandWords {
  std::string command;  // "-NE"
  int place = 1;
  std::vector<std::string> words;
};
std::vector<CommandWords> FixedValueWords();

// Which count captions of the Step 2 lists the FI and FE commands rewrote
// (with the prefixes of the lists' Add buttons).
struct ListCaptions {
  bool files = false;
  bool directories = false;
  bool extensions = false;
};

// The program's own options, taken out of the arguments before the job commands
// are read. `rest` keeps every other argument before "--" in its order.
struct CliOptions {
  bool help = false;     // --help, -h
  bool version = false;  // --version
  bool preview = false;  // --preview
  bool undo = false;     // --undo
  bool list = false;     // --list
  bool null_separated = false;  // --null
  bool quiet = false;           // --quiet, -q
  bool verbose = false;         // --verbose, -v
  // Arguments starting with "--" that are none of these, and long options
  // written with one dash ("-preview"), which would otherwise be read as
  // unknown commands while the rest of the job runs.
  std::vector<std::string> unknown;
  // What makes the command line unusable besides an unknown option, one line
  // each: an argument among the files of FI that starts with a dash and names
  // an existing entry (a shell's glob gave it), --files0-from without a file.
  std::vector<std::string> errors;
  std::vector<std::string> rest;
  std::vector<std::string> files;        // the arguments after "--", each a path
  std::vector<std::string> files0_from;  // the operands of --files0-from ("-": standard input)
};

// Removes every argument that is exactly one of the program's options, or
// starts with "--", wherever it stands before a "--" of its own, and records
// which were present; "--files0-from" takes the next argument with it.
CliOptions SplitProgramOptions(const std::vector<std::string>& args);

// The program's long option nearest to an unknown one, when it is near
// enough to be what was meant; else empty.
std::string NearestLongOption(const std::string& typed);

// What the parser did not do with a command line, for whoever reads stderr.
struct ParseNotes {
  // Whether the first segment came from an argument starting with "-".
  bool first_segment_dashed = true;
  // One note per unknown command (with the nearest known command or option
  // when one is near), per value a command does not read, per blank that
  // trimming took from the end of a value read as it stands, and per FE
  // directory left out for want of its *Y or *N. Each is a part of the
  // command line that the job does without.
  std::vector<std::string> lines;
};

// One command and its values. An FI command keeps each argument after it as
// one entry of `files`; every other command has its values in `text`.
struct Segment {
  std::string text;
  std::vector<std::string> files;
  bool operator==(const Segment&) const = default;
};

// Groups the arguments (without the program name) into command segments. An
// argument beginning with "-" starts a new segment, without its dash; any other
// argument continues the current segment after one blank, or, in an FI
// segment, is one more entry of its files. Arguments before the first dashed
// one form the first segment, which is read as a command too. Empty segments
// are left out. Each argument is looked at once.
std::vector<Segment> BuildSegments(const std::vector<std::string>& args);

// Applies the segments to the job from left to right: clears
// FilesGivenIndividually, FilesGivenByExtension and SuppressedMode, then lets
// each known command tick its action or write its fields; later values
// overwrite earlier ones and everything else the job held stays. Unknown
// commands are ignored. The only thing told through `prompter` is the note
// on a vertical bar in FE (in suppressed mode too); what was not done goes
// to `notes` when given, and changes nothing in the job.
//
// Each argument of FI that names an existing entry exactly as written is that
// one file, blanks at its ends and asterisks included; any other is a list of
// paths separated by asterisks, each trimmed. A relative path is taken from
// the current directory, and every file is entered as "name * directory".
ListCaptions ParseCommandLine(Job& job, const std::vector<Segment>& segments, Prompter& prompter,
                              ParseNotes* notes = nullptr);

// Adds the files given apart from the commands to lstFile: the arguments
// after "--", then the paths read from each --files0-from source, separated
// by NUL bytes; each is one path, byte for byte. False, with the reason in
// `failure`, when a source cannot be read.
bool AddFilesGivenApart(Job& job, const CliOptions& options, ListCaptions& captions,
                        std::string& failure);

}  // namespace qtarvox
