// The walk over the Step 2 directories: every matching file of the chosen
// folders (their subdirectories too when marked), each folder listed once,
// handed to a sink in a fixed order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

// Whether directory + name is one of the run's own work files.
bool IsOwnWorkFile(const EngineContext& context, const std::string& directory,
                   std::string_view name);

// --- For the passes over a walk

// Where a walk puts what it lists.
class WalkSink {
 public:
  virtual ~WalkSink() = default;
  // A file chosen; not ok when the walk must end.
  virtual RtError Listed(const std::string& directory, std::string_view name) = 0;
};

// Walks the lstDir entries as DirectoryWalk does, handing each file to
// `sink` in the same order; what cannot be listed goes to `report`. Not ok
// when the sink refused a file (the walk then ends).
RtError WalkInto(const JobSettings& job, const RunState& run, const EngineContext& context,
                 WalkSink& sink, WalkReport& report);

// Whether the walk may leave the stored system bit of its regular files to
// the pass, which leaves such a file out when it comes to it. Reading that
// bit is most of a large folder's listing; in the pass it is read on the
// thread that prepares the files while the renames go on. A preview or a
// plan has no renames to hide it behind: there the thread that prepares is
// the slower one, and the walk reads the bits on both cores. An even-width
// number needs the exact count of files before the first one.
bool SystemBitLeftToPass(const JobSettings& job, const RunState& run, const EngineContext& context);

// Where an lstDir entry's subdirectories mark begins; npos when it has none.
size_t SubdirectoriesMark(const std::string& entry);

}  // namespace qtarvox
