// One file's whole treatment: transformation, attribute actions, the commit
// to disk with the collision option (or the preview line), the Process lines
// and the per-file error trap.
#pragma once

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/file_changes.h"
#include "engine/file_outcome.h"
#include "engine/job.h"
#include "engine/ports.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "engine/unique_number.h"
#include "platform/file_ops.h"
#include "platform/own_files.h"
#include "platform/rt_error.h"
#include "platform/stop_signals.h"

namespace qtarvox {

class RunJournal;

// The files a run has taken so far, so that a file is taken once however
// often it is listed: a later listing of it, or of its old name now held by
// another file of the run, is refused.
class TakenFiles {
 public:
  enum class Seen {
    kNew,          // not taken before: it is taken now
    kTakenBefore,  // the run has taken this file before
    kReplaced,     // the file once here was replaced by another file of the run
  };
  // `by_identity`: each file is known by its device and inode, which costs
  // one look at the disk per file; needed wherever one file can be listed
  // twice (individual files). Without it only the names an overwrite gave to
  // another file of the run are known: a walk alone lists each file once, so
  // that is all it can meet again.
  explicit TakenFiles(bool by_identity) : by_identity_(by_identity) {}

  Seen Take(FileChanges& disk, const std::string& directory, const std::string& filename);
  // `filename` in `directory` now holds a file of the run that took it by
  // overwriting the file there.
  void Overwritten(const std::string& directory, const std::string& filename);

 private:
  const bool by_identity_;
  std::set<std::pair<uint64_t, uint64_t>> identities_;
  std::unordered_set<std::string> overwritten_;
};

// What a pass hands the engine besides the job: the open report files and
// the run's caches.
struct EngineContext {
  ReportFile* process = nullptr;         // open while run.GenerateProcessFile
  ReportFile* errors = nullptr;          // open during every run
  NameIndex* names = nullptr;            // optional; without it directories are searched
  const TransformPlan* plan = nullptr;   // optional; without it one is made per call
  DirectoryHandle* directory = nullptr;  // optional; renames then go relative to it
  const StopRequest* stop = nullptr;     // optional; the passes stop between two files
  RunView* view = nullptr;               // optional; told the progress now and then
  // Optional; without it the commit goes to the disk itself. A plan's changes
  // change nothing, and its Process file gets only the "Current File" lines.
  FileChanges* changes = nullptr;
  FileOutcomeSink* outcomes = nullptr;   // optional; told each committed file's outcome
  RunJournal* journal = nullptr;         // optional; a perform notes every change in it first
  TakenFiles* taken = nullptr;           // optional; without it a file listed twice is taken twice
  std::vector<FileId> own_files;         // the run's own work files, never renamed
  // Whether a pass may read and prepare the next files on a second thread
  // while the current one is committed (only where the result cannot
  // differ); without it the same stages run on the pass's own thread.
  bool prepare_ahead = true;
  // Files per batch handed from preparing to committing: on two threads,
  // or with a journal, whose intents go to the disk a batch at a time.
  size_t prepare_batch = 1024;
  // While a walk still lists the files the pass renames: how many it has
  // listed so far, for the progress shown (run.FileCount is set when it ends).
  const std::atomic<int32_t>* files_listed = nullptr;
};

// How many further numbers "Add a unique number" tries when the computed one
// is still taken.
inline constexpr int kMaxUniqueNumberTries = 10000;

// A file between its two stages: transformed (new name and the Process
// lines of its steps), then committed, previewed or planned. Preparing a
// file again reuses its strings' room.
struct PreparedFile {
  // An attribute step due among the steps: it changes the disk when the
  // commit has written the step lines before it.
  struct AttributeStepDue {
    size_t lines_before;  // bytes of step_lines before it
    int position;         // its list position
    ActionId id;
    size_t name_end;  // its filename ends here in attribute_names (after the one before)
  };

  std::string directory;
  std::string name;
  std::string extension;
  std::string filename;    // name + extension
  std::string head_line;   // its first Process line, finished, when the Process file is written
  std::string step_lines;  // finished lines (EndReportLine), ready for the Process file
  std::vector<AttributeStepDue> attribute_steps;
  // The filename at each attribute step, one after the other, for its
  // Process line; only while the Process file is written.
  std::string attribute_names;
  bool changed = false;
  bool bare_dot = false;  // the new extension is only "."
  std::string new_filename;
  int64_t intent = -1;  // its intent in the journal, on the disk already; -1: none
  WorkingName working;  // the transformation's room
};

// Whether this job's files may be prepared on another thread ahead of their
// commit: not with attribute actions, whose steps change the disk (in a
// preview too) as each file is committed.
bool CanPrepareAhead(const JobSettings& job);

// The first stage of a file: transforms file.name + file.extension (and
// notes the attribute steps due). Reads the settings, the run's counters and
// the context only, so it may run on another thread while earlier files are
// committed.
void PrepareFile(const JobSettings& job, const RunState& run, const EngineContext& context,
                 const TransformPlan& plan, PreparedFile& file);

// The second stage: the Process lines, the attribute steps, the commit (or
// preview line) and the per-file error trap, in the order of the steps.
// Counts into `run`. Every error is trapped, logged and passed over; a report
// line that cannot be written is counted by its report file (ReportLoss).
void RenamePreparedFile(const JobSettings& job, RunState& run, EngineContext& context,
                        const PreparedFile& file);

// Processes one file through both stages: `directory` ends in "/", the old
// filename is name + extension.
void RenameFile(const JobSettings& job, RunState& run, EngineContext& context,
                const std::string& directory, const std::string& name,
                const std::string& extension);

}  // namespace qtarvox
