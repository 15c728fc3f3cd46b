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
inline constexpr const char* kNothingToUndo = "there is nothing to undo.";
inline constexpr const char* kHistoryEmpty = "the undo history is empty.";
inline constexpr const char* kOverwrittenNote =
    "the perform overwrote these files; they are gone and cannot be brought back:";
inline constexpr const char* kJournalCutNote =
    "the journal ends in the middle of a record (the perform was cut off); it was read up to "
    "its last whole record.";
// "the journal PATH is damaged: N record(s) do not check[, nothing after byte B
// could be read]; what it names elsewhere is undone, M file(s) it no longer
// names are left as they are, and the journal is kept to be tried again."
inline constexpr const char* kJournalDamaged = "the journal ";
inline constexpr const char* kJournalDamagedRecords = " is damaged: ";
inline constexpr const char* kJournalDamagedCount = " record(s) do not check";
inline constexpr const char* kJournalUnreadFrom = ", nothing after byte ";
inline constexpr const char* kJournalUnreadEnd = " could be read";
inline constexpr const char* kJournalDamagedLost =
    "; what it still names is undone, the files it no longer names (";
inline constexpr const char* kJournalDamagedLostEnd =
    " known, and any after the damage) are left as they are, and the journal is kept.";
inline constexpr const char* kWouldBeLeft = "would be left as it is: ";
inline constexpr const char* kLeftAsItIs = "left as it is: ";
// The summary: "<verb> N file(s) their old names back, N their attributes, N left as they were."
inline constexpr const char* kUndoGave = "undo: gave ";
inline constexpr const char* kUndoWouldGive = "undo preview: would give ";
inline constexpr const char* kUndoNames = " file(s) their old names back, ";
inline constexpr const char* kUndoAttributes = " their attributes, ";
inline constexpr const char* kUndoLeft = " left as they were.";
inline constexpr const char* kErrorsLoggedIn = "errors were logged in ";
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
