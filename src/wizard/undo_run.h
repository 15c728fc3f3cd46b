// The undo as the command line runs it, on the caller's thread: what the
// undo does and says comes back while it goes, as text and plain values, so
// the caller needs to know nothing of journals or of the history's files.
// The window's undo is UndoTask.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stop_signals.h"

namespace qtarvox {

// One file of an undo as it goes (in a preview: as it would go).
struct UndoRunFile {
  std::string_view path;      // where the file is now
  std::string_view old_name;  // the name it has afterwards; empty: it is left as it is
  bool renamed = false;       // it got its old name back
  bool attributes = false;    // its attributes are set as before the run
  const char* cause = "";     // why it is left
  std::string line;           // the file's line (UndoFileLine)
};

struct UndoRunRequest {
  bool preview = false;
  const StopRequest* stop = nullptr;  // asked between two files
  // Told the notes on what the undo found (UndoNotes) before any file is
  // touched.
  std::function<void(const std::vector<std::string>& notes)> before_changes;
  std::function<void(const UndoRunFile&)> each_file;
};

// How an undo went.
struct UndoRunEnd {
  bool started = false;  // false: it could not start (`problems` says why)
  bool nothing = false;  // there was nothing to undo
  int stopped = 0;       // the stop request that ended it early, 0: none
  bool error_file_left = false;
  // Something is not as before the run: a file left as it is, a file the
  // run overwrote, or a part of a damaged journal.
  bool left = false;
  std::vector<std::string> problems;  // what went wrong besides the files' own errors
  std::string summary;                // UndoSummary of the outcome
};

// UndoLastPerform (the caller holds the work folder).
UndoRunEnd RunUndo(const UndoRunRequest& request);

// A perform of the undo history, with its journal's state.
struct UndoHistoryItem {
  uint64_t started = 0;  // nanoseconds since 1970
  std::string job;       // the job in one line
  int64_t files = 0;     // files the perform changed, as far as its journal tells
  bool undone = false;
  bool damaged = false;  // the journal is damaged, foreign or unreadable
};

// The performs of the undo history, newest first (ListHistory). False, with
// `problem` saying which folder could not be read and why, when the
// history could not be read.
bool ListUndoHistory(std::vector<UndoHistoryItem>& items, std::string& problem);

}  // namespace qtarvox
