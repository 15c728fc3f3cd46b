// The stages of a pass, joined by one bounded queue: read, number and
// prepare the files (PrepareFile), put their intents on the disk (with a
// journal), commit them (RenamePreparedFile), on one thread or two. A pass
// gives its files through `next`, a callable inlined into the stage that
// reads them: the templates stay in this header.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "engine/journal.h"
#include "engine/numbering.h"
#include "engine/rename_file.h"
#include "engine/transform.h"
#include "selection/intents_to_disk.h"
#include "selection/prepared_batch.h"

namespace qtarvox {

// How a pass runs its stages.
struct PassSetup {
  const JobSettings& job;
  RunState& run;
  EngineContext& context;
  const TransformPlan& plan;
  NumberingPass numbering;
  bool threaded;  // the files are read and prepared on a second thread
  bool listed;    // they come folder by folder (an operation list)
};

// The stage that commits: renames a batch's files in order, taking the
// files left out off run.FileCount. False when a stop was asked for.
bool CommitBatch(const PassSetup& pass, const PreparedBatch& batch, int32_t& left_out);

// Commits the batches waiting on this thread; false when a stop was asked for.
bool CommitWaiting(const PassSetup& pass, PreparedQueue& queue, int32_t& left_out);

// The stage that reads, numbers and prepares the files and hands them on
// in batches (their intents on the disk first, with a journal). `next`
// fills a file (false at the end), counting the files of the list it
// leaves out, which get no number; `committed` is called after
// each hand-over, false when no more files are wanted. Returns the files
// left out.
template <typename Next, typename Committed>
int32_t PrepareBatches(const PassSetup& pass, PreparedQueue& queue, Next&& next,
                       Committed&& committed) {
  const EngineContext& context = pass.context;
  const bool journal = context.journal != nullptr && !pass.run.PreviewMode;
  const bool attributes = !CanPrepareAhead(pass.job);
  // Without a journal to fill, a pass on one thread reads no file ahead of
  // the commits before it.
  const size_t batch_size =
      pass.threaded || journal ? std::max<size_t>(1, context.prepare_batch) : 1;
  // On two threads the first batches are small, so the first rename comes
  // soon; they grow to the full size while the renames go on.
  constexpr size_t kFirstBatch = 64;
  size_t limit = pass.threaded ? std::min(batch_size, kFirstBatch) : batch_size;
  std::optional<IntentsToDisk> to_disk;
  if (journal) to_disk.emplace(*context.journal, queue, pass.threaded, pass.listed);
  PassCounters counters(pass.job, pass.run, pass.numbering);
  PreparedBatch batch;
  size_t used = 0;
  int32_t left_out = 0;
  const auto hand_over = [&] {
    batch.files.resize(used);  // a batch filled again may have held more
    left_out += batch.left_out;
    bool handed;
    if (to_disk) {
      std::unique_ptr<RunJournal::Batch> intents = to_disk->Intents();
      AddIntents(batch.files, attributes, *intents);
      handed = to_disk->Hand(std::move(intents), std::move(batch));
    } else {
      handed = queue.Push(std::move(batch));
    }
    return handed && committed();
  };
  bool open = true;  // false once the committing stage or the journal has stopped
  while (open && !StopRequested(context.stop)) {
    if (used == batch.files.size()) batch.files.emplace_back();
    PassFile& file = batch.files[used];
    if (!next(file, batch.left_out)) break;
    counters.Next();
    if (!file.skip) PrepareFile(pass.job, pass.run, context, pass.plan, file);
    if (++used == limit) {
      open = hand_over();
      batch = queue.Reuse();
      batch.left_out = 0;
      used = 0;
      limit = std::min(batch_size, 2 * limit);
    }
  }
  if (open && (used > 0 || batch.left_out > 0)) {
    (void)hand_over();
  } else {
    left_out += batch.left_out;
  }
  if (to_disk) to_disk->Finish();
  return left_out;
}

// The stages of a pass on this thread alone, one batch after the other.
template <typename Next>
void RunOnThisThread(const PassSetup& pass, Next&& next) {
  PreparedQueue queue;
  int32_t taken_off = 0;
  const int32_t left_out = PrepareBatches(pass, queue, next, [&] {
    if (CommitWaiting(pass, queue, taken_off)) return true;
    queue.Stop();
    return false;
  });
  pass.run.FileCount -= left_out - taken_off;
}

// The stages of a pass with the reading, numbering and preparing on a second
// thread, a little ahead of the commits, which stay on this one and in
// order. Only the run's counters are written over there; the commits never
// read them. False when no second thread could be started (nothing has been
// read then).
template <typename Next>
bool RunOnTwoThreads(const PassSetup& pass, Next&& next) {
  PreparedQueue queue(kMaxPreparedBatches, kMaxPreparedBatches / 2);
  std::exception_ptr failure;
  int32_t left_out = 0;  // the preparing thread's until it is joined
  const auto prepare = [&] {
    try {
      left_out = PrepareBatches(pass, queue, next, [] { return true; });
    } catch (...) {
      failure = std::current_exception();
    }
    queue.Close();
    // The batches' memory goes back here while the last ones are committed.
    PreparedBatch returned;
    while (queue.TakeReturned(returned)) returned = {};
  };
  std::thread preparer;
  try {
    preparer = std::thread(prepare);
  } catch (const std::system_error&) {
    return false;
  }
  int32_t taken_off = 0;
  try {
    PreparedBatch batch;
    while (queue.Pop(batch) && CommitBatch(pass, batch, taken_off)) {
      queue.Recycle(std::move(batch));
    }
  } catch (...) {
    queue.Stop();
    preparer.join();
    throw;
  }
  queue.Stop();
  preparer.join();
  pass.run.FileCount -= left_out - taken_off;
  if (failure) std::rethrow_exception(failure);
  return true;
}

// A pass over the files `next` gives (see PrepareBatches): on a second
// thread where the context asks for it and the job allows it, else here.
template <typename Next>
void RunPass(const PassSetup& setup, Next&& next) {
  PassSetup pass = setup;
  pass.threaded = pass.context.prepare_ahead && CanPrepareAhead(pass.job) &&
                  std::thread::hardware_concurrency() >= 2;
  if (pass.threaded && RunOnTwoThreads(pass, next)) return;
  pass.threaded = false;
  RunOnThisThread(pass, next);
}

}  // namespace qtarvox
