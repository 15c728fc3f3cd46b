// What an undo says, in the words the command line and the window share:
// what it will find before it changes anything, a line per file, and the
// summary at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qtarvox {

struct UndoFileEvent;
struct UndoOutcome;

inline constexpr const char* kNothingToUndo = "there is nothing to undo.";
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
// A note's continuation lines (the files it names) start with this.
inline constexpr const char* kUndoNoteIndent = "  ";

// What is said before any file is touched (UndoRequest::before_changes):
// a journal cut off or damaged, and the files the perform overwrote, each
// on a line of its own that starts with kUndoNoteIndent.
std::vector<std::string> UndoNotes(const UndoOutcome& so_far);

// One file's line: "path == old name" (with the attributes' mark), or for
// a file left as it is, "left as it is: path: cause" ("would be left" in a
// preview).
std::string UndoFileLine(const UndoFileEvent& file, bool preview);

// "undo: gave N file(s) their old names back, N their attributes, N left as
// they were." ("undo preview: would give ..." for a preview).
std::string UndoSummary(const UndoOutcome& outcome, bool preview);

// "errors were logged in <the Error file>".
std::string ErrorsLoggedInText();

// A perform's start in local time: "2026-01-31 17:04:05", with `iso`
// "2026-01-31T17:04:05".
std::string PerformTime(uint64_t nanoseconds, bool iso);

}  // namespace qtarvox
