#include "engine/rename_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "engine/journal.h"
#include "engine/messages.h"
#include "platform/attributes.h"
#include "platform/chars.h"
#include "platform/dir_search.h"
#include "platform/file_ops.h"
#include "platform/file_state.h"

namespace qtarvox {
namespace {

struct AttributeRow {
  ActionId id;
  uint32_t bit;  // 0: set exactly "normal"
  const char* success;
  const char* failure;
  AttributeDone done;
};

constexpr std::array<AttributeRow, 4> kAttributeActions{{
    {ActionId::kReadOnly, kAttrReadOnly, msg::kSetReadOnly, msg::kFailReadOnly, kDoneReadOnly},
    {ActionId::kHidden, kAttrHidden, msg::kSetHidden, msg::kFailHidden, kDoneHidden},
    {ActionId::kArchive, kAttrArchive, msg::kSetArchive, msg::kFailArchive, kDoneArchive},
    {ActionId::kNormal, 0, msg::kSetNormal, msg::kFailNormal, kDoneNormal},
}};

const AttributeRow& AttributeRowOf(ActionId id) {
  for (const auto& row : kAttributeActions) {
    if (row.id == id) return row;
  }
  return kAttributeActions[0];
}

// The Process line after a name step, and after a delete step that could not
// run, appended to `out` without its line end.
void AppendStepLine(std::string& out, int position, const WorkingName& state) {
  out += msg::kIndent;
  out += msg::kAfterAction;
  out += std::to_string(position);
  out += msg::kActionSep;
  EncodeAppend(state.wn, out);
  out += state.we;
}

std::string TerminatedLine(ActionId id) {
  return std::string(msg::kIndent) +
         (id == ActionId::kDeleteLast ? msg::kTerminated3 : msg::kTerminated4);
}

// Records what the steps give for the commit: their Process lines, finished
// (with `lines`), and where the attribute steps are due among them.
class StepRecorder final : public StepObserver {
 public:
  StepRecorder(PreparedFile& file, bool lines) : file_(file), lines_(lines) {}
  void AfterNameStep(int position, const WorkingName& state) override {
    if (!lines_) return;
    const size_t start = file_.step_lines.size();
    AppendStepLine(file_.step_lines, position, state);
    EndReportLine(file_.step_lines, start);
  }
  void Terminated(ActionId id) override {
    if (!lines_) return;
    const size_t start = file_.step_lines.size();
    file_.step_lines += TerminatedLine(id);
    EndReportLine(file_.step_lines, start);
  }
  void AttributeStep(int position, ActionId id, const WorkingName& state) override {
    if (lines_) {
      EncodeAppend(state.wn, file_.attribute_names);
      file_.attribute_names += state.we;
    }
    file_.attribute_steps.push_back(
        {file_.step_lines.size(), position, id, file_.attribute_names.size()});
  }

 private:
  PreparedFile& file_;
  const bool lines_;
};

// Whether this run only plans its changes.
bool Planning(const EngineContext& context) {
  return context.changes != nullptr && context.changes->planned();
}

// The commit of one prepared file: its working state and the error trap.
class FileRun {
 public:
  FileRun(const JobSettings& job, RunState& run, EngineContext& context, const PreparedFile& file)
      : job_(job),
        run_(run),
        ctx_(context),
        directory_(file.directory),
        extension_(file.extension),
        old_filename_(file.filename),
        intent_(file.intent) {}

  void Run(const PreparedFile& file);

 private:
  bool WritingProcess() const {
    return run_.GenerateProcessFile && ctx_.process != nullptr && !Planning(ctx_);
  }
  FileChanges& Disk() { return ctx_.changes != nullptr ? *ctx_.changes : disk_; }
  // Tells the listener what became of the file (a perform or a plan).
  void TellOutcome();
  // Made when needed: most files never need their full path.
  std::string OldPath() const { return directory_ + old_filename_; }
  void ProcessLine(std::initializer_list<std::string_view> pieces);
  // A failed statement: a taken target only sets the collision flag; every
  // other error is logged.
  void Trap(const RtError& error);
  void LogError(const RtError& error);
  void PreviewMarkerLine();
  // Appends an entry (or a marker) to the preview box; entries begin with CR LF.
  void AppendPreview(std::string text);
  void Preview(bool bare_dot, const std::string& new_filename);
  void Commit(const std::string& planned_filename);
  // The planned name is taken: the file takes its place, the other file goes.
  void Overwrite(const std::string& planned_filename);
  // The planned name is taken: the file gets it with the first free number
  // (in `numbered_filename`); false when it keeps its name.
  bool RenameWithUniqueNumber(const std::string& wanted, std::string& numbered_filename);
  // What became of the file, for its intent; `target` is the name it was given.
  void TellJournal(const std::string& target);
  bool RenameTo(const std::string& new_filename);
  // Whether the file's intent is on the disk, written now when the pass did
  // not: a perform changes no file before that.
  bool IntentOnDisk(const std::string& new_filename);

  const JobSettings& job_;
  RunState& run_;
  EngineContext& ctx_;
  const std::string& directory_;
  const std::string& extension_;
  const std::string& old_filename_;

  DiskChanges disk_;
  bool collision_ = false;
  bool logged_error_ = false;  // this file's own processing logged a counted error
  std::string final_note_;
  // The target the Additional Information line names: only read while the
  // rename to it is under way.
  std::string_view attempted_new_filename_;

  // The run had taken this file before: nothing is done to it.
  bool TakenBefore();
  // The step lines, each attribute step run where it is due among them.
  void Steps(const PreparedFile& file);
  void WriteStepLines(std::string_view lines);
  // An attribute step: changes the file on the disk; `filename` is the name
  // the steps before it gave, for its Process line.
  void AttributeStep(int position, ActionId id, std::string_view filename);

  // What became of the file, for its outcome and for the journal.
  RtError first_error_;
  // Only attribute actions failed: the rename itself is told as it went.
  bool attribute_errors_only_ = true;
  uint8_t attributes_done_ = 0;
  bool taken_ = false;     // the name the actions gave was taken
  bool renamed_ = false;   // a rename of the file succeeded
  bool replaced_ = false;  // it took the place of another file
  bool numbered_ = false;  // renamed with a unique number
  std::string taken_name_;  // the name the actions gave, when it was taken
  std::string final_name_;  // the name it has afterwards, when renamed (for a listener)
  int64_t intent_;          // its intent record in the journal, -1: none yet
  uint64_t renamed_from_ = 0;  // the birth clock before its rename, when looked at later
};

void FileRun::ProcessLine(std::initializer_list<std::string_view> pieces) {
  if (!WritingProcess()) return;
  const RtError err = ctx_.process->WriteLine(pieces);
  if (err) Trap(err);
}

void FileRun::Trap(const RtError& error) {
  if (error.number == kErrFileExists) {
    collision_ = true;
    return;
  }
  LogError(error);
}

void FileRun::LogError(const RtError& error) {
  // A block that cannot be written is counted by the Error file itself.
  if (ctx_.errors != nullptr) {
    const std::string old_path = OldPath();
    (void)ctx_.errors->WriteLine({msg::kErrorInFile, old_path});
    (void)ctx_.errors->WriteLine({msg::kErrorCause, CauseText(error.number)});
    (void)ctx_.errors->WriteLine(
        {msg::kErrorNumber, std::to_string(error.number), "-", error.description});
    if (error.number == kErrAccessDenied && collision_) {
      (void)ctx_.errors->WriteLine({msg::kAdditionalInfo, directory_, attempted_new_filename_,
                              msg::kAdditionalInfoMid, old_path, msg::kAdditionalInfoEnd});
    }
  }
  if (error.number == kErrAccessDenied) collision_ = false;
  const bool counts =
      !(error.number == kErrPreviewFull || error.number == kErrSetAttribute) || !run_.PreviewMode;
  if (counts) {
    run_.ErrorsOccurred = true;
    if (!logged_error_) first_error_ = error;
    logged_error_ = true;
    if (error.number != kErrSetAttribute) attribute_errors_only_ = false;
  }
}

void FileRun::AttributeStep(int position, ActionId id, std::string_view filename) {
  const AttributeRow& row = AttributeRowOf(id);
  const std::string old_path = OldPath();
  const uint32_t current = Disk().GetFileAttributes(old_path);
  const uint32_t wanted = row.bit == 0 ? kAttrNormal : (current | row.bit);
  const bool ok = IntentOnDisk({}) && Disk().SetFileAttributes(old_path, wanted);
  if (ok) {
    attributes_done_ |= row.done;
  } else {
    Trap(MakeError(kErrSetAttribute, kDescAttribute));
  }
  if (run_.PreviewMode || !WritingProcess()) return;
  const std::string prefix = msg::kAfterAction + std::to_string(position) + msg::kActionSep;
  if (ok) {
    ProcessLine({msg::kIndent, prefix, filename, row.success});
  } else {
    ProcessLine({msg::kIndent, prefix, row.failure});
  }
}

void FileRun::AppendPreview(std::string text) {
  // An entry begins with CR LF; after it, one entry per line.
  KeepOnOneLine(text, 2);
  if (!run_.txtOP.Append(text)) Trap(MakeError(kErrPreviewFull, kDescPreviewFull));
}

void FileRun::PreviewMarkerLine() {
  const ChosenActions& c = job_.chosen;
  if (!run_.PreviewMode) return;
  if (!(c.DoReadOnly || c.DoHidden || c.DoNormal)) return;
  if (c.DoUppercase || c.DoLowercase || c.DoDeleteLast || c.DoDeleteFirst || c.DoReplace ||
      c.DoAddBeginning || c.DoAddEnd || c.DoNumberEnd || c.DoNumberBeginning ||
      c.DoChangeExtension) {
    return;
  }
  AppendPreview("\r\n" + OldPath() + msg::kFinalSep + old_filename_);
  if (c.DoReadOnly) AppendPreview(msg::kMarkReadOnly);
  if (c.DoHidden) AppendPreview(msg::kMarkHidden);
  if (c.DoArchive) AppendPreview(msg::kMarkArchive);
  if (c.DoNormal) AppendPreview(msg::kMarkNormal);
}

void FileRun::Preview(bool bare_dot, const std::string& new_filename) {
  // An extension that is only "." is not shown.
  const std::string shown =
      bare_dot ? new_filename.substr(0, new_filename.size() - 1) : new_filename;
  // Under "Do Not Rename" a taken name gets no line, unless a case action is
  // ticked (the search may find the file itself where case is ignored); the
  // directory is only searched when its answer matters.
  bool append = job_.collision != CollisionOption::kDoNotRename || job_.lstActions[0].ticked ||
                job_.lstActions[1].ticked;
  if (!append) {
    if (ctx_.names != nullptr) {
      append = !ctx_.names->NormalFileExists(directory_, new_filename);
    } else {
      std::vector<std::string> found;
      // A folder that cannot be searched shows the line.
      (void)SearchDirectory(directory_, new_filename, SearchFilter::kNormalFiles, found);
      append = found.empty();
    }
  }
  if (append) AppendPreview("\r\n" + OldPath() + msg::kFinalSep + shown);
}

bool FileRun::RenameTo(const std::string& new_filename) {
  attempted_new_filename_ = new_filename;
  // A name the run's index already holds is taken: spare the failing call.
  // Only while the index holds the file itself too: a file that is gone is
  // the call's to report, whether or not its directory was indexed.
  std::string scratch;
  const std::string& committed = CommittedName(new_filename, scratch);
  if (ctx_.names != nullptr && committed != old_filename_ &&
      ctx_.names->KnownTaken(directory_, committed) &&
      ctx_.names->KnownTaken(directory_, old_filename_)) {
    collision_ = true;
    return false;
  }
  const RtError err = Disk().RenameNoReplace(directory_, old_filename_, new_filename, ctx_.directory);
  if (err) {
    Trap(err);
    return false;
  }
  if (ctx_.names != nullptr) ctx_.names->Renamed(directory_, old_filename_, committed);
  renamed_ = true;
  if (ctx_.outcomes != nullptr) final_name_ = committed;
  return true;
}

bool FileRun::IntentOnDisk(const std::string& new_filename) {
  if (ctx_.journal == nullptr || run_.PreviewMode || intent_ >= 0) return true;
  intent_ = ctx_.journal->WriteAlone(directory_, old_filename_, CommittedName(new_filename));
  return intent_ >= 0;
}

void FileRun::Commit(const std::string& planned_filename) {
  final_note_.clear();
  if (planned_filename == old_filename_) {
    ProcessLine({msg::kIndent, msg::kNoChangesMade});
    return;
  }
  if (!IntentOnDisk(planned_filename)) {
    LogError(ctx_.journal->error());
    return;
  }
  renamed_from_ = intent_ >= 0 && ctx_.directory != nullptr &&
                          ctx_.directory->KeepsBirthTimes(directory_)
                      ? BirthClockNow()
                      : 0;
  RenameTo(planned_filename);
  taken_ = collision_;
  if (taken_) taken_name_ = CommittedName(planned_filename);
  // The name the file is given: the planned one, unless a number is added.
  const std::string* target = &planned_filename;
  std::string numbered_filename;
  if (collision_) {
    switch (job_.collision) {
      case CollisionOption::kDoNotRename:
        ProcessLine({msg::kIndent, msg::kIntermediateNotRenamed});
        final_note_ = msg::kNotPerformedNote;
        collision_ = false;
        break;
      case CollisionOption::kOverwrite:
        Overwrite(planned_filename);
        break;
      case CollisionOption::kAppendNumber:
        if (RenameWithUniqueNumber(planned_filename, numbered_filename)) {
          target = &numbered_filename;
        } else {
          target = &old_filename_;
        }
        break;
    }
  }
  if (intent_ >= 0) TellJournal(*target);
  // A failed attribute action does not undo the rename, which is told.
  if (!logged_error_ || (attribute_errors_only_ && renamed_)) {
    ProcessLine({msg::kIndent, msg::kFinalOperation, old_filename_, msg::kFinalSep, *target,
                 final_note_});
  }
}

void FileRun::Overwrite(const std::string& planned_filename) {
  // The other file goes only as the renamed file takes its place, in one
  // step, so a failure can never leave both names gone. The collision
  // stands until then: a refusal's Error-file block tells of it.
  std::string scratch;
  RtError err = Disk().CheckDeletable(directory_ + CommittedName(planned_filename, scratch));
  if (err.ok()) err = Disk().RenameReplacing(directory_, old_filename_, planned_filename);
  if (!err.ok()) {
    Trap(err);
    collision_ = false;
    ProcessLine({msg::kIndent, msg::kOverwriteFailure});
    return;
  }
  collision_ = false;
  renamed_ = replaced_ = true;
  final_name_ = CommittedName(planned_filename);
  if (ctx_.names != nullptr) ctx_.names->Renamed(directory_, old_filename_, final_name_);
  if (ctx_.taken != nullptr) ctx_.taken->Overwritten(directory_, final_name_);
  ProcessLine({msg::kIndent, msg::kIntermediate, planned_filename, msg::kOverwrittenWith,
               old_filename_});
}

bool FileRun::RenameWithUniqueNumber(const std::string& wanted, std::string& numbered_filename) {
  // 0 when no positive number is free (not on any real file system).
  const int64_t number = ctx_.names != nullptr
                             ? ctx_.names->UniqueNumber(directory_, wanted, extension_)
                             : UniqueNumber(directory_, wanted, extension_);
  // The computed number can still be taken (a changed extension, several
  // dots, or a change behind our back); the next numbers are tried then,
  // as far as a 64-bit number goes.
  const int64_t tries =
      number < 1 ? 0
                 : std::min<int64_t>(kMaxUniqueNumberTries,
                                     std::numeric_limits<int64_t>::max() - number + 1);
  for (int64_t attempt = 0; attempt < tries; ++attempt) {
    collision_ = false;
    const std::string candidate = InsertNumber(wanted, run_.Separator, number + attempt);
    if (RenameTo(candidate)) {
      numbered_filename = candidate;
      numbered_ = true;
      return true;
    }
    if (!collision_) return false;  // another error, already logged
  }
  if (collision_) {
    collision_ = false;
    attempted_new_filename_ = wanted;
    LogError(MakeError(kErrFileExists, kDescNoFreeNumber));
  }
  return false;
}

void FileRun::TellJournal(const std::string& target) {
  // Only a name other than the intent's (a unique number) is written out.
  // Not renamed without a logged error: the name was taken.
  std::string scratch;
  const std::string& on_disk = CommittedName(target, scratch);
  const std::string_view final_name = renamed_ && numbered_ ? std::string_view(on_disk) : "";
  const int error_number = first_error_.number != 0 ? first_error_.number : kErrFileExists;
  // The file an undo is to put back is the one that now has the name,
  // looked at after the rename, not the one a listing saw before: where
  // birth times tell a later file apart, by the journal's writer.
  if (renamed_ && renamed_from_ != 0) {
    ctx_.journal->RenamedLookLater(intent_, final_name, replaced_, error_number, directory_,
                                   on_disk, renamed_from_);
    return;
  }
  FileIdentity after;
  const bool after_known =
      renamed_ && ReadChangedIdentity(ctx_.directory, directory_, on_disk, after) == 0;
  ctx_.journal->Completed(intent_, renamed_, final_name, replaced_, error_number,
                          after_known ? &after : nullptr);
}

}  // namespace

void RenameFile(const JobSettings& job, RunState& run, EngineContext& context,
                const std::string& directory, const std::string& name,
                const std::string& extension) {
  // Kept from one call to the next on this thread: a loop over single files
  // makes no allocation per file once the room is there.
  thread_local PreparedFile file;
  file.directory.assign(directory);
  file.name.assign(name);
  file.extension.assign(extension);
  file.intent = -1;
  std::unique_ptr<TransformPlan> own_plan;
  if (context.plan == nullptr) own_plan = std::make_unique<TransformPlan>(job);
  PrepareFile(job, run, context, context.plan != nullptr ? *context.plan : *own_plan, file);
  RenamePreparedFile(job, run, context, file);
}

bool FileRun::TakenBefore() {
  if (ctx_.taken == nullptr) return false;
  const TakenFiles::Seen seen = ctx_.taken->Take(Disk(), directory_, old_filename_);
  if (seen == TakenFiles::Seen::kNew) return false;
  LogError(MakeError(kErrFileNotFound,
                     seen == TakenFiles::Seen::kReplaced ? kDescReplacedBefore : kDescTakenBefore));
  TellOutcome();
  return true;
}

void FileRun::Run(const PreparedFile& file) {
  if (TakenBefore()) return;
  PreviewMarkerLine();
  Steps(file);
  if (file.changed) {
    if (run_.PreviewMode) {
      Preview(file.bare_dot, file.new_filename);
    } else {
      Commit(file.new_filename);
    }
  }
  TellOutcome();
}

void FileRun::Steps(const PreparedFile& file) {
  const std::string_view lines = file.step_lines;
  const std::string_view names = file.attribute_names;
  size_t written = 0;
  size_t name_begin = 0;
  for (const PreparedFile::AttributeStepDue& step : file.attribute_steps) {
    WriteStepLines(lines.substr(written, step.lines_before - written));
    written = step.lines_before;
    AttributeStep(step.position, step.id, names.substr(name_begin, step.name_end - name_begin));
    name_begin = step.name_end;
  }
  WriteStepLines(lines.substr(written));
}

void FileRun::WriteStepLines(std::string_view lines) {
  if (lines.empty() || !WritingProcess()) return;
  if (const RtError err = ctx_.process->WriteLines(lines)) Trap(err);
}

void FileRun::TellOutcome() {
  if (ctx_.outcomes == nullptr || run_.PreviewMode) return;
  FileOutcome outcome;
  outcome.directory = directory_;
  outcome.old_filename = old_filename_;
  outcome.filename = renamed_ ? std::string_view(final_name_) : std::string_view(old_filename_);
  outcome.attributes = attributes_done_;
  if (logged_error_) {
    outcome.error_number = first_error_.number;
    outcome.error_description = first_error_.description;
  }
  const bool renamed = renamed_ && outcome.filename != outcome.old_filename;
  if (logged_error_ && !(attribute_errors_only_ && renamed)) {
    outcome.status = FileStatus::kFailed;
  } else if (taken_ && !renamed_) {
    outcome.status = FileStatus::kSkipped;
  } else if (outcome.filename != outcome.old_filename) {
    outcome.status = FileStatus::kRenamed;
  }
  if (taken_) outcome.taken = taken_name_;
  if (renamed_ && outcome.filename != outcome.old_filename) {
    outcome.case_only = IsCaseOnlyChange(old_filename_, final_name_);
    outcome.number_added = taken_ && !replaced_;
    outcome.replaced = replaced_;
  }
  ctx_.outcomes->FileDone(outcome);
}

TakenFiles::Seen TakenFiles::Take(FileChanges& disk, const std::string& directory,
                                  const std::string& filename) {
  if (!overwritten_.empty() && overwritten_.count(directory + filename) != 0) {
    return Seen::kReplaced;
  }
  if (!by_identity_) return Seen::kNew;
  const EntryState entry = disk.Entry(directory + filename);
  // A file that is not there is the commit's to report.
  if (!entry.exists()) return Seen::kNew;
  return identities_.insert({entry.device, entry.inode}).second ? Seen::kNew : Seen::kTakenBefore;
}

void TakenFiles::Overwritten(const std::string& directory, const std::string& filename) {
  overwritten_.insert(directory + filename);
}

bool CanPrepareAhead(const JobSettings& job) {
  const ChosenActions& c = job.chosen;
  return !(c.DoReadOnly || c.DoHidden || c.DoArchive || c.DoNormal);
}

void PrepareFile(const JobSettings& job, const RunState& run, const EngineContext& context,
                 const TransformPlan& plan, PreparedFile& file) {
  file.filename.assign(file.name).append(file.extension);
  file.head_line.clear();
  if (run.GenerateProcessFile && context.process != nullptr) {
    file.head_line.append(msg::kCurrentFile).append(file.directory).append(file.filename);
    EndReportLine(file.head_line, 0);
  }
  file.step_lines.clear();
  file.attribute_steps.clear();
  file.attribute_names.clear();
  // A preview and a plan write no step lines.
  const bool lines = !run.PreviewMode && run.GenerateProcessFile && context.process != nullptr &&
                     !Planning(context);
  StepRecorder recorder(file, lines);
  WorkingName& state = file.working;
  TransformName(job, run, plan, file.name, file.extension, state,
                lines || !CanPrepareAhead(job) ? &recorder : nullptr);
  file.changed = state.changed;
  file.bare_dot = state.we == ".";
  file.new_filename.clear();
  if (state.changed) {
    EncodeAppend(state.wn, file.new_filename);
    file.new_filename += state.we;
  }
}

void RenamePreparedFile(const JobSettings& job, RunState& run, EngineContext& context,
                        const PreparedFile& file) {
  // A line that cannot be written is counted by the Process file itself,
  // which says so in its next line that can be written: the file's run goes on.
  if (!file.head_line.empty()) (void)context.process->WriteLines(file.head_line);
  FileRun(job, run, context, file).Run(file);
}

}  // namespace qtarvox
