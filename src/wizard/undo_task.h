// An undo, or its preview, as a task: it runs on a thread of its own so that
// the caller's thread stays free, counts the files it has been through, and
// can be asked to stop between two files. The caller holds the work folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/stop_signals.h"
#include "run/undo.h"

namespace qtarvox {

class UndoTask {
 public:
  UndoTask() = default;
  // A task under way is asked to stop and waited for.
  ~UndoTask();
  UndoTask(const UndoTask&) = delete;
  UndoTask& operator=(const UndoTask&) = delete;

  // Starts the undo of the most recent perform not yet undone, or with
  // `preview` the look at what it would do. `done` is called on the task's
  // thread when it is through. False while another task is under way.
  bool Start(bool preview, std::function<void()> done = {});
  // Started and not yet finished (Finish not called).
  bool Busy() const { return busy_; }
  // The files the task has been through so far; any thread.
  int64_t FilesDone() const { return files_.load(); }
  // Asks the task to stop between two files; any thread.
  void RequestStop() { stop_ = kStopByCaller; }
  // Waits for the task to be through and returns how it went. `lines` gets
  // what it says on its way, in order, as the command line says it: the
  // notes (UndoNotes), then a line per file (UndoFileLine).
  UndoOutcome Finish(std::vector<std::string>* lines = nullptr);

 private:
  bool busy_ = false;
  bool preview_ = false;
  StopRequest stop_{0};
  std::atomic<int64_t> files_{0};
  std::thread worker_;
  UndoOutcome outcome_;
  std::vector<std::string> lines_;
};

}  // namespace qtarvox
