#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/bounded_queue.h"
#include "selection/passes.h"
#include "selection/walk.h"

namespace qtarvox {
namespace {

// The files a walk lists, handed to the pass while the walk goes on: the walk
// fills chunks of paths on its own thread, the pass takes them in order. At
// most a few chunks wait, so the walk never runs far ahead.
class ListedWhileRenaming final : public WalkSink, public LineSource {
 public:
  // --- the walking side
  RtError Listed(const std::string& directory, std::string_view name) override {
    std::string& path = filling_.emplace_back(directory);
    path.append(name);
    listed_.fetch_add(1, std::memory_order_relaxed);
    return filling_.size() == kChunk ? Hand() : RtError{};
  }

  // The walk is through (or has stopped): what it has listed is handed on.
  void WalkEnded() {
    // Fails only when the renaming side has stopped taking files.
    if (!filling_.empty()) (void)Hand();
    chunks_.Close();
  }

  // --- the renaming side
  bool ReadLine(std::string& line) override {
    if (at_ == taken_.size()) {
      if (!chunks_.Pop(taken_)) return false;
      at_ = 0;
    }
    line = std::move(taken_[at_++]);
    return true;
  }
  const RtError& error() const override { return error_; }

  // The pass is through: a walk still going ends at its next file.
  void Close() { chunks_.Stop(); }

  const std::atomic<int32_t>& listed() const { return listed_; }
  // The walking side's until the walk has ended: kept for the end, as only
  // the side that renames writes the Error file.
  WalkReport& report() { return report_; }

 private:
  static constexpr size_t kChunk = 256;
  static constexpr size_t kMaxChunks = 16;

  RtError Hand() {
    if (!chunks_.Push(std::move(filling_))) return ErrorFromErrno(ECANCELED);
    filling_.clear();
    return {};
  }

  // The walking side's own.
  std::vector<std::string> filling_;
  WalkReport report_;
  // Shared.
  std::atomic<int32_t> listed_{0};
  BoundedQueue<std::vector<std::string>> chunks_{kMaxChunks};
  // The renaming side's own.
  std::vector<std::string> taken_;
  size_t at_ = 0;
  RtError error_;
};

}  // namespace

bool ListsWhileRenaming(const JobSettings& job, const RunState& run, const EngineContext& context) {
  if (!SystemBitLeftToPass(job, run, context) || std::thread::hardware_concurrency() < 2)
    return false;
  // One folder alone is read at once: nothing would go on beside it.
  if (job.lstDir.size() > 1) return true;
  return std::any_of(job.lstDir.begin(), job.lstDir.end(), [](const std::string& entry) {
    return SubdirectoriesMark(entry) != std::string::npos;
  });
}

bool WalkWhileRenaming(const JobSettings& job, RunState& run, EngineContext& context,
                       const std::function<RtError()>& ready, RtError& result) {
  constexpr int kWalkNice = 10;
  ListedWhileRenaming listed;
  std::exception_ptr failure;
  std::thread walker;
  try {
    walker = std::thread([&] {
      // The walk only has to keep ahead of the renames: where the cores are
      // short, they go first (the listings it starts share this).
      setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWalkNice);
      try {
        // The walk fails only where the renaming side stopped taking files;
        // what it could not list is in its report.
        (void)WalkInto(job, run, context, listed, listed.report());
      } catch (...) {
        failure = std::current_exception();
      }
      listed.WalkEnded();
    });
  } catch (const std::system_error&) {
    return false;
  }
  result = {};
  try {
    result = ready();
    if (result.ok()) {
      EngineContext ctx = context;
      ctx.files_listed = &listed.listed();
      // Read from memory: the list itself cannot fail.
      (void)OperationListPass(job, run, ctx, listed);
    }
  } catch (...) {
    listed.Close();
    walker.join();
    throw;
  }
  listed.Close();
  walker.join();
  if (failure) std::rethrow_exception(failure);
  run.FileCount += listed.listed().load();
  LogWalkReport(run, context, listed.report());
  return true;
}

}  // namespace qtarvox
