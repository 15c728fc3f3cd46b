#include "selection/passes.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <vector>

#include "engine/journal.h"
#include "engine/messages.h"
#include "engine/numbering.h"
#include "engine/transform.h"
#include "platform/attributes.h"
#include "platform/bounded_queue.h"
#include "platform/chars.h"
#include "platform/dir_search.h"
#include "platform/file_ops.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {


// A file or folder the walk could not list, as an error block and a failed
// file. A block that cannot be written is counted by the Error file itself.
void LogWalkFailure(RunState& run, const EngineContext& context,
                    const WalkReport::Failure& failure) {
  run.ErrorsOccurred = true;
  if (context.errors != nullptr) {
    const std::string shown = OnOneLine(failure.path);
    (void)context.errors->WriteLine({msg::kErrorInFile, shown});
    (void)context.errors->WriteLine({msg::kErrorCause, CauseText(failure.error.number)});
    (void)context.errors->WriteLine({msg::kErrorNumber, std::to_string(failure.error.number), "-",
                               failure.error.description});
  }
  if (context.outcomes == nullptr || run.PreviewMode) return;
  const size_t slash = failure.path.rfind('/', failure.path.size() - 2);
  const size_t split = slash == std::string::npos ? 0 : slash + 1;
  const std::string_view path = failure.path;
  FileOutcome outcome;
  outcome.status = FileStatus::kFailed;
  outcome.directory = path.substr(0, split);
  outcome.old_filename = outcome.filename = path.substr(split);
  outcome.error_number = failure.error.number;
  outcome.error_description = failure.error.description;
  context.outcomes->FileDone(outcome);
}

// One more file is through; the view hears of it now and then.
void FileDone(RunState& run, const EngineContext& context) {
  constexpr int64_t kEvery = 1024;
  if (++run.FilesDone % kEvery == 0 && context.view != nullptr) {
    const int32_t listed =
        context.files_listed != nullptr ? context.files_listed->load(std::memory_order_relaxed) : 0;
    context.view->ShowProgress(run.FilesDone, run.FileCount + listed);
  }
}

bool HoldsLineBreak(std::string_view name) {
  for (const char c : name) {
    if (c == '\r' || c == '\n') return true;
  }
  return false;
}

// Whether the walk may leave the stored system bit of its regular files to
// the pass, which leaves such a file out when it comes to it. Reading that
// bit is most of a large folder's listing; in the pass it is read on the
// thread that prepares the files while the renames go on. A preview or a
// plan has no renames to hide it behind: there the thread that prepares is
// the slower one, and the walk reads the bits on both cores. An even-width
// number needs the exact count of files before the first one.
bool SystemBitLeftToPass(const JobSettings& job, const RunState& run,
                         const EngineContext& context) {
  const ChosenActions& c = job.chosen;
  return !run.PreviewMode && context.changes == nullptr &&
         !(c.DoNumberEnd && job.NumberEndStyle == NumberStyle::kEven) &&
         !(c.DoNumberBeginning && job.NumberBeginningStyle == NumberStyle::kEven);
}

// In a pass over a walk that left the system bit to it: whether a listed
// file has it, and so was never chosen.
class SystemFileCheck {
 public:
  SystemFileCheck(const JobSettings& job, const RunState& run, const EngineContext& context)
      : on_(SystemBitLeftToPass(job, run, context)) {}

  bool LeavesOut(const std::string& directory, const std::string& name,
                 const std::string& extension) {
    if (!on_) return false;
    filename_.assign(name).append(extension);
    return StoredSystemBit(directory_.For(directory), directory, filename_);
  }

 private:
  const bool on_;
  DirectoryHandle directory_;
  std::string filename_;
};

// Where a walk puts what it lists.
class WalkSink {
 public:
  virtual ~WalkSink() = default;
  // A file chosen; not ok when the walk must end.
  virtual RtError Listed(const std::string& directory, std::string_view name) = 0;
};

// The walk before the pass: the operation list, counted in run.FileCount.
class OperationListSink final : public WalkSink {
 public:
  OperationListSink(RunState& run, ReportFile& op_list) : run_(run), op_list_(op_list) {}

  RtError Listed(const std::string& directory, std::string_view name) override {
    if (RtError err = op_list_.WriteLine({directory, name})) return err;
    ++run_.FileCount;
    return {};
  }

 private:
  RunState& run_;
  ReportFile& op_list_;
};

// Writes the files of one directory for every pattern, in lstExt order; a
// name two patterns match is written at the first one's place only. A name
// with a line break in it is never listed: it goes to `report`.
RtError WriteFiles(const EngineContext& context, const std::string& directory,
                   const WalkListing& listing, bool system_later, WalkSink& sink,
                   WalkReport& report) {
  std::unordered_set<std::string_view> written;  // only with more than one pattern
  const bool overlap = listing.files.size() > 1;
  for (const auto& names : listing.files) {
    for (const auto& name : names) {
      if (overlap && !written.insert(name).second) continue;
      if (HoldsLineBreak(name)) {
        // A system file is not chosen, so it is no error either.
        if (!system_later || !StoredSystemBit(-1, directory, std::string(name))) {
          report.failures.push_back(
              {directory + std::string(name), MakeError(kErrBadFileName, kDescLineBreakInName)});
        }
        continue;
      }
      if (IsOwnWorkFile(context, directory, name)) continue;
      if (RtError err = sink.Listed(directory, name)) return err;
    }
  }
  return {};
}

// Lists the next sibling directories of the walk on threads of their own
// while the current one is written here, so that both cores keep listing.
// Only the speed of the walk changes: the list comes out in the same order.
class ListingAhead {
 public:
  // Listings running ahead at most: one per core, as each waits on the kernel alone.
  static constexpr size_t kAhead = 2;

  ListingAhead(const std::vector<std::string>& patterns, bool system_later, bool with_all)
      : patterns_(patterns), system_later_(system_later), with_all_(with_all) {}
  ListingAhead(const ListingAhead&) = delete;
  ListingAhead& operator=(const ListingAhead&) = delete;
  ~ListingAhead() {
    for (auto& pending : pending_) pending.listing.wait();
  }

  // Starts listing `directory`, unless it is under way already or enough are.
  void Start(const std::string& directory) {
    if (pending_.size() >= kAhead || std::thread::hardware_concurrency() < 2) return;
    for (const auto& pending : pending_) {
      if (pending.directory == directory) return;
    }
    try {
      pending_.push_back({directory, std::async(std::launch::async, [this, directory] {
                            Listed listed;
                            listed.error = ListForWalk(directory, patterns_, true, listed.listing,
                                                       false, system_later_, with_all_);
                            return listed;
                          })});
    } catch (const std::system_error&) {
      // No further thread: the directory is listed here when its turn comes.
    }
  }

  // The listing of `directory`: the one made ahead when it is the next one.
  RtError Take(const std::string& directory, WalkListing& out) {
    if (!pending_.empty() && pending_.front().directory == directory) {
      Listed listed = pending_.front().listing.get();
      pending_.pop_front();
      out = std::move(listed.listing);
      return listed.error;
    }
    // While listings run ahead, the cores are busy already.
    return ListForWalk(directory, patterns_, true, out, pending_.empty(), system_later_,
                       with_all_);
  }

 private:
  struct Listed {
    WalkListing listing;
    RtError error;
  };
  struct Pending {
    std::string directory;
    std::future<Listed> listing;
  };
  const std::vector<std::string>& patterns_;
  const bool system_later_;
  const bool with_all_;
  std::deque<Pending> pending_;  // in the order the walk takes them
};

// The folders a walk has been to, by (device, inode), so that however often
// lstDir reaches a folder - listed twice, inside a folder listed with its
// subdirectories, through a bind mount - its files are listed once: they
// may have been renamed already, and a file is never taken twice.
class VisitedFolders {
 public:
  // What is still to do in a folder just read: its files, and (when the
  // walk descends) its subdirectories, unless a walk below it has been
  // there already (which also ends a tree that contains itself).
  struct ToDo {
    bool files = true;
    bool subdirectories = true;
  };
  ToDo Visit(const WalkListing& listing, bool descending) {
    if (listing.device == 0 && listing.inode == 0) return {};
    const std::pair<uint64_t, uint64_t> id{listing.device, listing.inode};
    ToDo to_do;
    to_do.subdirectories = descending && trees_.insert(id).second;
    to_do.files = files_.insert(id).second;
    return to_do;
  }

 private:
  std::set<std::pair<uint64_t, uint64_t>> files_;
  std::set<std::pair<uint64_t, uint64_t>> trees_;
};

// What one walk carries from directory to directory.
struct Walk {
  const EngineContext& context;
  WalkSink& sink;
  ListingAhead& ahead;
  bool system_later;
  VisitedFolders& visited;
  WalkReport& report;
};

RtError VisitSubdirectories(Walk& walk, const std::string& directory,
                            const std::vector<std::string>& subdirectories);

// One folder of the walk, read already: its files and, when the walk
// descends, its subdirectories: below an lstDir entry a folder's
// subdirectories come first (deepest files first), the entry's own files
// before them. A folder that could not be read is reported with its cause.
RtError VisitListed(Walk& walk, const std::string& directory, const WalkListing& listing,
                    const RtError& read, bool descending, bool files_first) {
  if (read) {
    walk.report.failures.push_back({directory, read});
    return {};
  }
  // A plan changes nothing: its index of the folder is this listing.
  if (listing.all_listed) walk.context.names->Listed(directory, listing.all);
  const VisitedFolders::ToDo to_do = walk.visited.Visit(listing, descending);
  const auto files = [&]() -> RtError {
    if (!to_do.files) return {};
    return WriteFiles(walk.context, directory, listing, walk.system_later, walk.sink, walk.report);
  };
  if (files_first) {
    if (RtError err = files()) return err;
  }
  if (to_do.subdirectories) {
    walk.report.folders_not_entered += listing.subdirectories_not_entered;
    if (RtError err = VisitSubdirectories(walk, directory, listing.subdirectories)) return err;
  }
  return files_first ? RtError{} : files();
}

RtError VisitSubdirectory(Walk& walk, const std::string& directory) {
  WalkListing listing;
  const RtError read = walk.ahead.Take(directory, listing);
  return VisitListed(walk, directory, listing, read, true, false);
}

// The subdirectories of `directory` in order, the next one listed ahead.
RtError VisitSubdirectories(Walk& walk, const std::string& directory,
                            const std::vector<std::string>& subdirectories) {
  for (size_t i = 0; i < subdirectories.size(); ++i) {
    if (StopRequested(walk.context.stop)) return {};
    for (size_t k = i + 1; k <= i + ListingAhead::kAhead && k < subdirectories.size(); ++k) {
      walk.ahead.Start(directory + subdirectories[k] + "/");
    }
    if (RtError err = VisitSubdirectory(walk, directory + subdirectories[i] + "/")) return err;
  }
  return {};
}

// Where an lstDir entry's subdirectories mark begins; npos when it has none.
size_t SubdirectoriesMark(const std::string& entry) {
  const size_t mark = entry.rfind(kIncludeSubdirsMark);
  return mark != std::string::npos && mark + std::strlen(kIncludeSubdirsMark) == entry.size()
             ? mark
             : std::string::npos;
}

RtError WalkInto(const JobSettings& job, const RunState& run, const EngineContext& context,
                 WalkSink& sink, WalkReport& report) {
  const bool system_later = SystemBitLeftToPass(job, run, context);
  // A plan changes nothing on the disk: the walk's listings serve its index
  // as well, which spares reading each folder a second time.
  const bool index_listings = context.changes != nullptr && context.names != nullptr;
  VisitedFolders visited;
  for (const auto& entry : job.lstDir) {
    if (StopRequested(context.stop)) return {};
    const size_t mark = SubdirectoriesMark(entry);
    const bool subdirectories = mark != std::string::npos;
    const std::string directory =
        WithTrailingSlash(subdirectories ? PathAsTyped(std::string_view(entry).substr(0, mark))
                                         : entry);
    if (context.journal != nullptr && &entry == &job.lstDir.front()) {
      context.journal->ListAhead(directory);
    }
    WalkListing listing;
    const RtError read = ListForWalk(directory, job.lstExt, subdirectories, listing, true,
                                     system_later, index_listings);
    ListingAhead ahead(job.lstExt, system_later, index_listings);
    Walk walk{context, sink, ahead, system_later, visited, report};
    if (RtError err = VisitListed(walk, directory, listing, read, subdirectories, true)) {
      return err;
    }
  }
  return {};
}

}  // namespace

RtError DirectoryWalk(const JobSettings& job, RunState& run, const EngineContext& context,
                      ReportFile& op_list, WalkReport* report) {
  OperationListSink sink(run, op_list);
  WalkReport own;
  const RtError err = WalkInto(job, run, context, sink, report != nullptr ? *report : own);
  if (report == nullptr) LogWalkReport(run, context, own);
  return err;
}

void LogWalkReport(RunState& run, const EngineContext& context, const WalkReport& report) {
  for (const auto& failure : report.failures) LogWalkFailure(run, context, failure);
  run.FoldersNotEntered += report.folders_not_entered;
}

bool IsOwnWorkFile(const EngineContext& context, const std::string& directory,
                   std::string_view name) {
  // Only a name the program gives its own files needs the look at the disk.
  static constexpr std::string_view kProcessName = kProcessFileName, kErrorName = kErrorFileName,
                                    kJournalName = kJournalFileName,
                                    kHistoryName = kHistoryListFileName;
  if (context.own_files.empty() || (name != kProcessName && name != kErrorName &&
                                    name != kJournalName && name != kHistoryName)) {
    return false;
  }
  std::string path = directory;
  path.append(name);
  return IsOneOf(path, context.own_files);
}

namespace {

// Splits an operation-list line into directory (ending in "/"), name and extension.
void SplitListLine(const std::string& line, std::string& directory, std::string& name,
                   std::string& extension) {
  directory.assign(FolderWithSlash(line));
  SplitFilename(NameOfPath(line), name, extension);
}

// A file of a pass: prepared, or (a work file of the run) only counted.
struct PassFile : PreparedFile {
  bool skip = false;  // counted, never handed to the engine
};

// Files handed from the stage that prepares them to the one that commits
// them, with the files of the list left out while they were read.
struct PreparedBatch {
  std::vector<PassFile> files;
  int32_t left_out = 0;
};

// Holding a few batches at most keeps the memory small however long the
// list is; a full queue is filled again only once it is half empty, so two
// threads wake each other seldom. Committed batches go back to be filled
// again, so the strings of a file are made once per batch slot, not per
// file; none is freed on the committing side.
using PreparedQueue = BoundedQueue<PreparedBatch>;
constexpr size_t kMaxPreparedBatches = 4;

// Asks for a prepared file's strings, which were written on the other core.
void PrefetchText(const PreparedFile& file) {
  for (const std::string* text : {&file.directory, &file.name, &file.extension, &file.filename,
                                  &file.step_lines, &file.new_filename}) {
    for (size_t at = 0; at < text->size(); at += 64) __builtin_prefetch(text->data() + at);
  }
}

// Asks for a prepared file itself (where its strings are).
void PrefetchFile(const PreparedFile& file) {
  const char* at = reinterpret_cast<const char*>(&file);
  for (size_t offset = 0; offset < sizeof file; offset += 64) __builtin_prefetch(at + offset);
}

// Notes the intents of a prepared batch's files in `intents`: each file the
// actions rename, and with attribute actions every file (an empty new name:
// only its attributes change).
void AddIntents(std::vector<PassFile>& files, bool attributes, RunJournal::Batch& intents) {
  std::string scratch;
  const std::string none;
  for (PassFile& file : files) {
    file.intent = -1;
    if (file.skip) continue;
    const bool renames = file.changed && file.new_filename != file.filename;
    if (!renames && !attributes) continue;
    file.intent = intents.Add(file.directory, file.filename,
                              renames ? CommittedName(file.new_filename, scratch) : none);
  }
}

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
  IntentsToDisk(RunJournal& journal, PreparedQueue& queue, bool threaded, bool listed)
      : journal_(journal), queue_(queue), listed_(listed) {
    if (!threaded) return;
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      // No further thread: each batch is flushed here, when it is handed over.
    }
  }
  IntentsToDisk(const IntentsToDisk&) = delete;
  IntentsToDisk& operator=(const IntentsToDisk&) = delete;
  ~IntentsToDisk() { Finish(); }

  // Room for a batch's intents, reused from a batch already on the disk.
  std::unique_ptr<RunJournal::Batch> Intents() {
    std::lock_guard lock(mutex_);
    if (spare_.empty()) return std::make_unique<RunJournal::Batch>(journal_, listed_);
    std::unique_ptr<RunJournal::Batch> intents = std::move(spare_.back());
    spare_.pop_back();
    return intents;
  }

  // False once the journal could not take a batch, or the committing side
  // has stopped: the batch is then dropped, none of its files changed.
  bool Hand(std::unique_ptr<RunJournal::Batch> intents, PreparedBatch files) {
    if (!thread_.joinable()) {
      const bool handed =
          (intents->empty() || journal_.Write(*intents)) && queue_.Push(std::move(files));
      std::lock_guard lock(mutex_);
      spare_.push_back(std::move(intents));
      return handed;
    }
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return pending_.size() < kMaxPending || ended_; });
    if (ended_) return false;
    pending_.push_back({std::move(intents), std::move(files)});
    ready_.notify_one();
    return true;
  }

  // Waits until every batch handed over is on the disk and handed on.
  void Finish() {
    {
      std::lock_guard lock(mutex_);
      finishing_ = true;
      ready_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
  }

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

  void Run() {
    for (;;) {
      std::deque<Pending> taken;
      {
        std::unique_lock lock(mutex_);
        for (;;) {
          if (pending_.empty()) {
            if (finishing_) return;
            ready_.wait(lock);
          } else if (finishing_ || pending_.size() >= kGroup || queue_.waiting() <= kLow) {
            break;
          } else {
            ready_.wait_for(lock, kLook);
          }
        }
        taken.swap(pending_);
        room_.notify_one();
      }
      size_t last = taken.size();  // the last batch with intents: its write flushes them all
      for (size_t i = 0; i < taken.size(); ++i) {
        if (!taken[i].intents->empty()) last = i;
      }
      bool ok = true;
      for (size_t i = 0; ok && last < taken.size() && i <= last; ++i) {
        ok = taken[i].intents->empty() || journal_.Write(*taken[i].intents, i == last);
      }
      for (size_t i = 0; ok && i < taken.size(); ++i) ok = queue_.Push(std::move(taken[i].files));
      std::lock_guard lock(mutex_);
      for (auto& batch : taken) spare_.push_back(std::move(batch.intents));
      if (!ok) {
        ended_ = true;
        pending_.clear();
        room_.notify_all();
        return;
      }
    }
  }

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

// The stage that commits: renames a batch's files in order, taking the
// files left out off run.FileCount. False when a stop was asked for.
bool CommitBatch(const PassSetup& pass, const PreparedBatch& batch, int32_t& left_out) {
  // Written only when files were left out: the preparing side may read the
  // count for the numbers of individual files, which no walk leaves out.
  if (batch.left_out != 0) {
    pass.run.FileCount -= batch.left_out;
    left_out += batch.left_out;
  }
  const std::vector<PassFile>& files = batch.files;
  for (size_t i = 0; i < files.size(); ++i) {
    if (StopRequested(pass.context.stop)) return false;
    // The next files may have been prepared on the other core: ask for them
    // now, so they arrive while this file's rename is in the kernel.
    if (i + 2 < files.size()) PrefetchFile(files[i + 2]);
    if (i + 1 < files.size()) PrefetchText(files[i + 1]);
    if (!files[i].skip) RenamePreparedFile(pass.job, pass.run, pass.context, files[i]);
    FileDone(pass.run, pass.context);
  }
  return true;
}

// Commits the batches waiting on this thread; false when a stop was asked for.
bool CommitWaiting(const PassSetup& pass, PreparedQueue& queue, int32_t& left_out) {
  PreparedBatch batch;
  while (queue.TryPop(batch)) {
    if (!CommitBatch(pass, batch, left_out)) return false;
    queue.Recycle(std::move(batch));
  }
  return true;
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

}  // namespace

RtError OperationListPass(const JobSettings& job, RunState& run, EngineContext& context,
                          LineSource& reader) {
  std::unique_ptr<TransformPlan> own_plan;
  if (context.plan == nullptr) own_plan = std::make_unique<TransformPlan>(job);
  const TransformPlan& plan = context.plan != nullptr ? *context.plan : *own_plan;
  EngineContext ctx = context;
  ctx.plan = &plan;
  SystemFileCheck system_files(job, run, ctx);
  std::string line;
  const auto next = [&](PassFile& file, int32_t& left_out) {
    for (;;) {
      if (!reader.ReadLine(line)) return false;
      SplitListLine(line, file.directory, file.name, file.extension);
      if (!system_files.LeavesOut(file.directory, file.name, file.extension)) return true;
      ++left_out;
    }
  };
  RunPass({job, run, ctx, plan, NumberingPass::kOperationList, false, true}, next);
  return reader.error();
}

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

void SplitFileEntry(const std::string& entry, std::string& directory, std::string& filename) {
  // A name holds no slash, so where the directory is absolute the first
  // " * /" ends the name, even one that holds " * " itself.
  size_t sep = entry.find(std::string(kFileEntrySeparator) + '/');
  if (sep == std::string::npos) sep = entry.find(kFileEntrySeparator);
  if (sep != std::string::npos) {
    filename = entry.substr(0, sep);
    // Blanks belong to the path: a folder may end in one.
    directory = WithTrailingSlash(entry.substr(sep + 3));
    return;
  }
  if (const std::string_view folder = FolderWithSlash(entry); !folder.empty()) {
    directory = folder;
    filename = NameOfPath(entry);
    return;
  }
  const std::string cwd = CurrentDirectory();
  directory = cwd.empty() ? "./" : WithTrailingSlash(cwd);
  filename = entry;
}

void IndividualFilesPass(const JobSettings& job, RunState& run, EngineContext& context) {
  const bool combined = job.method == SelectionMethod::kDone || job.method == SelectionMethod::kBoth;
  const NumberingPass pass =
      combined ? NumberingPass::kCombinedIndividual : NumberingPass::kIndividual;
  std::unique_ptr<TransformPlan> own_plan;
  if (context.plan == nullptr) own_plan = std::make_unique<TransformPlan>(job);
  const TransformPlan& plan = context.plan != nullptr ? *context.plan : *own_plan;
  std::string filename;
  size_t i = 0;
  // The list is read as it stands at each step, as the engine never changes it.
  RunPass({job, run, context, plan, pass, false, false}, [&](PassFile& file, int32_t&) {
    if (i >= job.lstFile.size()) return false;
    SplitFileEntry(job.lstFile[i], file.directory, filename);
    SplitFilename(filename, file.name, file.extension);
    // Numbered all the same, so the files after it get the numbers they
    // would have had.
    file.skip = IsOwnWorkFile(context, file.directory, filename);
    ++i;
    return true;
  });
}

}  // namespace qtarvox
