// Turning the Step 2 lists into calls of the engine, one per file: the walk
// that lists every matching file of the chosen directories into the operation
// list, and the two passes that hand the files to RenameFile.
#pragma once

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
RtError OperationListPass(Job& job, EngineContext& context, LineReader& list);

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
