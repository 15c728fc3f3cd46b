#include "engine/journal.h"

#include <cerrno>
#include <chrono>
#include <system_error>

#include "engine/journal_records.h"
#include "platform/descriptors.h"
#include "platform/durable_file.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

// Enough for many batches; beyond it (files committed without batches)
// the completions go out at once rather than pile up.
constexpr size_t kMaxKeptCompletions = 4 << 20;
// Files to look at that wake the looker: enough to be worth a wake-up, few
// enough that a batch's Write seldom waits long for the file.
constexpr int64_t kLookGroup = 256;

// The run's start: no file born after it can be one the run changed.
std::string HeaderRecord(bool with_attributes, std::string_view run_id) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::string out;
  const size_t start = BeginRecord(out, kHeader);
  out.append(kMagic);
  PutU32(out, kVersion);
  PutU8(out, with_attributes ? kHeaderAttributes : 0);
  PutU64(out,
         static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
  PutBytes(out, run_id);
  FinishRecord(out, start);
  return out;
}

}  // namespace

// A caller that wants the journal's first error closes it first.
RunJournal::~RunJournal() { (void)Close(); }

RtError RunJournal::Open(const std::string& path, bool with_attributes, std::string_view run_id) {
  (void)Close();  // a journal opened before: its caller had its say by now
  path_ = path;
  with_attributes_ = with_attributes;
  error_ = 0;
  next_intent_ = 0;
  renamed_ = 0;
  completions_.clear();
  look_later_ = 0;
  look_ = false;
  if (RtError err = CreateFileReplacing(path, fd_)) return err;
  id_ = {};
  // Undo knows its journal by this: one that cannot be told is no journal.
  if (!IdOfDescriptor(fd_.get(), id_)) {
    const int err = errno;
    (void)Close();
    return ErrorFromErrno(err);
  }
  // The journal must be found after a crash: its name goes to the disk too.
  const std::string_view with_slash = FolderWithSlash(path);
  const std::string folder = with_slash.empty() ? "." : std::string(with_slash);
  std::lock_guard write_lock(write_mutex_);
  if (!WriteLocked(HeaderRecord(with_attributes, run_id), false)) return error();
  // The first record and the name go to the disk while the files are being
  // listed; the first flush waits for them, before anything changes.
  const auto sync = [fd = fd_.get(), folder] {
    const int err = SyncData(fd);
    return err != 0 ? err : SyncFolder(folder);
  };
  try {
    opening_ = std::async(std::launch::async, sync);
  } catch (const std::system_error&) {
    if (const int err = sync()) Fail(err);
  }
  closing_ = false;
  try {
    looker_ = std::thread([this] { LookWhileRunning(); });
  } catch (const std::system_error&) {
    // Without it the next Write or Close looks at them, as ever.
  }
  return error();
}

void RunJournal::LookWhileRunning() {
  std::unique_lock lock(mutex_);
  for (;;) {
    look_wake_.wait(lock, [this] { return closing_ || look_later_ >= kLookGroup; });
    if (closing_) return;
    lock.unlock();
    {
      // The file's lock before the completions' lock, as everywhere.
      std::lock_guard write_lock(write_mutex_);
      (void)WriteCompletionsLocked();  // a failure stays in error_
    }
    lock.lock();
  }
}

void RunJournal::StopLooking() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  look_wake_.notify_one();
  if (looker_.joinable()) looker_.join();
}

int64_t RunJournal::Batch::Add(const std::string& directory, const std::string& old_filename,
                               const std::string& new_filename) {
  const int64_t intent = journal_.next_intent_.fetch_add(1, std::memory_order_relaxed);
  FileIdentity id;
  SavedAttributes* attributes = journal_.with_attributes_ ? &attributes_ : nullptr;
  // A file that cannot be looked at now is noted all the same: its rename
  // fails in the same way a moment later.
  bool known;
  if (listed_ && attributes == nullptr) {
    std::lock_guard lock(journal_.ids_mutex_);
    known = journal_.ids_.Find(directory, old_filename, id) == 0;
  } else {
    known = ReadIdentityAndAttributes(directory_, directory, old_filename, id, attributes) == 0;
  }
  uint8_t flags = 0;
  if (known) flags |= kIntentIdKnown;
  if (known && attributes != nullptr) flags |= kIntentAttributes;
  if (known && id.has_generation) flags |= kIntentGeneration;
  if (journal_.note_taken_ && !new_filename.empty() && new_filename != old_filename) {
    // Another file under the new name (not this one under another case).
    FileIdentity there;
    if (ReadIdentityAndAttributes(directory_, directory, new_filename, there, nullptr) == 0 &&
        !(known && there.id == id.id)) {
      flags |= kIntentTakesTakenName;
    }
  }
  const size_t start = BeginRecord(bytes_, kIntent);
  PutU64(bytes_, static_cast<uint64_t>(intent));
  PutU8(bytes_, flags);
  PutU64(bytes_, id.id.device);
  PutU64(bytes_, id.id.inode);
  PutU64(bytes_, id.birth);
  PutBytes(bytes_, directory);
  PutBytes(bytes_, old_filename);
  PutBytes(bytes_, new_filename);
  if ((flags & kIntentAttributes) != 0) {
    PutU32(bytes_, attributes_.mode);
    PutU8(bytes_, attributes_.has_stored ? 1 : 0);
    PutBytes(bytes_, attributes_.stored);
  }
  if ((flags & kIntentGeneration) != 0) PutU32(bytes_, id.generation);
  FinishRecord(bytes_, start);
  return intent;
}

RtError RunJournal::Opened() {
  std::lock_guard write_lock(write_mutex_);
  if (opening_.valid()) {
    if (const int err = opening_.get()) Fail(err);
  }
  return error();
}

void RunJournal::ListAhead(const std::string& directory) {
  // With attributes, each file is looked at by itself.
  if (with_attributes_) return;
  std::lock_guard lock(ids_mutex_);
  ids_.ListAhead(directory);
}

bool RunJournal::Write(Batch& batch, bool flush) {
  std::lock_guard write_lock(write_mutex_);
  // The intents first: the renaming thread waits for them. The completions
  // kept so far (of files whose intents are on the disk already), which may
  // have files to look at, follow; the next flush takes them to the disk.
  const bool written = WriteLocked(batch.bytes_, flush) && WriteCompletionsLocked();
  batch.bytes_.clear();
  return written;
}

int64_t RunJournal::WriteAlone(const std::string& directory, const std::string& old_filename,
                               const std::string& new_filename) {
  Batch batch(*this);
  const int64_t intent = batch.Add(directory, old_filename, new_filename);
  return Write(batch) ? intent : -1;
}

namespace {

// A completion record of `intent` at the end of `out`.
void AppendCompletion(std::string& out, int64_t intent, bool renamed,
                      std::string_view final_filename, bool replaced, int error_number,
                      const FileIdentity* after) {
  const size_t start = BeginRecord(out, kCompletion);
  PutU64(out, static_cast<uint64_t>(intent));
  uint8_t flags = (renamed ? kCompletionRenamed : 0) | (replaced ? kCompletionReplaced : 0);
  if (after != nullptr) flags |= kCompletionIdentity;
  // A birth time settles who the file is; the rest only where it is not known.
  const bool birth = after != nullptr && after->birth != 0;
  if (after != nullptr && !birth && after->has_generation) flags |= kCompletionGeneration;
  if (after != nullptr && !birth && after->witnessed) flags |= kCompletionWitness;
  PutU8(out, flags);
  PutU32(out, static_cast<uint32_t>(error_number));
  PutBytes(out, final_filename);
  if (after != nullptr) {
    PutU64(out, after->id.device);
    PutU64(out, after->id.inode);
    PutU64(out, after->birth);
  }
  if ((flags & kCompletionGeneration) != 0) PutU32(out, after->generation);
  if ((flags & kCompletionWitness) != 0) {
    PutU64(out, after->changed);
    PutU64(out, after->modified);
    PutU64(out, after->size);
  }
  FinishRecord(out, start);
}

}  // namespace

void RunJournal::Completed(int64_t intent, bool renamed, std::string_view final_filename,
                           bool replaced, int error_number, const FileIdentity* after) {
  if (renamed) renamed_.fetch_add(1, std::memory_order_relaxed);
  {
    std::lock_guard lock(mutex_);
    if (!fd_.valid() || error_ != 0) return;
    AppendCompletion(completions_, intent, renamed, final_filename, replaced, error_number, after);
    if (completions_.size() < kMaxKeptCompletions) return;
  }
  std::lock_guard write_lock(write_mutex_);
  // A failure is kept in error_, which the next Write and Close report.
  (void)WriteCompletionsLocked();
}

void RunJournal::RenamedLookLater(int64_t intent, std::string_view final_filename, bool replaced,
                                  int error_number, const std::string& directory, std::string_view name,
                                  uint64_t renamed_from) {
  renamed_.fetch_add(1, std::memory_order_relaxed);
  {
    std::lock_guard lock(mutex_);
    if (!fd_.valid() || error_ != 0) return;
    // Not a record of the file: what its record is made of, until then.
    const size_t start = BeginRecord(completions_, kLookLater);
    PutU64(completions_, static_cast<uint64_t>(intent));
    PutU8(completions_, replaced ? 1 : 0);
    PutU32(completions_, static_cast<uint32_t>(error_number));
    PutBytes(completions_, final_filename);
    PutBytes(completions_, directory);
    PutBytes(completions_, name);
    PutU64(completions_, renamed_from);
    FinishRecord(completions_, start);
    if (++look_later_ == kLookGroup) look_wake_.notify_one();
    if (completions_.size() < kMaxKeptCompletions) return;
  }
  std::lock_guard write_lock(write_mutex_);
  // A failure is kept in error_, which the next Write and Close report.
  (void)WriteCompletionsLocked();
}

void RunJournal::LookAtRenamedLocked() {
  resolved_.clear();
  for (size_t at = 0; at + kRecordHead <= writing_.size();) {
    const size_t size = kRecordHead + GetU32At(writing_, at);
    const std::string_view record = std::string_view(writing_).substr(at, size);
    at += size;
    if (record[kRecordHead - 1] != kLookLater) {
      resolved_.append(record);
      continue;
    }
    FieldReader in(record.substr(kRecordHead));
    const int64_t intent = static_cast<int64_t>(in.U64());
    const bool replaced = in.U8() != 0;
    const int error_number = static_cast<int>(in.U32());
    const std::string final_filename = in.Bytes();
    const std::string directory = in.Bytes();
    const std::string name = in.Bytes();
    const uint64_t renamed_from = in.U64();
    // A file born after its rename began took the name since. Birth times
    // come from the kernel's coarse clock or run up to a tick ahead of it,
    // so a file made just before its rename cannot be told from one made
    // just after: either way the record holds no identity then, and an
    // undo goes by the intent's.
    FileIdentity after;
    const bool known = ReadChangedIdentity(&look_dir_, directory, name, after) == 0 &&
                       after.birth != 0 && after.birth < renamed_from;
    AppendCompletion(resolved_, intent, true, final_filename, replaced, error_number,
                     known ? &after : nullptr);
  }
  writing_.swap(resolved_);
}

bool RunJournal::WriteCompletionsLocked() {
  {
    // The two buffers take turns, so neither is made anew for each batch.
    std::lock_guard lock(mutex_);
    writing_.swap(completions_);
    if (look_later_ != 0) {
      look_later_ = 0;
      look_ = true;
    }
  }
  if (look_) {
    look_ = false;
    LookAtRenamedLocked();
  }
  const bool written = writing_.empty() || WriteLocked(writing_, false);
  writing_.clear();
  return written;
}

bool RunJournal::WriteLocked(const std::string& bytes, bool sync) {
  if (!fd_.valid()) {
    Fail(EBADF);
    return false;
  }
  if (!error().ok()) return false;
  size_t written = 0;
  int err = WriteAll(fd_.get(), bytes, written);
  if (err == 0 && sync && opening_.valid()) err = opening_.get();
  if (err == 0 && sync) err = SyncData(fd_.get());
  if (err != 0) {
    Fail(err);
    return false;
  }
  return true;
}

void RunJournal::Fail(int err) {
  std::lock_guard lock(mutex_);
  if (error_ == 0) error_ = err;
}

RtError RunJournal::error() const {
  std::lock_guard lock(mutex_);
  return ErrorFromErrno(error_);
}

RtError RunJournal::Close() {
  // Before the file's lock, which the looker may be waiting for.
  StopLooking();
  std::lock_guard write_lock(write_mutex_);
  if (!fd_.valid()) return error();
  // A failure of either stays in error_, returned below.
  if (WriteCompletionsLocked()) (void)WriteLocked({}, true);
  if (opening_.valid()) opening_.wait();  // the descriptor is still in use there
  if (const int err = fd_.Close()) Fail(err);
  return error();
}

}  // namespace qtarvox
