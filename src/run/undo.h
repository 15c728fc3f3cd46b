// Putting a perform back, from its journal in the undo history: the most
// recent perform not yet undone. Every file renamed goes back to its old
// name, last renamed first, and the attributes the run changed are set as
// they were. Nothing is ever overwritten: what cannot be put back is left as
// it is and said. A journal that does not belong is refused; a damaged one
// is undone as far as it can be read, and the rest counts as left.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/journal.h"
#include "platform/stop_signals.h"
#include "run/undo_history.h"

namespace qtarvox {

// The causes an undo writes in its Error-file blocks where a file is left as
// it is (a rename that fails with a system error gives that error's usual cause).
inline constexpr const char* kUndoOldNameTaken =
    "The old name could not be put back because another file has that name now.";
inline constexpr const char* kUndoFileGone =
    "The file the run renamed was not found in its folder: it was moved, renamed elsewhere or "
    "deleted since.";
inline constexpr const char* kUndoFileReplaced =
    "Another file has the name the run gave, and the file the run renamed is no longer in its "
    "folder.";
inline constexpr const char* kUndoFileNotSure =
    "The file under the name the run gave is not the file the run renamed, or was changed since "
    "in a way that hides it: this file system cannot tell which, so it is left alone.";
inline constexpr const char* kUndoFolderGone =
    "The folder of the file was not found: it was moved, renamed or deleted since.";
inline constexpr const char* kUndoOverwritten =
    "The run overwrote this file with another one; it cannot be brought back.";
// The descriptions after the number, where no system error says it.
inline constexpr const char* kDescReplaced = "Another file stands under that name";
inline constexpr const char* kDescOverwritten = "Overwritten by the run";

// What is said when the journal cannot serve: each text is followed by a
// path, then " (", the system's reason, ")" and an ending.
inline constexpr const char* kJournalNotRead =
    "The journal of the last perform could not be read: ";
inline constexpr const char* kJournalNotMarked = "The journal could not be marked as undone: ";
inline constexpr const char* kHistoryNotRead = "The undo history could not be read: ";
// A journal that does not belong: "<text><path><ending>".
inline constexpr const char* kJournalNotOwn = "The journal ";
inline constexpr const char* kJournalNotOwnEnd =
    " is not a private file of the user's own; nothing was undone.";
inline constexpr const char* kJournalNotRecorded =
    " is not the journal the undo history names for that perform (it was replaced or copied in); "
    "nothing was undone.";

// The line an undo writes in its Process file (and a preview prints) after a
// file whose attributes it set as they were before the run.
inline constexpr const char* kUndoAttributesRestored = " (attributes as before the run)";

// One file of an undo as it goes (in a preview: as it would go).
struct UndoFileEvent {
  std::string path;         // where the file is now
  std::string old_name;     // the name it has afterwards; empty: it is left as it is
  bool renamed = false;     // it got its old name back
  bool attributes = false;  // its attributes are set as before the run
  const char* cause = "";   // why it is left
};

// How an undo went.
struct UndoOutcome {
  bool started = false;  // false: it could not start (`problems` says why)
  bool nothing = false;  // there was nothing to undo
  HistoryEntry perform;  // the perform put back
  int64_t put_back = 0;  // files given their old names back
  int64_t restored = 0;  // files given their attributes back
  int64_t left = 0;      // files left as they are (each has an Error-file block)
  // Files the run overwrote, gone for good; said before anything is done.
  std::vector<std::string> overwritten;
  // In a preview, what an undo would do: "path == old name" per file, and
  // what it would leave ("path: cause").
  std::vector<std::string> lines;
  std::vector<std::string> left_lines;
  JournalEnd journal_end = JournalEnd::kWhole;
  // The damage of a damaged journal (see JournalContents).
  int64_t damaged = 0;
  int64_t unread_from = -1;
  int64_t lost = 0;
  int stopped = 0;  // the stop request that ended the undo early, 0: none
  bool error_file_left = false;
  bool marked_used = false;
  std::vector<std::string> problems;  // what went wrong besides the files' own errors
};

struct UndoRequest {
  bool preview = false;
  const StopRequest* stop = nullptr;  // asked between two files
  // Told the outcome so far (the damage, the files the run overwrote)
  // before any file is touched.
  std::function<void(const UndoOutcome&)> before_changes;
  std::function<void(const UndoFileEvent&)> each_file;
};

// Undoes the most recent perform of the history not yet undone (the caller
// holds the work folder). With `preview`, changes nothing, writes no work
// file and only tells, in `lines` and `left_lines`, what an undo would do.
// Otherwise writes a Process file and, when something is left, an Error
// file; after an undo that left nothing (and read the whole journal), the
// journal is marked used and the next undo takes the perform before.
UndoOutcome UndoLastPerform(const UndoRequest& request);

// Whether UndoLastPerform would find a perform to put back (or a journal it
// refuses, which it would say): the history and the journals are read up
// to the first such perform. False when the history cannot be read.
bool PerformToUndo();

// Whether an undo of the journal at `path` would change anything now: a
// perform for which it would not changed nothing.
bool JournalWouldUndo(const std::string& path);

// The performs of the history, newest first, each with its journal's
// state; a journal that cannot be read counts as not undone.
struct HistoryLine {
  HistoryEntry perform;
  int64_t files = 0;  // files the perform changed, as far as its journal tells
  bool undone = false;
  bool damaged = false;  // the journal is damaged, foreign or unreadable
};
RtError ListHistory(std::vector<HistoryLine>& lines);

// The order in which an undo takes the journal's entries: the reverse of
// the order in which the run changed them. Files whose completion the
// journal lacks (a run cut off) changed last, in the order of their intents.
std::vector<const JournalEntry*> UndoOrder(const JournalContents& contents);

}  // namespace qtarvox
