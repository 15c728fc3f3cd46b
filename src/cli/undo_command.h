// The command line's undo: `q-tarvox --undo` puts the most recent perform
// not yet undone back, `--undo --preview` tells what that would do and
// changes nothing, `--undo --list` shows the undo history.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qtarvox {

inline constexpr const char* kUndoTakesNoJob =
    "--undo takes no job commands (only --preview, --list, -q, -v, --null); nothing was done.";
inline constexpr const char* kListNeedsUndo = "--list goes with --undo; nothing was done.";
inline constexpr const char* kHistoryEmpty = "the undo history is empty.";
inline constexpr const char* kUndoStopped = "undo stopped by signal ";
inline constexpr const char* kUndoStoppedEnd =
    "; the files after the last one in the Process file were left as they were, and the next "
    "--undo goes on with them.";
// The states of a perform in the history list.
inline constexpr const char* kStateUndone = "undone";
inline constexpr const char* kStateNotUndone = "not undone";
inline constexpr const char* kStateDamaged = "damaged";
// The status field of an undo's --null lines.
inline constexpr const char* kStatusRenamed = "renamed";
inline constexpr const char* kStatusAttributes = "attributes";
inline constexpr const char* kStatusLeft = "left";
inline constexpr const char* kMarkAttributes = "attributes as before the run";

struct UndoCommand {
  bool preview = false;  // only tell what the undo would do
  bool list = false;     // show the history instead
  bool quiet = false;    // no summary line
  bool verbose = false;  // each file's line as the undo goes
  bool null_separated = false;
};

// Runs the undo; `rest` are the arguments besides the program's options,
// which must be none. File lines and the list go to `out`, everything else
// to `err`. Returns the exit status: 0 nothing left undone (or nothing to
// undo), 1 something was left (the Error file's path on `err`) or the
// journal is damaged, 2 the undo could not start or the journal does not
// belong, 128 + n stopped by signal n.
int RunUndoCommand(const UndoCommand& command, const std::vector<std::string>& rest,
                   std::ostream& out, std::ostream& err);

}  // namespace qtarvox
