// An undo, or its preview, as a task: it runs on a thread of its own so that
// the caller's thread stays free, counts the files it has been through, and
// can be asked to stop between two files. The caller holds the work folder.
// What the task says comes back as text, in the command line's words, so a
// window shows it without knowing how an undo reads the journal.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/stop_signals.h"

namespace qtarvox {

struct UndoOutcome;

// How a look at the undo, or the undo itself, went.
struct UndoEnd {
  // It started and found a perform to undo.
  bool found = false;
  // The stop request that ended it early, 0: none.
  int stopped = 0;
  // What to tell at its end: the problems besides the files' own errors,
  // "there is nothing to undo." when there was nothing; after an undo that
  // found something, its summary and where its errors were logged.
  std::vector<std::string> said;
  // A look that found something: its notes, a line per file, its problems
  // and its summary, as the command line says them.
  std::vector<std::string> lines;
  // The perform found: its start in local time and its job.
  std::string perform_time;
  std::string perform_job;
};

class UndoTask {
 public:
  UndoTask();
  // A task under way is asked to stop and waited for.
  ~UndoTask();
  UndoTask(const UndoTask&) = delete;
  UndoTask& operator=(const UndoTask&) = delete;

  // Whether the undo history names a perform not yet undone.
  static bool Available();

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
  // Waits for the task to be through and says how it went.
  UndoEnd Finish();

 private:
  bool busy_ = false;
  bool preview_ = false;
  StopRequest stop_{0};
  std::atomic<int64_t> files_{0};
  std::thread worker_;
  std::unique_ptr<UndoOutcome> outcome_;
  std::vector<std::string> lines_;
};

}  // namespace qtarvox
