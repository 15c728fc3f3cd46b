#include "wizard/undo_task.h"

#include "run/undo_texts.h"

namespace qtarvox {

UndoTask::~UndoTask() {
  if (!worker_.joinable()) return;
  RequestStop();
  worker_.join();
}

bool UndoTask::Start(bool preview, std::function<void()> done) {
  if (busy_) return false;
  busy_ = true;
  preview_ = preview;
  stop_ = 0;
  files_ = 0;
  outcome_ = {};
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
    outcome_ = UndoLastPerform(request);
    if (done) done();
  });
  return true;
}

UndoOutcome UndoTask::Finish(std::vector<std::string>* lines) {
  if (!busy_) return {};
  worker_.join();
  busy_ = false;
  if (lines != nullptr) *lines = std::move(lines_);
  lines_.clear();
  return std::move(outcome_);
}

}  // namespace qtarvox
