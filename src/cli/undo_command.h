// The command line's undo: `q-tarvox --undo` puts the last perform back,
// `q-tarvox --undo --preview` tells what that would do and changes nothing.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qtarvox {

inline constexpr const char* kUndoTakesNoJob =
    "--undo takes no job commands (only --preview); nothing was done.";
inline constexpr const char* kNothingToUndo = "there is nothing to undo.";
inline constexpr const char* kOverwrittenNote =
    "the last perform overwrote these files; they are gone and cannot be brought back:";
inline constexpr const char* kJournalCutNote =
    "the journal ends in the middle of a record (the perform was cut off); it was read up to "
    "its last whole record.";
inline constexpr const char* kJournalDamagedNote =
    "the journal is damaged; it was read up to its last whole record.";
inline constexpr const char* kWouldBeLeft = "would be left as it is: ";
// The summary: "<verb> N file(s) their old names back, N their attributes, N left as they were."
inline constexpr const char* kUndoGave = "undo: gave ";
inline constexpr const char* kUndoWouldGive = "undo preview: would give ";
inline constexpr const char* kUndoNames = " file(s) their old names back, ";
inline constexpr const char* kUndoAttributes = " their attributes, ";
inline constexpr const char* kUndoLeft = " left as they were.";
inline constexpr const char* kErrorsLoggedIn = "errors were logged in ";

// Runs the undo (`preview`: only tells); `rest` are the arguments besides the
// program's options, which must be none. Lines of a preview go to `out`,
// everything else to `err`. Returns the exit status: 0 nothing left undone
// (or nothing to undo), 1 something was left (the Error file's path on
// `err`), 2 the undo could not start.
int RunUndoCommand(bool preview, const std::vector<std::string>& rest, std::ostream& out,
                   std::ostream& err);

}  // namespace qtarvox
