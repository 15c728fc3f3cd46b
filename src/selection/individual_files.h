// The pass over the files chosen one by one (lstFile).
#pragma once

#include <string>

#include "engine/job.h"
#include "engine/rename_file.h"

namespace qtarvox {

// Renames the file of every lstFile entry ("name * directory"; an entry
// without " * " is a path, or a file of the current directory), except the
// run's own work files. A stop request ends it between two files.
void IndividualFilesPass(const JobSettings& job, RunState& run, EngineContext& context);

// Splits an lstFile entry into its directory (ending in "/") and filename.
void SplitFileEntry(const std::string& entry, std::string& directory, std::string& filename);

}  // namespace qtarvox
