// The journal of a perform: what the run is about to change, on the disk
// before the change, and what really happened, after it. From it the
// perform can be put back, also one that a crash or a kill cut off.
//
// Records are bytes, so any name a folder can hold fits: each record is its
// length (32 bits), the length's complement, a CRC-32 of its type and
// contents, its type and its contents; names are a length and their bytes.
// A record cut off at the end is where a killed run stopped writing. Any
// other record that does not check is damage: a record whose length checks
// is passed over, otherwise the reader looks for the next record that checks.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/descriptors.h"
#include "platform/file_ops.h"
#include "platform/file_state.h"
#include "platform/own_files.h"
#include "platform/rt_error.h"

namespace qtarvox {

// The journal's name in the work folder.
inline constexpr const char* kJournalFileName = "Q-Tarvox_Journal.tvj";
// The list of the undo history, beside the folders of the journals it keeps.
inline constexpr const char* kHistoryListFileName = "history";

// CRC-32 (the polynomial of zip and PNG) of `bytes`, continuing from `crc`.
uint32_t Crc32(std::string_view bytes, uint32_t crc = 0);

// The journal being written by a perform. Intents are gathered in batches
// and each batch is written and flushed to the disk once, before the first
// of its files changes; completions are kept in memory and go out with the
// next batch (or at Close). May be used from two threads: one writing
// batches, one reporting completions. Renamed files to look at later are
// looked at by a thread of the journal's own while the run goes on.
class RunJournal {
 public:
  RunJournal() = default;
  RunJournal(const RunJournal&) = delete;
  RunJournal& operator=(const RunJournal&) = delete;
  ~RunJournal();

  // Makes the journal at `path` anew (whatever had that name is unlinked,
  // never followed or written) and starts putting its first record and its
  // name on the disk: the first flushing Write waits for that, and fails
  // when it failed. `with_attributes`: every intent notes the file's
  // attributes.
  // `run_id` goes into the first record, to tell this journal from any other.
  RtError Open(const std::string& path, bool with_attributes, std::string_view run_id = {});
  bool is_open() const { return fd_.valid(); }
  const std::string& path() const { return path_; }
  // The file Open made, to tell it from any other.
  const FileId& id() const { return id_; }

  // The intents of some files about to change, gathered on one thread.
  class Batch {
   public:
    // `listed`: the files come folder by folder (a walk's list), so their
    // identities are taken from one listing of each folder.
    explicit Batch(RunJournal& journal, bool listed = false) : journal_(journal), listed_(listed) {}
    // Notes that `directory` + `old_filename` is about to be renamed to
    // `new_filename` (empty: only its attributes change), with the file's
    // device and inode (and attributes) as they are now. Returns the
    // intent's number, which counts once Write has put the batch on the disk.
    int64_t Add(const std::string& directory, const std::string& old_filename,
                const std::string& new_filename);
    bool empty() const { return bytes_.empty(); }

   private:
    friend class RunJournal;
    RunJournal& journal_;
    const bool listed_;
    DirectoryHandle directory_;
    SavedAttributes attributes_;
    std::string bytes_;
  };

  // The run overwrites a file whose name a renamed file takes: each intent
  // then notes whether its new name is taken, so that a perform cut off
  // before its completions reached the disk still tells what it destroyed.
  void NoteTakenNames(bool note) { note_taken_ = note; }

  // Waits until the first record and the journal's name are on the disk;
  // not ok (and every later Write fails) when they could not be put there.
  RtError Opened();

  // A walk's first folder: its files' identities, which listed batches
  // take from one listing of each folder, are read while the walk goes on.
  void ListAhead(const std::string& directory);

  // Writes the batch and, with `flush`, waits until it is on the disk with
  // everything written before; then writes the completions so far. The batch
  // is then empty. False when it cannot be: none of the batch's files may
  // change then, error() says why, and every later Write fails too.
  [[nodiscard]] bool Write(Batch& batch, bool flush = true);

  // For a file that reached its first change without an intent: writes and
  // flushes its intent alone. Its number, or -1 when the journal cannot be
  // written (the file must not change).
  [[nodiscard]] int64_t WriteAlone(const std::string& directory, const std::string& old_filename,
                     const std::string& new_filename);

  // What became of the file of intent `intent`: renamed to `final_filename`
  // (the name on the disk, unique number included; empty: the name of the
  // intent; `replaced`: it took the place of another file), or not renamed,
  // with the run-time error number. `after`: the renamed file's identity,
  // read right after the rename (what an undo trusts over the intent's).
  void Completed(int64_t intent, bool renamed, std::string_view final_filename, bool replaced,
                 int error_number, const FileIdentity* after = nullptr);

  // The same for a file renamed where birth times are kept, whose identity
  // is read later, off the renaming thread (by the journal's own thread once
  // a group of them is waiting, else by the next Write or Close): `name` in
  // `directory` is its name now, and `renamed_from` the birth clock
  // (BirthClockNow) read before its rename began.
  void RenamedLookLater(int64_t intent, std::string_view final_filename, bool replaced,
                        int error_number, const std::string& directory, std::string_view name,
                        uint64_t renamed_from);

  // Writes the completions left, flushes and closes. The first error the
  // journal met, if any.
  RtError Close();
  // The first failure; once failed, nothing more is written.
  RtError error() const;
  // How many files the run said it renamed, and how many intents it noted.
  int64_t renamed() const { return renamed_.load(std::memory_order_relaxed); }
  int64_t intents() const { return next_intent_.load(std::memory_order_relaxed); }

 private:
  // With write_mutex_ held: writes `bytes` (and flushes when `sync`);
  // false (and error_ set) on failure.
  [[nodiscard]] bool WriteLocked(const std::string& bytes, bool sync);
  // With write_mutex_ held: writes the completions kept so far.
  [[nodiscard]] bool WriteCompletionsLocked();
  // With write_mutex_ held: makes the records of the files to look at later
  // in writing_ completions.
  void LookAtRenamedLocked();
  // The looker thread: writes the completions each time a group of files to
  // look at has gathered, until the journal closes.
  void LookWhileRunning();
  void StopLooking();
  void Fail(int err);

  UniqueFd fd_;
  std::string path_;
  // Puts the first record and the journal's name on the disk; the first
  // flush (write_mutex_) takes its result.
  std::future<int> opening_;
  FileId id_;
  bool with_attributes_ = false;
  bool note_taken_ = false;
  std::atomic<int64_t> next_intent_{0};
  std::atomic<int64_t> renamed_{0};
  std::mutex write_mutex_;    // the file itself
  mutable std::mutex mutex_;  // completions_ and error_
  std::string completions_;
  std::string writing_;  // completions on their way to the file (write_mutex_)
  int64_t look_later_ = 0;  // files to look at later in completions_ (mutex_)
  bool look_ = false;       // ... in writing_ (write_mutex_)
  std::string resolved_;    // (write_mutex_)
  DirectoryHandle look_dir_;  // (write_mutex_)
  std::thread looker_;
  std::condition_variable look_wake_;  // (mutex_)
  bool closing_ = false;               // (mutex_)
  std::mutex ids_mutex_;
  FolderIds ids_;  // for listed batches
  int error_ = 0;
};

// One file of a perform, as its journal tells it.
struct JournalEntry {
  int64_t intent = 0;
  std::string directory;     // ends in "/"
  std::string old_filename;  // the name before the run
  std::string new_filename;  // the name the run was about to give; empty: none
  bool id_known = false;
  FileIdentity id;
  bool has_attributes = false;
  SavedAttributes attributes;  // before the run, when has_attributes
  // The new name was taken by another file when the intent was noted, and
  // the run overwrites: the rename, if it happened, destroyed that file.
  bool takes_taken_name = false;
  // After the change, when the journal has it.
  bool completed = false;
  int64_t completion_order = -1;  // place among the completions
  bool renamed = false;
  bool replaced = false;       // the file took the place of another one
  std::string final_filename;  // when renamed
  int error_number = 0;        // when not renamed
  bool after_known = false;
  FileIdentity after;  // the file as the run left it, when after_known
  // The file the run changed: as it was read right after the rename where
  // the journal has that, else as the intent noted it.
  const FileIdentity& identity() const { return after_known ? after : id; }
};

// How far a journal could be read.
enum class JournalEnd {
  kWhole,    // every record whole
  kCut,      // it ends in the middle of a record
  kDamaged,  // records that do not check: `damaged` says how many
};

struct JournalContents {
  uint64_t started = 0;  // when the run began, nanoseconds since 1970; 0: not read
  std::string run_id;    // the run's own mark, from the first record
  bool used = false;     // an undo has put it back
  JournalEnd end = JournalEnd::kWhole;
  // Damage: records passed over, and where the reader found nothing more
  // that checks (-1: it read to the end).
  int64_t damaged = 0;
  int64_t unread_from = -1;
  // Intents the damage cost: files the run was about to change that the
  // journal no longer names (those known to be missing; more may follow an
  // unread end).
  int64_t lost_intents = 0;
  int64_t whole_size = 0;             // bytes up to the end of the last whole record
  std::vector<JournalEntry> entries;  // in the order of their intents
};

// Reads a journal from an open file, from its start. Not ok when the file
// cannot be read, or when its first record checks and is not a journal's.
RtError ReadJournal(int fd, JournalContents& contents);

// Sets the run's start to `started` (for a journal whose first record was
// lost, the time kept elsewhere): no file born after it can be one the run
// changed.
void BoundBirths(JournalContents& contents, uint64_t started);

// Marks the journal in the open file `fd` as put back, after its last whole
// record (`contents` as ReadJournal gave them): a second undo finds nothing to
// do. On the disk when it returns ok.
RtError MarkJournalUsed(int fd, const JournalContents& contents);

}  // namespace qtarvox
