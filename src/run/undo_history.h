// The performs an undo can put back, newest last. Each perform that changed
// something keeps its journal in a folder of its own in the history folder
// of the work folder (Q-Tarvox_Undo/<number>/Q-Tarvox_Journal.tvj), and the
// history list (Q-Tarvox_Undo/history) names them with what tells each
// journal from any other file: the run's own mark and the journal's device
// and inode. Only the last UndoLevels() performs are kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/job.h"
#include "engine/journal.h"
#include "platform/own_files.h"
#include "platform/rt_error.h"

namespace qtarvox {

inline constexpr const char* kHistoryFolderName = "Q-Tarvox_Undo";
inline constexpr const char* kHistoryListName = kHistoryListFileName;
inline constexpr int kDefaultUndoLevels = 10;

struct HistoryEntry {
  int64_t number = 0;    // names its folder; grows with each perform
  std::string run_id;    // the mark in the journal's first record
  FileId journal;        // the journal the perform made
  uint64_t started = 0;  // nanoseconds since 1970
  std::string job;       // the job in one line
  bool operator==(const HistoryEntry&) const = default;
};

// How many performs the history keeps: QTARVOX_UNDO_LEVELS (1 to 1000),
// else kDefaultUndoLevels.
int UndoLevels();

std::string HistoryFolder();
std::string HistoryJournalPath(int64_t number);

// Makes the history folder when it is missing (mode 0700). Not ok when it
// cannot be made, or is not a folder of the user's own that nobody else can
// write.
RtError EnsureHistoryFolder();

// The history, oldest first. A missing history folder or list is an empty
// history; a list that is not the user's own file is not ok.
RtError ReadHistory(std::vector<HistoryEntry>& entries);

// Replaces the history list with `entries`, on the disk when it returns ok.
RtError WriteHistory(const std::vector<HistoryEntry>& entries);

// Removes the journal of `entry` (only while it is the file the history
// names) and its folder.
void RemoveHistoryJournal(const HistoryEntry& entry);

// A new run's mark: random bytes no other run shares.
std::string NewRunId();

// The job in one line: its ticked actions and what they work on.
std::string JobLine(const JobSettings& job);

}  // namespace qtarvox
