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

inline constexpr const char* kOperationListName = "Q-Tarvox_OP.tvq";

// Lists the files of every lstDir entry (its subdirectories too when marked)
// that match the lstExt patterns into `op_list`, one full path per line,
// counting them in job.FileCount. A name holding a carriage return or line
// feed is never listed: it gets an error block (52) in `errors` instead. A
// directory that cannot be read lists nothing. The result is not ok when the
// list could not be written (the walk then ends).
RtError DirectoryWalk(Job& job, ReportFile& op_list, ReportFile* errors);

// The recursive part of the walk: the subdirectories of `directory`, deepest
// files first. Only real directories without any other attribute are entered.
RtError SubdirectoryWalk(Job& job, std::string directory, ReportFile& op_list, ReportFile* errors);

// Reads the operation list at `path` and calls RenameFile for every line,
// numbering the files in list order. Ends early when the list cannot be read
// or the engine cannot write its reports.
RtError OperationListPass(Job& job, EngineContext& context, const std::string& path);

// Calls RenameFile for every lstFile entry ("name * directory"; an entry
// without " * " is a path, or a file of the current directory).
RtError IndividualFilesPass(Job& job, EngineContext& context);

// Splits an lstFile entry into its directory (ending in "/") and filename.
void SplitFileEntry(const std::string& entry, std::string& directory, std::string& filename);

}  // namespace qtarvox
