// The passes over a walk's list of files: reading the operation list and
// renaming the file of each line (PrepareFile, RenamePreparedFile, in the
// stages of pass_stages.h), or renaming while the walk still lists.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/job.h"
#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "platform/rt_error.h"

namespace qtarvox {

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

}  // namespace qtarvox
