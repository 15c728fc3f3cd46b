// Turning the Step 2 lists into calls of the engine, one per file: the walk
// that lists every matching file of the chosen directories into the operation
// list, and the two passes that hand the files to RenameFile.
#pragma once

#include <functional>
#include <string>

#include "engine/job.h"
#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "platform/rt_error.h"

namespace qtarvox {

// Lists the files of every lstDir entry (its subdirectories too when marked)
// that match the lstExt patterns into `op_list`, one full path per line,
// counting them in job.FileCount. A name holding a carriage return or line
// feed is never listed: it gets an error block (52) in context.errors
// instead. The run's own work files (context.own_files) are never listed. A
// directory that cannot be read lists nothing. The result is not ok when the
// list could not be written (the walk then ends). A stop request ends the
// walk between two directories. Unless the run is a preview or a plan, or
// numbers with even widths (which need the exact count at once), regular
// files are listed without a look at their stored system bit:
// OperationListPass leaves out those that have it and takes them off
// job.FileCount.
RtError DirectoryWalk(Job& job, const EngineContext& context, ReportFile& op_list);

// Reads the operation list and calls RenameFile for every line, numbering the
// files in list order; a system file the walk listed is left out (see
// DirectoryWalk), as if it had never been listed. Ends early when the list
// cannot be read (its error) or when a stop is requested (between two files).
RtError OperationListPass(Job& job, EngineContext& context, LineSource& list);

// Whether a perform's walk may go on while the files it has listed already
// are renamed: a walk over more than one folder, whose numbers need no count
// of the files beforehand, on a machine with a second core.
bool ListsWhileRenaming(const Job& job, const EngineContext& context);

// DirectoryWalk and OperationListPass at once, without an operation list:
// the walk goes on on a thread of its own while the files it has listed are
// renamed, in the same order. `ready` is asked before the first change; when
// it is not ok, nothing is renamed and `result` is its error. job.FileCount
// grows by the files listed (less those left out) once both are through;
// names that cannot be listed are logged at the end. A folder reached a
// second time lists nothing again. False (nothing done) when no second
// thread could be started.
bool WalkWhileRenaming(Job& job, EngineContext& context, const std::function<RtError()>& ready,
                       RtError& result);

// Calls RenameFile for every lstFile entry ("name * directory"; an entry
// without " * " is a path, or a file of the current directory), except the
// run's own work files. A stop request ends it between two files.
void IndividualFilesPass(Job& job, EngineContext& context);

// Whether directory + name is one of the run's own work files.
bool IsOwnWorkFile(const EngineContext& context, const std::string& directory,
                   std::string_view name);

// Splits an lstFile entry into its directory (ending in "/") and filename.
void SplitFileEntry(const std::string& entry, std::string& directory, std::string& filename);

}  // namespace qtarvox
