#include "selection/walk.h"

#include <cstring>
#include <deque>
#include <future>
#include <set>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>

#include "engine/journal.h"
#include "engine/messages.h"
#include "platform/attributes.h"
#include "platform/chars.h"
#include "platform/dir_search.h"
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
    (void)context.errors->WriteLine(
        {msg::kErrorNumber, std::to_string(failure.error.number), "-", failure.error.description});
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

bool HoldsLineBreak(std::string_view name) {
  for (const char c : name) {
    if (c == '\r' || c == '\n') return true;
  }
  return false;
}

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
    return ListForWalk(directory, patterns_, true, out, pending_.empty(), system_later_, with_all_);
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

}  // namespace

bool SystemBitLeftToPass(const JobSettings& job, const RunState& run,
                         const EngineContext& context) {
  const ChosenActions& c = job.chosen;
  return !run.PreviewMode && context.changes == nullptr &&
         !(c.DoNumberEnd && job.NumberEndStyle == NumberStyle::kEven) &&
         !(c.DoNumberBeginning && job.NumberBeginningStyle == NumberStyle::kEven);
}

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
    const std::string directory = WithTrailingSlash(
        subdirectories ? PathAsTyped(std::string_view(entry).substr(0, mark)) : entry);
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

}  // namespace qtarvox
