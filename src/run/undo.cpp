#include "run/undo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "engine/file_changes.h"
#include "engine/messages.h"
#include "engine/planned_changes.h"
#include "engine/report_file.h"
#include "platform/chars.h"
#include "platform/descriptors.h"
#include "platform/durable_file.h"
#include "platform/file_ops.h"
#include "platform/file_state.h"
#include "platform/paths.h"
#include "platform/work_folder.h"
#include "run/run_driver.h"
#include "run/work_files.h"

namespace qtarvox {
namespace {

// What an undo does to the files, through the run's own seam: the disk
// itself, or the run's plan, which works out what the disk would say
// without changing it. Files are found by their identities, read where the
// disk (or the plan) has them.
class UndoFiles {
 public:
  explicit UndoFiles(bool plan) {
    if (plan) {
      plan_ = std::make_unique<PlannedChanges>(names_, false);
      changes_ = plan_.get();
    }
  }

  // The identity of `name` in `directory`; 0 or an errno value.
  int IdOf(const std::string& directory, const std::string& name, FileIdentity& id) {
    return Read(directory, name, id, nullptr);
  }
  // The name under which `id` stands in `directory`; 0 or an errno value.
  int Find(const std::string& directory, const FileIdentity& id, std::string& name) {
    std::string on_disk;
    if (const int err = FindEntryById(directory, id, on_disk)) return err;
    if (plan_ == nullptr) {
      name = on_disk;
      return Unclaimed(directory, name);
    }
    const std::string path = directory + on_disk;
    const auto moved = moved_.find(path);
    name = moved != moved_.end() ? moved->second : on_disk;
    // A name the plan gave another file: this one was moved away before.
    return changes_->DiskPathOf(directory, name) == path ? Unclaimed(directory, name) : ENOENT;
  }
  // The file `name` in `directory` is an undone entry's own: never taken
  // for another entry's file, as another name (hard link) of the same
  // file would be.
  void Claim(const std::string& directory, const std::string& name) {
    claimed_.insert(directory + name);
  }
  bool FolderExists(const std::string& directory) { return IsDirectory(directory); }
  RtError Rename(const std::string& directory, const std::string& from, const std::string& to) {
    const std::string origin = changes_->DiskPathOf(directory, from);
    // The engine's own no-replace rename, except for a name it would not
    // give in full (one ending in a dot), which is put back byte for byte.
    const RtError err = CommittedName(to) == to
                            ? changes_->RenameNoReplace(directory, from, to, &handle_)
                            : changes_->RenameExactNoReplace(directory, from, to);
    if (err || plan_ == nullptr || from == to) return err;
    // The index follows the plan's renames, as a run's commit keeps it.
    names_.Renamed(directory, from, to);
    if (!origin.empty()) moved_[origin] = to;
    return {};
  }
  int Attributes(const std::string& directory, const std::string& name, SavedAttributes& state) {
    FileIdentity id;
    return Read(directory, name, id, &state);
  }
  int RestoreAttributes(const std::string& directory, const std::string& name,
                        const SavedAttributes& state) {
    return plan_ != nullptr ? 0 : RestoreAttributeState(directory + name, state);
  }

 private:
  int Unclaimed(const std::string& directory, const std::string& name) const {
    return claimed_.count(directory + name) == 0 ? 0 : ENOENT;
  }
  int Read(const std::string& directory, const std::string& name, FileIdentity& id,
           SavedAttributes* state) {
    const std::string path = changes_->DiskPathOf(directory, name);
    if (path.empty()) return ENOENT;
    return ReadIdentityAndAttributes(handle_, std::string(FolderWithSlash(path)),
                                     std::string(NameOfPath(path)), id, state);
  }

  DiskChanges disk_;
  NameIndex names_;  // the plan's
  std::unique_ptr<PlannedChanges> plan_;
  FileChanges* changes_ = &disk_;
  DirectoryHandle handle_;
  std::unordered_map<std::string, std::string> moved_;  // in a plan: disk path -> name
  std::unordered_set<std::string> claimed_;             // paths of undone entries' files
};

// Where an undo tells what it did: its Process and Error files, or, in a
// preview, the outcome's lines.
class UndoReport {
 public:
  UndoReport(UndoOutcome& outcome, ReportFile* process, ReportFile* errors,
             const std::function<void(const UndoFileEvent&)>* each_file = nullptr)
      : outcome_(outcome), process_(process), errors_(errors), each_file_(each_file) {}

  // `directory` + `from` now has its old name `to`, and its attributes as
  // before the run when `restored`.
  void Done(const std::string& directory, const std::string& from, const std::string& to,
            bool renamed, bool restored) {
    if (renamed) ++outcome_.put_back;
    if (restored) ++outcome_.restored;
    const char* marker = restored ? kUndoAttributesRestored : "";
    if (each_file_ != nullptr && *each_file_) {
      (*each_file_)({directory + from, to, renamed, restored, ""});
    }
    if (process_ == nullptr) {
      outcome_.lines.push_back(OnOneLine(directory + from + msg::kFinalSep + to + marker));
      return;
    }
    (void)process_->WriteLine({msg::kCurrentFile, directory, from});
    (void)process_->WriteLine({msg::kIndent, msg::kFinalOperation, from, msg::kFinalSep, to, marker});
  }

  // A file left as it is: an Error-file block.
  void Left(const std::string& path, const char* cause, const RtError& error) {
    ++outcome_.left;
    if (each_file_ != nullptr && *each_file_) (*each_file_)({path, "", false, false, cause});
    Block(path, cause, error);
  }

  void Block(const std::string& path, const char* cause, const RtError& error) {
    if (errors_ == nullptr) {
      outcome_.left_lines.push_back(OnOneLine(path) + ": " + cause);
      return;
    }
    (void)errors_->WriteLine({msg::kErrorInFile, path});
    (void)errors_->WriteLine({msg::kErrorCause, cause});
    (void)errors_->WriteLine({msg::kErrorNumber, std::to_string(error.number), "-", error.description});
    blocks_ = true;
  }

  bool blocks() const { return blocks_; }

 private:
  UndoOutcome& outcome_;
  ReportFile* process_;
  ReportFile* errors_;
  const std::function<void(const UndoFileEvent&)>* each_file_;
  bool blocks_ = false;
};

// Where the file of `entry` stands now: under `expected` (the name the
// journal last knew for it), under its old name, or wherever its inode is
// in its folder. Nothing when it cannot be found, which is reported.
std::optional<std::string> FindUndoneFile(const JournalEntry& entry, const std::string& expected,
                                          UndoFiles& files, UndoReport& report) {
  const std::string& directory = entry.directory;
  const std::string& old_name = entry.old_filename;
  if (!entry.id_known && !entry.after_known) {
    // The run could not look at the file before its change, so its rename
    // failed the same way; a file said to be renamed cannot be told from another.
    if (entry.completed && entry.renamed) {
      report.Left(directory + expected, kUndoFileGone, ErrorFromErrno(ENOENT));
    }
    return std::nullopt;
  }
  if (!files.FolderExists(directory)) {
    report.Left(directory + expected, kUndoFolderGone,
                MakeError(kErrPathNotFound, std::strerror(ENOENT)));
    return std::nullopt;
  }
  const FileIdentity& identity = entry.identity();
  FileIdentity id;
  std::string current;
  const bool at_expected = files.IdOf(directory, expected, id) == 0;
  // Under the run's name, a file on the same inode that only the witness
  // tells from the run's file: made anew, or only changed since.
  const bool same_inode = at_expected && id.id == identity.id && !id.Same(identity) &&
                          !(id.birth != 0 && identity.birth != 0) &&
                          !(id.has_generation && identity.has_generation);
  if (at_expected && id.Same(identity)) return expected;
  if (expected != old_name && files.IdOf(directory, old_name, id) == 0 && id.Same(identity)) {
    return old_name;
  }
  if (files.Find(directory, identity, current) == 0) return current;
  const bool replaced = expected != old_name && at_expected;
  const char* cause = same_inode ? kUndoFileNotSure : replaced ? kUndoFileReplaced : kUndoFileGone;
  report.Left(directory + expected, cause,
              replaced ? MakeError(kErrFileNotFound, kDescReplaced) : ErrorFromErrno(ENOENT));
  return std::nullopt;
}

// Gives the file of `entry`, found under `found`, its old name and
// attributes back; the name it has afterwards.
std::string PutBack(const JournalEntry& entry, const std::string& found, UndoFiles& files,
                    UndoReport& report) {
  const std::string& directory = entry.directory;
  std::string current = found;
  bool attributes_differ = false;
  if (entry.has_attributes) {
    SavedAttributes now;
    attributes_differ =
        files.Attributes(directory, current, now) != 0 || !(now == entry.attributes);
  }
  bool renamed = false;
  if (current != entry.old_filename) {
    if (const RtError err = files.Rename(directory, current, entry.old_filename)) {
      report.Left(directory + current,
                  err.number == kErrFileExists ? kUndoOldNameTaken : CauseText(err.number), err);
    } else {
      renamed = true;
      current = entry.old_filename;
    }
  }
  bool restored = false;
  if (attributes_differ) {
    if (const int err = files.RestoreAttributes(directory, current, entry.attributes)) {
      report.Left(directory + current, CauseText(kErrSetAttribute),
                  MakeError(kErrSetAttribute, std::strerror(err)));
    } else {
      restored = true;
    }
  }
  if (renamed || restored) report.Done(directory, found, current, renamed, restored);
  return current;
}

// Puts one file back, wherever it stands now.
void UndoEntry(const JournalEntry& entry, UndoFiles& files, UndoReport& report) {
  const std::string& old_name = entry.old_filename;
  const std::string& expected = entry.completed
                                    ? (entry.renamed ? entry.final_filename : old_name)
                                    : (entry.new_filename.empty() ? old_name : entry.new_filename);
  if (const std::optional<std::string> found = FindUndoneFile(entry, expected, files, report)) {
    files.Claim(entry.directory, PutBack(entry, *found, files, report));
  }
}

// The run's own files that a later file of the same run overwrote: for each
// file that took the place of another, the last file renamed to that name
// before it (by the file that took its place).
std::map<const JournalEntry*, const JournalEntry*> OverwrittenByTheRun(
    const std::vector<const JournalEntry*>& order) {
  std::map<const JournalEntry*, const JournalEntry*> overwritten;
  std::map<std::string, std::vector<const JournalEntry*>> by_name;  // in completion order
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const JournalEntry* entry = *it;
    if (!entry->completed || !entry->renamed) continue;
    by_name[entry->directory + '\0' + entry->final_filename].push_back(entry);
  }
  for (const auto& [name, entries] : by_name) {
    for (size_t i = 1; i < entries.size(); ++i) {
      if (entries[i]->replaced) overwritten[entries[i]] = entries[i - 1];
    }
  }
  return overwritten;
}

}  // namespace

std::vector<const JournalEntry*> UndoOrder(const JournalContents& contents) {
  std::vector<const JournalEntry*> order;
  for (const auto& entry : contents.entries) {
    // Not renamed and no attribute touched: nothing to put back.
    if (entry.completed && !entry.renamed && !entry.has_attributes) continue;
    order.push_back(&entry);
  }
  std::stable_sort(order.begin(), order.end(), [](const JournalEntry* a, const JournalEntry* b) {
    if (a->completed != b->completed) return !a->completed;
    return a->completed ? a->completion_order > b->completion_order : a->intent > b->intent;
  });
  return order;
}

namespace {

// What became of the look for a perform's journal.
enum class Pick { kRead, kGone, kRefused };

// Opens and reads the journal of `perform`, when it is the very file the
// history names: the user's own, the same inode, the same run's mark.
Pick ReadHistoryJournal(const HistoryEntry& perform, UniqueFd& fd, JournalContents& contents,
                        std::vector<std::string>& problems) {
  const std::string path = HistoryJournalPath(perform.number);
  if (const int err = OpenOwnFile(path, fd)) {
    if (err == ENOENT) return Pick::kGone;
    problems.push_back(kJournalNotOwn + path + kJournalNotOwnEnd);
    return Pick::kRefused;
  }
  FileId id;
  const bool recorded = IdOfDescriptor(fd.get(), id) && id == perform.journal;
  const RtError err = recorded ? ReadJournal(fd.get(), contents) : RtError{};
  // A journal whose first record was lost is known by its inode alone.
  if (!recorded || (err.ok() && contents.started != 0 && contents.run_id != perform.run_id)) {
    problems.push_back(kJournalNotOwn + path + kJournalNotRecorded);
  } else if (err) {
    problems.push_back(Problem(kJournalNotRead, path, err.description, kNothingRenamed));
  } else {
    if (contents.started == 0) BoundBirths(contents, perform.started);
    return Pick::kRead;
  }
  fd.reset();
  return Pick::kRefused;
}

// Whether an undo takes the journal: it is not yet undone and has something
// to put back (`order` is its UndoOrder).
bool StillToUndo(const JournalContents& contents, const std::vector<const JournalEntry*>& order) {
  return !contents.used && (!order.empty() || contents.end == JournalEnd::kDamaged);
}

}  // namespace

bool JournalWouldUndo(const std::string& path) {
  UniqueFd journal;
  if (OpenOwnFile(path, journal) != 0) return true;  // kept when in doubt
  JournalContents contents;
  if (ReadJournal(journal.get(), contents)) return true;
  if (contents.end == JournalEnd::kDamaged) return true;
  // The file changed last is looked at first: after a perform that changed
  // something, one look mostly tells.
  const std::vector<const JournalEntry*> order = UndoOrder(contents);
  std::set<const JournalEntry*> lost;
  for (const auto& [by, entry] : OverwrittenByTheRun(order)) lost.insert(entry);
  UndoOutcome outcome;
  UndoReport report(outcome, nullptr, nullptr);
  UndoFiles files(true);
  for (const JournalEntry* entry : order) {
    if (lost.count(entry) == 0) UndoEntry(*entry, files, report);
    if (!outcome.lines.empty() || outcome.left > 0) return true;
  }
  return false;
}

bool PerformToUndo() {
  std::vector<HistoryEntry> history;
  if (ReadHistory(history)) return false;
  for (auto it = history.rbegin(); it != history.rend(); ++it) {
    UniqueFd journal;
    JournalContents contents;
    std::vector<std::string> problems;
    const Pick pick = ReadHistoryJournal(*it, journal, contents, problems);
    if (pick == Pick::kRefused) return true;
    if (pick == Pick::kGone) continue;
    if (StillToUndo(contents, UndoOrder(contents))) return true;
  }
  return false;
}

RtError ListHistory(std::vector<HistoryLine>& lines) {
  lines.clear();
  std::vector<HistoryEntry> history;
  if (RtError err = ReadHistory(history)) return err;
  for (auto it = history.rbegin(); it != history.rend(); ++it) {
    HistoryLine line;
    line.perform = *it;
    UniqueFd journal;
    JournalContents contents;
    std::vector<std::string> problems;
    const Pick pick = ReadHistoryJournal(*it, journal, contents, problems);
    if (pick == Pick::kGone) continue;
    if (pick == Pick::kRead) {
      line.files = static_cast<int64_t>(UndoOrder(contents).size()) + contents.lost_intents;
      line.undone = contents.used;
      line.damaged = contents.end == JournalEnd::kDamaged;
    } else {
      line.damaged = true;
    }
    lines.push_back(line);
  }
  return {};
}

namespace {

// The most recent perform of `history` not yet undone whose journal is still
// there: its journal, read into `contents` and `order`; none when there is
// none, or when a journal is refused (said in the outcome's problems).
UniqueFd PickPerformToUndo(const std::vector<HistoryEntry>& history, JournalContents& contents,
                           std::vector<const JournalEntry*>& order, UndoOutcome& outcome,
                           bool& refused) {
  refused = false;
  for (auto it = history.rbegin(); it != history.rend(); ++it) {
    UniqueFd fd;
    const Pick pick = ReadHistoryJournal(*it, fd, contents, outcome.problems);
    if (pick == Pick::kRefused) {
      refused = true;
      return {};
    }
    if (pick == Pick::kGone) continue;
    order = UndoOrder(contents);
    if (StillToUndo(contents, order)) {
      outcome.perform = *it;
      return fd;
    }
  }
  return {};
}

// Makes the undo's Error and Process files; false (with the problem said)
// when one cannot be made.
bool OpenUndoReports(ReportFile& errors, ReportFile& process, UndoOutcome& outcome) {
  for (auto [file, name] : {std::pair{&errors, kErrorFileName}, {&process, kProcessFileName}}) {
    const std::string report_path = WorkFilePath(name);
    if (const RtError report_err = file->OpenForOutput(report_path)) {
      outcome.started = false;
      outcome.problems.push_back(
          Problem(kReportNotMade, report_path, report_err.description, kNothingRenamed));
      (void)errors.Close();  // nothing was written to it
      if (errors.id() != FileId{}) RemoveIfSameFile(errors.path(), errors.id());
      return false;
    }
  }
  return true;
}

// What cannot come back, said before anything is done: the file that was
// lost, under the name it had before the run when it was one of the run's
// own. Returns the run's own files that were lost so, which are not looked for.
std::set<const JournalEntry*> TellWhatWasLost(const JournalContents& contents,
                                              const std::vector<const JournalEntry*>& order,
                                              bool preview, UndoReport& report,
                                              UndoOutcome& outcome) {
  const auto overwritten = OverwrittenByTheRun(order);
  std::set<const JournalEntry*> lost_by_run;
  for (const auto& [by, entry] : overwritten) lost_by_run.insert(entry);
  std::set<std::string> own_names;  // directory NUL old name of each of the run's files
  for (const auto& entry : contents.entries) {
    own_names.insert(entry.directory + '\0' + entry.old_filename);
  }
  UndoFiles disk(false);
  for (const JournalEntry* entry : order) {
    std::string lost;
    if (entry->replaced) {
      const auto own = overwritten.find(entry);
      lost = entry->directory +
             (own != overwritten.end() ? own->second->old_filename : entry->final_filename);
    } else if (!entry->completed && entry->takes_taken_name &&
               own_names.count(entry->directory + '\0' + entry->new_filename) == 0) {
      // Cut off before its completion reached the disk: the file that had
      // the new name is gone if the run's file has that name now.
      FileIdentity now;
      if (disk.IdOf(entry->directory, entry->new_filename, now) != 0 ||
          !now.Same(entry->identity())) {
        continue;
      }
      lost = entry->directory + entry->new_filename;
    } else {
      continue;
    }
    outcome.overwritten.push_back(OnOneLine(lost));
    if (!preview) {
      report.Block(lost, kUndoOverwritten, MakeError(kErrFileNotFound, kDescOverwritten));
    }
  }
  return lost_by_run;
}

// Closes the undo's report files and says what of them could not be written;
// an Error file with nothing in it goes.
void CloseUndoReports(ReportFile& errors, ReportFile& process, const UndoReport& report,
                      UndoOutcome& outcome) {
  for (ReportFile* file : {&errors, &process}) {
    (void)file->Close();  // its failure is in loss() too
    const ReportLoss& loss = file->loss();
    if (loss.failed()) {
      outcome.problems.push_back(
          Problem(kReportIncomplete, file->path(), std::strerror(loss.first_errno), "") + " " +
          std::to_string(loss.lines) + kLinesLost);
    }
  }
  if (!report.blocks()) RemoveIfSameFile(errors.path(), errors.id());
  outcome.error_file_left = report.blocks() && NormalFileFound(errors.path());
}

// Puts back the files of `order` (but those the run lost), on the disk or,
// for a preview, in a plan; stops between two files when asked to.
void UndoEntries(const std::vector<const JournalEntry*>& order,
                 const std::set<const JournalEntry*>& lost_by_run, const UndoRequest& request,
                 ReportFile& process, UndoReport& report, UndoOutcome& outcome) {
  const bool preview = request.preview;
  UndoFiles files(preview);
  for (const JournalEntry* entry : order) {
    if (StopRequested(request.stop)) {
      outcome.stopped = request.stop->load();
      if (!preview) (void)process.WriteLine(kStoppedLine);
      break;
    }
    if (lost_by_run.count(entry) == 0) UndoEntry(*entry, files, report);
  }
}

// Marks the journal in `fd` as put back, so that a second undo finds
// nothing to do.
void MarkUndone(int fd, const JournalContents& contents, UndoOutcome& outcome) {
  if (const RtError mark_err = MarkJournalUsed(fd, contents)) {
    outcome.problems.push_back(Problem(
        kJournalNotMarked, HistoryJournalPath(outcome.perform.number), mark_err.description, ""));
  } else {
    outcome.marked_used = true;
  }
}

}  // namespace

UndoOutcome UndoLastPerform(const UndoRequest& request) {
  const bool preview = request.preview;
  UndoOutcome outcome;
  std::vector<HistoryEntry> history;
  RtError err = ReadHistory(history);
  if (err.ok() && !history.empty()) err = CheckOwnFolder(HistoryFolder());
  if (err) {
    outcome.problems.push_back(
        Problem(kHistoryNotRead, HistoryFolder(), err.description, kNothingRenamed));
    return outcome;
  }
  JournalContents contents;
  std::vector<const JournalEntry*> order;
  bool refused = false;
  const UniqueFd journal = PickPerformToUndo(history, contents, order, outcome, refused);
  if (refused) return outcome;
  outcome.started = true;
  if (!journal.valid()) {
    outcome.nothing = true;
    return outcome;
  }
  outcome.journal_end = contents.end;
  outcome.damaged = contents.damaged;
  outcome.unread_from = contents.unread_from;
  outcome.lost = contents.lost_intents;

  ReportFile process, errors;
  if (!preview && !OpenUndoReports(errors, process, outcome)) return outcome;
  UndoReport report(outcome, preview ? nullptr : &process, preview ? nullptr : &errors,
                    &request.each_file);
  const auto lost_by_run = TellWhatWasLost(contents, order, preview, report, outcome);
  // The files a damaged journal no longer names stay as they are.
  outcome.left += outcome.lost;
  if (request.before_changes) request.before_changes(outcome);
  UndoEntries(order, lost_by_run, request, process, report, outcome);
  if (preview) return outcome;

  CloseUndoReports(errors, process, report, outcome);
  // Files that are gone for good would stay gone at every later try; a
  // damaged journal or a stopped undo stays to be tried again.
  if (outcome.left == 0 && outcome.stopped == 0 && contents.end != JournalEnd::kDamaged) {
    MarkUndone(journal.get(), contents, outcome);
  }
  return outcome;
}

}  // namespace qtarvox
