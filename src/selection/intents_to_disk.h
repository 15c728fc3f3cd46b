// Putting the intents of a pass's prepared batches in the run's journal,
// on the disk, before the files of a batch are committed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/journal.h"
#include "selection/prepared_batch.h"

namespace qtarvox {

// Notes the intents of a prepared batch's files in `intents`: each file the
// actions rename, and with attribute actions every file (an empty new name:
// only its attributes change).
void AddIntents(std::vector<PassFile>& files, bool attributes, RunJournal::Batch& intents);

// Puts the intents of prepared batches on the disk, and only then hands each
// batch on to be committed, in order. With `threaded`, on a thread of its
// own, so that the stage that prepares never waits for the disk. Every flush makes the file system
// commit its own journal too, which holds up the renames for a moment, so one
// flush covers several batches: it waits for more while the committing side
// has enough to do, and flushes at once when that side is down to its last
// two batches, so it never runs out while the flush is under way.
class IntentsToDisk {
 public:
  // `listed`: the files come folder by folder (see RunJournal::Batch).
  IntentsToDisk(RunJournal& journal, PreparedQueue& queue, bool threaded, bool listed);
  IntentsToDisk(const IntentsToDisk&) = delete;
  IntentsToDisk& operator=(const IntentsToDisk&) = delete;
  ~IntentsToDisk() { Finish(); }

  // Room for a batch's intents, reused from a batch already on the disk.
  std::unique_ptr<RunJournal::Batch> Intents();

  // False once the journal could not take a batch, or the committing side
  // has stopped: the batch is then dropped, none of its files changed.
  bool Hand(std::unique_ptr<RunJournal::Batch> intents, PreparedBatch files);

  // Waits until every batch handed over is on the disk and handed on.
  void Finish();

 private:
  // Batches a flush waits for while the committing side has enough to do.
  static constexpr size_t kGroup = 4;
  static constexpr size_t kMaxPending = 2 * kGroup;
  // Batches left to the committing side when a flush starts at once.
  static constexpr size_t kLow = 2;
  // How often a waiting flush looks whether the committing side runs low.
  static constexpr std::chrono::milliseconds kLook{1};
  struct Pending {
    std::unique_ptr<RunJournal::Batch> intents;
    PreparedBatch files;
  };

  // The thread's loop: flushes the waiting batches in groups.
  void Run();

  RunJournal& journal_;
  PreparedQueue& queue_;
  const bool listed_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::condition_variable room_;
  std::deque<Pending> pending_;
  std::vector<std::unique_ptr<RunJournal::Batch>> spare_;
  bool finishing_ = false;
  bool ended_ = false;
  std::thread thread_;  // started once everything above is ready
};

}  // namespace qtarvox
