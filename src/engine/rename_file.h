// One file's whole treatment: transformation, attribute actions, the commit
// to disk with the collision option (or the preview line), the Process lines
// and the per-file error trap.
#pragma once

#include <memory>
#include <string>

#include "engine/job.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "engine/unique_number.h"
#include "platform/rt_error.h"

namespace qtarvox {

// What a pass hands the engine besides the job: the open report files and
// the run's caches.
struct EngineContext {
  ReportFile* process = nullptr;        // open while job.GenerateProcessFile
  ReportFile* errors = nullptr;         // open during every run
  NameIndex* names = nullptr;           // optional; without it directories are searched
  const TransformPlan* plan = nullptr;  // optional; without it one is made per call
};

// How many further numbers "Add a unique number" tries when the computed one
// is still taken.
inline constexpr int kMaxUniqueNumberTries = 10000;

// The cause text of a trapped error number.
const char* CauseText(int number);

// Processes one file: `directory` ends in "/", the old filename is name +
// extension. Every error is trapped, logged and passed over; the result is
// not ok only when the head line or an error block could not be written, in
// which case the calling pass ends.
RtError RenameFile(Job& job, EngineContext& context, const std::string& directory,
                   const std::string& name, const std::string& extension);

}  // namespace qtarvox
