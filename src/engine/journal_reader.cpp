// Reading a journal back: every record that checks, past damage and up to
// a cut-off end.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "engine/journal.h"
#include "engine/journal_records.h"
#include "platform/descriptors.h"
#include "platform/durable_file.h"

namespace qtarvox {
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
