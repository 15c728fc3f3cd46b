// The plan of a job as a task that leaves no trace (RunKind::kPlanUnrecorded):
// it runs on a thread of its own, on a copy of the job, so the caller's
// thread stays free and the caller's job is never touched from two threads.
// Each file's outcome goes to the task's sink on the task's thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "engine/file_outcome.h"
#include "engine/job.h"
#include "platform/stop_signals.h"
#include "run/run_driver.h"

namespace qtarvox {

class PlanTask {
 public:
  PlanTask();
  // Plans under way are asked to stop and waited for.
  ~PlanTask();
  PlanTask(const PlanTask&) = delete;
  PlanTask& operator=(const PlanTask&) = delete;

  // Asks the plan under way (if any) to stop, then plans `job`, the task's
  // own copy. `outcomes` hears each file; `done` is called on the task's
  // thread once the plan is through, stopped or could not start.
  void Start(JobSettings job, std::unique_ptr<FileOutcomeSink> outcomes,
             std::function<void(const RunOutcome&)> done = {});
  // Asks the plan under way to stop between two files; it is not waited for.
  void Stop();

 private:
  struct Run;
  // Plans asked to stop may still be on their way out; they are waited for
  // when the next one starts once they are through, or at the end.
  void Reap(bool all);
  std::vector<std::unique_ptr<Run>> runs_;
};

}  // namespace qtarvox
