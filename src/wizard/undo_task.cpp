#include "wizard/undo_task.h"

#include "run/undo.h"
#include "run/undo_texts.h"

namespace qtarvox {

UndoTask::UndoTask() : outcome_(std::make_unique<UndoOutcome>()) {}

UndoTask::~UndoTask() {
  if (!worker_.joinable()) return;
  RequestStop();
  worker_.join();
}

bool UndoTask::Available() { return PerformToUndo(); }

bool UndoTask::Start(bool preview, std::function<void()> done) {
  if (busy_) return false;
  busy_ = true;
  preview_ = preview;
  stop_ = 0;
  files_ = 0;
  *outcome_ = {};
  lines_.clear();
  worker_ = std::thread([this, done = std::move(done)] {
    UndoRequest request;
    request.preview = preview_;
    request.stop = &stop_;
    request.before_changes = [this](const UndoOutcome& so_far) {
      for (std::string& note : UndoNotes(so_far)) lines_.push_back(std::move(note));
    };
    request.each_file = [this](const UndoFileEvent& file) {
      lines_.push_back(UndoFileLine(file, preview_));
      ++files_;
    };
    *outcome_ = UndoLastPerform(request);
    if (done) done();
  });
  return true;
}

UndoEnd UndoTask::Finish() {
  if (!busy_) return {};
  worker_.join();
  busy_ = false;
  const UndoOutcome& outcome = *outcome_;
  UndoEnd end;
  end.found = outcome.started && !outcome.nothing;
  end.stopped = outcome.stopped;
  end.said = outcome.problems;
  if (outcome.started && outcome.nothing) end.said.emplace_back(kNothingToUndo);
  if (end.found && preview_) {
    end.lines = std::move(lines_);
    for (const auto& problem : outcome.problems) end.lines.push_back(problem);
    end.lines.push_back(UndoSummary(outcome, true));
  } else if (end.found) {
    end.said.push_back(UndoSummary(outcome, false));
    if (outcome.error_file_left) end.said.push_back(ErrorsLoggedInText());
  }
  lines_.clear();
  if (end.found) {
    end.perform_time = PerformTime(outcome.perform.started, false);
    end.perform_job = outcome.perform.job;
  }
  return end;
}

}  // namespace qtarvox
