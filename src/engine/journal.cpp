#include "engine/journal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <unordered_map>

#include "platform/descriptors.h"
#include "platform/durable_file.h"

namespace qtarvox {
namespace {

// Eight tables, so that eight bytes are taken at a time ("slicing by 8").
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (size_t t = 1; t < 8; ++t) {
      tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFFu];
    }
  }
  return tables;
}

constexpr CrcTables kCrc = MakeCrcTables();

enum RecordType : char {
  kHeader = 'H',
  kIntent = 'I',
  kCompletion = 'C',
  kUsed = 'U',
  // Kept in memory only, until it is made a completion.
  kLookLater = 'L',
};

// Enough for many batches; beyond it (files committed without batches)
// the completions go out at once rather than pile up.
constexpr size_t kMaxKeptCompletions = 4 << 20;

constexpr std::string_view kMagic = "QTVJ";
constexpr uint32_t kVersion = 2;
// Length, its complement, CRC, type.
constexpr size_t kRecordHead = 13;
constexpr size_t kCrcAt = 8;
// No record comes near this: a longer length can only be damage.
constexpr uint32_t kMaxPayload = 1u << 20;

constexpr uint8_t kHeaderAttributes = 1;

constexpr uint8_t kIntentIdKnown = 1;
constexpr uint8_t kIntentAttributes = 2;
constexpr uint8_t kIntentGeneration = 4;
constexpr uint8_t kIntentTakesTakenName = 8;

constexpr uint8_t kCompletionRenamed = 1;
constexpr uint8_t kCompletionReplaced = 2;
constexpr uint8_t kCompletionIdentity = 4;
constexpr uint8_t kCompletionGeneration = 8;
constexpr uint8_t kCompletionWitness = 16;

void PutU8(std::string& out, uint8_t v) { out.push_back(static_cast<char>(v)); }

void PutU32(std::string& out, uint32_t v) {
  char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
  out.append(bytes, 4);
}

void PutU64(std::string& out, uint64_t v) {
  char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
  out.append(bytes, 8);
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out.append(bytes);
}

uint32_t GetU32At(std::string_view in, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return v;
}

// Starts a record of `type` at the end of `out`; FinishRecord fills its head.
size_t BeginRecord(std::string& out, RecordType type) {
  const size_t start = out.size();
  out.append(kRecordHead - 1, '\0');
  out.push_back(type);
  return start;
}

void FinishRecord(std::string& out, size_t start) {
  const uint32_t payload = static_cast<uint32_t>(out.size() - start - kRecordHead);
  const uint32_t crc = Crc32(std::string_view(out).substr(start + kCrcAt + 4));
  for (int i = 0; i < 4; ++i) {
    out[start + i] = static_cast<char>(payload >> (8 * i));
    out[start + 4 + i] = static_cast<char>(~payload >> (8 * i));
    out[start + kCrcAt + i] = static_cast<char>(crc >> (8 * i));
  }
}

// Reads the fields of one record's contents in order; any read past the end
// makes the record malformed.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  bool at_end() const { return at_ == bytes_.size(); }

  uint8_t U8() {
    if (!Have(1)) return 0;
    return static_cast<uint8_t>(bytes_[at_++]);
  }
  uint32_t U32() {
    if (!Have(4)) return 0;
    const uint32_t v = GetU32At(bytes_, at_);
    at_ += 4;
    return v;
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | static_cast<uint64_t>(U32()) << 32;
  }
  std::string Bytes() {
    const uint32_t size = U32();
    if (!Have(size)) return {};
    std::string out(bytes_.substr(at_, size));
    at_ += size;
    return out;
  }

 private:
  bool Have(size_t n) {
    if (ok_ && bytes_.size() - at_ >= n) return true;
    ok_ = false;
    return false;
  }
  std::string_view bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

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

uint32_t Crc32(std::string_view bytes, uint32_t crc) {
  crc = ~crc;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    const uint32_t low =
        crc ^ (static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
    crc = kCrc[7][low & 0xFFu] ^ kCrc[6][(low >> 8) & 0xFFu] ^ kCrc[5][(low >> 16) & 0xFFu] ^
          kCrc[4][low >> 24] ^ kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
  }
  for (; n > 0; --n, ++p) crc = kCrc[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

// --- Writing -------------------------------------------------------------------

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
  int fd = -1;
  if (RtError err = CreateFileReplacing(path, fd)) return err;
  fd_ = fd;
  id_ = {};
  // Undo knows its journal by this: one that cannot be told is no journal.
  if (!IdOfDescriptor(fd_, id_)) {
    const int err = errno;
    (void)Close();
    return ErrorFromErrno(err);
  }
  // The journal must be found after a crash: its name goes to the disk too.
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::lock_guard write_lock(write_mutex_);
  if (!WriteLocked(HeaderRecord(with_attributes, run_id), false)) return error();
  // The first record and the name go to the disk while the files are being
  // listed; the first flush waits for them, before anything changes.
  const auto sync = [fd = fd_, folder] {
    const int err = SyncData(fd);
    return err != 0 ? err : SyncFolder(folder);
  };
  try {
    opening_ = std::async(std::launch::async, sync);
  } catch (const std::system_error&) {
    if (const int err = sync()) Fail(err);
  }
  return error();
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
    known = ReadEntryState(directory_, directory, old_filename, id, attributes) == 0;
  }
  uint8_t flags = 0;
  if (known) flags |= kIntentIdKnown;
  if (known && attributes != nullptr) flags |= kIntentAttributes;
  if (known && id.has_generation) flags |= kIntentGeneration;
  if (journal_.note_taken_ && !new_filename.empty() && new_filename != old_filename) {
    // Another file under the new name (not this one under another case).
    FileIdentity there;
    if (ReadEntryState(directory_, directory, new_filename, there, nullptr) == 0 &&
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
    if (fd_ < 0 || error_ != 0) return;
    AppendCompletion(completions_, intent, renamed, final_filename, replaced, error_number, after);
    if (completions_.size() < kMaxKeptCompletions) return;
  }
  std::lock_guard write_lock(write_mutex_);
  WriteCompletionsLocked();
}

void RunJournal::RenamedLookLater(int64_t intent, std::string_view final_filename, bool replaced,
                                  int error_number, const std::string& directory, std::string_view name,
                                  uint64_t renamed_from) {
  renamed_.fetch_add(1, std::memory_order_relaxed);
  {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || error_ != 0) return;
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
    ++look_later_;
    if (completions_.size() < kMaxKeptCompletions) return;
  }
  std::lock_guard write_lock(write_mutex_);
  WriteCompletionsLocked();
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
  if (fd_ < 0) {
    Fail(EBADF);
    return false;
  }
  if (!error().ok()) return false;
  size_t written = 0;
  int err = WriteAll(fd_, bytes, written);
  if (err == 0 && sync && opening_.valid()) err = opening_.get();
  if (err == 0 && sync) err = SyncData(fd_);
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
  std::lock_guard write_lock(write_mutex_);
  if (fd_ < 0) return error();
  if (WriteCompletionsLocked()) WriteLocked({}, true);
  if (opening_.valid()) opening_.wait();  // the descriptor is still in use there
  if (const int err = CloseDescriptor(fd_)) Fail(err);
  fd_ = -1;
  return error();
}

// --- Reading -------------------------------------------------------------------

namespace {

// The journal's bytes, read in large pieces as the records need them.
class ChunkedInput {
 public:
  explicit ChunkedInput(int fd) : fd_(fd) {}
  // Makes `n` bytes from the current record's start available; false at
  // the end of the file (or on error, see error()).
  bool Need(size_t n) {
    while (buffer_.size() - at_ < n) {
      if (at_ > 0 && at_ * 2 > buffer_.size()) {
        buffer_.erase(0, at_);
        at_ = 0;
      }
      constexpr size_t kChunk = 1 << 20;
      const size_t old = buffer_.size();
      buffer_.resize(old + kChunk);
      size_t got = 0;
      error_ = ReadSome(fd_, buffer_.data() + old, kChunk, got);
      buffer_.resize(old + got);
      if (error_ != 0 || got == 0) return false;
    }
    return true;
  }
  std::string_view View(size_t n) const { return std::string_view(buffer_).substr(at_, n); }
  void Skip(size_t n) {
    at_ += n;
    consumed_ += static_cast<int64_t>(n);
  }
  bool AtEnd() { return !Need(1) && error_ == 0; }
  int64_t consumed() const { return consumed_; }
  int error() const { return error_; }

 private:
  int fd_;
  std::string buffer_;
  size_t at_ = 0;
  int64_t consumed_ = 0;
  int error_ = 0;
};

bool ParseHeader(FieldReader& in, JournalContents& contents) {
  bool magic = true;
  for (const char c : kMagic) magic = magic && in.U8() == static_cast<uint8_t>(c);
  const uint32_t version = in.U32();
  in.U8();  // flags
  contents.started = in.U64();
  if (version >= 2) contents.run_id = in.Bytes();
  return magic && in.ok();
}

// A completion record's fields.
struct Completion {
  int64_t intent = 0;
  uint8_t flags = 0;
  int error_number = 0;
  std::string final_filename;
  FileIdentity after;
};

bool ParseCompletion(FieldReader& in, Completion& done) {
  done.intent = static_cast<int64_t>(in.U64());
  done.flags = in.U8();
  done.error_number = static_cast<int>(in.U32());
  done.final_filename = in.Bytes();
  FileIdentity& after = done.after;
  if ((done.flags & kCompletionIdentity) != 0) {
    after.id.device = in.U64();
    after.id.inode = in.U64();
    after.birth = in.U64();
  }
  if ((done.flags & kCompletionGeneration) != 0) {
    after.generation = in.U32();
    after.has_generation = true;
  }
  if ((done.flags & kCompletionWitness) != 0) {
    after.changed = in.U64();
    after.modified = in.U64();
    after.size = in.U64();
    after.witnessed = true;
  }
  return in.ok() && in.at_end();
}

// What became of the file of `entry`, the `order`th completion read.
void Complete(JournalEntry& entry, Completion done, int64_t order) {
  entry.completed = true;
  entry.completion_order = order;
  entry.renamed = (done.flags & kCompletionRenamed) != 0;
  entry.replaced = (done.flags & kCompletionReplaced) != 0;
  entry.error_number = done.error_number;
  entry.after_known = (done.flags & kCompletionIdentity) != 0 && entry.renamed;
  entry.after = done.after;
  // Renamed without a name of its own: to the name of its intent.
  entry.final_filename = entry.renamed && done.final_filename.empty()
                             ? entry.new_filename
                             : std::move(done.final_filename);
}

bool ParseIntent(FieldReader& in, JournalEntry& entry) {
  entry.intent = static_cast<int64_t>(in.U64());
  const uint8_t flags = in.U8();
  entry.id.id.device = in.U64();
  entry.id.id.inode = in.U64();
  entry.id.birth = in.U64();
  entry.id_known = (flags & kIntentIdKnown) != 0;
  entry.directory = in.Bytes();
  entry.old_filename = in.Bytes();
  entry.new_filename = in.Bytes();
  entry.has_attributes = (flags & kIntentAttributes) != 0;
  if (entry.has_attributes) {
    entry.attributes.mode = in.U32();
    entry.attributes.has_stored = in.U8() != 0;
    entry.attributes.stored = in.Bytes();
  }
  if ((flags & kIntentGeneration) != 0) {
    entry.id.generation = in.U32();
    entry.id.has_generation = true;
  }
  entry.takes_taken_name = (flags & kIntentTakesTakenName) != 0;
  return in.ok() && in.at_end();
}

// What stands at the reader's place.
enum class Found { kRecord, kCut, kBad };

// Whether a whole record whose length and CRC check starts at the current
// place (`size`: its contents' length); kCut: the file ends first.
Found RecordAt(ChunkedInput& input, uint32_t& size) {
  if (!input.Need(kRecordHead)) return Found::kCut;
  const std::string_view head = input.View(kRecordHead);
  size = GetU32At(head, 0);
  if (GetU32At(head, 4) != ~size || size > kMaxPayload) return Found::kBad;
  if (!input.Need(kRecordHead + size)) return Found::kCut;
  const std::string_view record = input.View(kRecordHead + size);
  return Crc32(record.substr(kCrcAt + 4)) == GetU32At(record, kCrcAt) ? Found::kRecord
                                                                      : Found::kBad;
}

// After a record whose length does not check: moves on byte by byte to the
// next whole record that checks. False when none follows.
bool NextRecord(ChunkedInput& input) {
  for (;;) {
    input.Skip(1);
    if (input.AtEnd()) return false;
    uint32_t size = 0;
    if (RecordAt(input, size) == Found::kRecord) return true;
    if (input.error() != 0) return false;
  }
}

// Past a record that does not check. A length that checks can be trusted:
// only this record is lost. Else on to the next record that checks; false
// (and where the unread rest begins noted) when none follows.
bool PassDamage(ChunkedInput& input, JournalContents& contents) {
  const std::string_view head = input.View(kRecordHead);
  if (GetU32At(head, 4) == ~GetU32At(head, 0) && GetU32At(head, 0) <= kMaxPayload) {
    input.Skip(kRecordHead + GetU32At(head, 0));
    return true;
  }
  const int64_t lost_from = input.consumed();
  if (NextRecord(input)) return true;
  contents.unread_from = lost_from;
  return false;
}

}  // namespace

namespace {

// The records of one journal as they are read, into `contents`.
class RecordTaker {
 public:
  explicit RecordTaker(JournalContents& contents) : contents_(contents) {}
  // Takes one whole record that checks; false when its contents do not
  // (or a first record is not the header).
  bool Take(char type, FieldReader& in, bool first) {
    if (type == kHeader) return ParseHeader(in, contents_);
    if (first) return false;
    if (type == kIntent) {
      JournalEntry entry;
      if (!ParseIntent(in, entry)) return false;
      highest_ = std::max(highest_, entry.intent);
      by_intent_[entry.intent] = contents_.entries.size();
      contents_.entries.push_back(std::move(entry));
    } else if (type == kCompletion) {
      Completion done;
      if (!ParseCompletion(in, done)) return false;
      highest_ = std::max(highest_, done.intent);
      const auto found = by_intent_.find(done.intent);
      if (found != by_intent_.end()) {
        Complete(contents_.entries[found->second], std::move(done), completions_++);
      }
    } else if (type == kUsed) {
      contents_.used = true;
    }
    // A record of a kind this program does not know is passed over.
    return true;
  }
  // The highest intent number any record names; -1: none.
  int64_t highest() const { return highest_; }

 private:
  JournalContents& contents_;
  std::unordered_map<int64_t, size_t> by_intent_;
  int64_t completions_ = 0;
  int64_t highest_ = -1;
};

}  // namespace

RtError ReadJournal(int fd, JournalContents& contents) {
  contents = {};
  if (const int err = Rewind(fd)) return ErrorFromErrno(err);
  ChunkedInput input(fd);
  RecordTaker taker(contents);
  bool any = false;  // a record checked
  const auto damage = [&contents] {
    ++contents.damaged;
    contents.end = JournalEnd::kDamaged;
  };
  while (!input.AtEnd()) {
    const bool first = input.consumed() == 0;
    uint32_t size = 0;
    const Found found = RecordAt(input, size);
    if (found == Found::kCut) {
      if (contents.end == JournalEnd::kWhole) contents.end = JournalEnd::kCut;
      break;
    }
    if (found == Found::kBad) {
      damage();
      if (!PassDamage(input, contents)) break;
      continue;
    }
    any = true;
    const std::string_view record = input.View(kRecordHead + size);
    FieldReader in(record.substr(kRecordHead));
    const bool good = taker.Take(record[kCrcAt + 4], in, first);
    if (first && !good) return MakeError(kErrBadFileName, std::strerror(EINVAL));
    if (!good) damage();
    input.Skip(kRecordHead + size);
    if (contents.end != JournalEnd::kDamaged) contents.whole_size = input.consumed();
  }
  if (input.error() != 0) return ErrorFromErrno(input.error());
  // Something is there, but nothing of it checks: no journal at all.
  if (!any && contents.end == JournalEnd::kDamaged) {
    return MakeError(kErrBadFileName, std::strerror(EINVAL));
  }
  if (contents.end == JournalEnd::kDamaged) {
    contents.lost_intents = taker.highest() + 1 - static_cast<int64_t>(contents.entries.size());
  }
  BoundBirths(contents, contents.started);
  return {};
}

void BoundBirths(JournalContents& contents, uint64_t started) {
  contents.started = started;
  for (auto& entry : contents.entries) {
    if (entry.id.birth == 0) entry.id.born_by = started;
  }
}

RtError MarkJournalUsed(int fd, const JournalContents& contents) {
  std::string record;
  FinishRecord(record, BeginRecord(record, kUsed));
  int err = TruncateTo(fd, contents.whole_size);
  size_t written = 0;
  if (err == 0) err = WriteAll(fd, record, written);
  if (err == 0) err = SyncData(fd);
  return ErrorFromErrno(err);
}

}  // namespace qtarvox
