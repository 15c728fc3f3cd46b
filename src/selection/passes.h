// Turning the Step 2 lists into calls of the engine, one per file: the walk
// that lists every matching file of the chosen directories into the operation
// list, and the two passes that prepare the files and commit them
// (PrepareFile, RenamePreparedFile), in one pipeline of stages.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/job.h"
#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "platform/rt_error.h"

namespace qtarvox {

// What a walk could not list, kept to be logged once the files it did list
// are through, whichever way the walk ran.
struct WalkReport {
  struct Failure {
    std::string path;  // a file, or a folder (ending in "/")
    RtError error;
  };
  std::vector<Failure> failures;  // in the order the walk met them
  int32_t folders_not_entered = 0;
};

// Lists the files of every lstDir entry (its subdirectories too when marked)
// that match the lstExt patterns into `op_list`, one full path per line,
// counting them in run.FileCount. Each folder (device, inode) has its files
// listed once however often lstDir reaches it, and each file once however
// many patterns match it. A name holding a carriage return or line feed is
// never listed (error 52), nor is a folder that cannot be read (its own
// error): they go to `report`, or without one are logged at once. The run's
// own work files (context.own_files) are never listed. The result is not ok
// when the list could not be written (the walk then ends). A stop request ends the
// walk between two directories. Unless the run is a preview or a plan, or
// numbers with even widths (which need the exact count at once), regular
// files are listed without a look at their stored system bit:
// OperationListPass leaves out those that have it and takes them off
// run.FileCount.
RtError DirectoryWalk(const JobSettings& job, RunState& run, const EngineContext& context,
                      ReportFile& op_list, WalkReport* report = nullptr);

// Logs what a walk could not list: an error block for each, told to
// context.outcomes as a failed file; the folders it did not enter are added
// to run.FoldersNotEntered.
void LogWalkReport(RunState& run, const EngineContext& context, const WalkReport& report);

// Reads the operation list and renames the file of every line, numbering the
// files in list order; a system file the walk listed is left out (see
// DirectoryWalk), as if it had never been listed. Ends early when the list
// cannot be read (its error) or when a stop is requested (between two files).
RtError OperationListPass(const JobSettings& job, RunState& run, EngineContext& context,
                          LineSource& list);

// Whether a perform's walk may go on while the files it has listed already
// are renamed: a walk over more than one folder, whose numbers need no count
// of the files beforehand, on a machine with a second core.
bool ListsWhileRenaming(const JobSettings& job, const RunState& run, const EngineContext& context);

// DirectoryWalk and OperationListPass at once, without an operation list:
// the walk goes on on a thread of its own while the files it has listed are
// renamed, in the same order. `ready` is asked before the first change; when
// it is not ok, nothing is renamed and `result` is its error. run.FileCount
// grows by the files listed (less those left out) once both are through;
// what could not be listed is logged at the end (LogWalkReport). False (nothing done) when no
// second thread could be started.
bool WalkWhileRenaming(const JobSettings& job, RunState& run, EngineContext& context,
                       const std::function<RtError()>& ready, RtError& result);

// Renames the file of every lstFile entry ("name * directory"; an entry
// without " * " is a path, or a file of the current directory), except the
// run's own work files. A stop request ends it between two files.
void IndividualFilesPass(const JobSettings& job, RunState& run, EngineContext& context);

// Whether directory + name is one of the run's own work files.
bool IsOwnWorkFile(const EngineContext& context, const std::string& directory,
                   std::string_view name);

// Splits an lstFile entry into its directory (ending in "/") and filename.
void SplitFileEntry(const std::string& entry, std::string& directory, std::string& filename);

}  // namespace qtarvox
