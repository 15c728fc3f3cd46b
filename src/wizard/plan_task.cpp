#include "wizard/plan_task.h"

#include <string>

#include "engine/ports.h"

namespace qtarvox {
namespace {

class SilentView final : public RunView {
 public:
  void ShowStatus(const std::string&) override {}
  bool StartViewer(const std::string&) override { return false; }
};

}  // namespace

struct PlanTask::Run {
  JobSettings job;
  std::unique_ptr<FileOutcomeSink> outcomes;
  StopRequest stop{0};
  std::atomic<bool> through{false};
  std::thread thread;
};

PlanTask::PlanTask() = default;

PlanTask::~PlanTask() {
  Stop();
  Reap(true);
}

void PlanTask::Start(JobSettings job, std::unique_ptr<FileOutcomeSink> outcomes,
                     std::function<void(const RunOutcome&)> done) {
  Stop();
  Reap(false);
  auto run = std::make_unique<Run>();
  run->job = std::move(job);
  run->outcomes = std::move(outcomes);
  Run* r = run.get();
  runs_.push_back(std::move(run));
  r->thread = std::thread([r, done = std::move(done)] {
    SilentPrompter prompter;
    SilentView view;
    const RunOutcome outcome = RunOnce(std::move(r->job), prompter, view, RunKind::kPlanUnrecorded,
                                       &r->stop, r->outcomes.get());
    // The sink says its last before `done` does.
    r->outcomes.reset();
    if (done) done(outcome);
    r->through = true;
  });
}

void PlanTask::Stop() {
  for (auto& run : runs_) run->stop = kStopByCaller;
}

void PlanTask::Reap(bool all) {
  for (auto it = runs_.begin(); it != runs_.end();) {
    if (all || (*it)->through) {
      (*it)->thread.join();
      it = runs_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace qtarvox
