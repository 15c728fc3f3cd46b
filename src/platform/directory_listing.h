// One directory read once for the searches of dir_search.h: its entries'
// names in large blocks, the attributes a search needs read alongside the
// listing (on a second thread for a large folder), the wanted entries sorted
// by name.
#pragma once

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/attributes.h"
#include "platform/bounded_queue.h"
#include "platform/rt_error.h"

namespace qtarvox {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Attribute bits of one entry of the open directory `dir_fd`; kAttrInvalid
// when it vanished meanwhile. With `need_mode` false the entry type from the
// listing is trusted and no stat is made, which leaves the read-only bit out.
uint32_t EntryAttributes(int dir_fd, std::string_view prefix, const char* name, unsigned char type,
                         bool need_mode);

inline bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Calls `visit(entry)` for every entry except "." and "..".
template <typename Visit>
RtError ForEachEntry(DIR* dir, Visit visit) {
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) return ErrorFromErrno(errno);
      return {};
    }
    if (!IsDotOrDotDot(entry->d_name)) visit(*entry);
  }
}

// Names and sort keys of one listing, kept in large blocks: a big folder
// costs a few allocations rather than two for every name.
class TextPool {
 public:
  // A copy of `text`, followed by a NUL; valid as long as the pool.
  std::string_view Add(std::string_view text) {
    const size_t need = text.size() + 1;
    if (blocks_.empty() || block_size_ - used_ < need) {
      block_size_ = std::max(kBlockSize, need);
      blocks_.emplace_back(new char[block_size_]);
      used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = '\0';
    used_ += need;
    return {at, text.size()};
  }

  // Hands the blocks over; what was added stays where it is.
  std::vector<std::unique_ptr<char[]>> TakeBlocks() {
    block_size_ = used_ = 0;
    return std::move(blocks_);
  }

 private:
  static constexpr size_t kBlockSize = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t block_size_ = 0;
  size_t used_ = 0;
};

inline constexpr uint32_t kAttrUnread = 0xFFFFFFFEu;

// One entry of a listing; its attributes are read only when a search needs them.
struct Candidate {
  std::string_view name;  // in the listing's pool, NUL-terminated
  unsigned char type;     // d_type
  bool wanted = false;    // picked by the listing's selection
  uint64_t matches = 0;   // which of the first 64 patterns of a walk match it
  uint32_t attributes = kAttrUnread;
};

// The attribute reads of a listing. They are most of the cost of listing a
// large folder and each one waits on the kernel alone, so from the second
// batch on they are shared with a second thread: it starts on the first
// entries while this thread still reads the directory, and goes on while the
// names are sorted. Only the `attributes` of the entries are written there.
class AttributeReads {
 public:
  using Chunk = std::vector<Candidate*>;
  static constexpr size_t kChunkSize = 128;

  AttributeReads(int dir_fd, std::string_view prefix, bool share)
      : fd_(dir_fd), prefix_(prefix), share_(share) {}
  AttributeReads(const AttributeReads&) = delete;
  AttributeReads& operator=(const AttributeReads&) = delete;
  ~AttributeReads();

  void Publish(Chunk chunk);

  // Reads what the helper has not taken; returns when every read is done.
  void Finish();

 private:
  void ReadWhatComes();

  const int fd_;
  const std::string_view prefix_;
  const bool share_;
  BoundedQueue<Chunk> chunks_;  // never full: publishing never waits
  size_t published_ = 0;        // the publishing thread's own
  std::thread helper_;
};

// The entries of a listing in large blocks: an entry never moves once made
// (it may be read on another thread meanwhile), and a big folder costs a few
// allocations rather than one for every dozen entries.
class CandidateList {
 public:
  Candidate& emplace_back(Candidate c) {
    if (blocks_.empty() || used_ == BlockSize(blocks_.size() - 1)) {
      blocks_.emplace_back(new Candidate[BlockSize(blocks_.size())]);
      used_ = 0;
    }
    Candidate& slot = blocks_.back()[used_++];
    slot = c;
    return slot;
  }
  Candidate& push_back(Candidate c) { return emplace_back(c); }
  void clear() {
    blocks_.clear();
    used_ = 0;
  }

  template <typename Visit>
  void ForEach(Visit visit) const {
    for (size_t b = 0; b < blocks_.size(); ++b) {
      const size_t count = b + 1 == blocks_.size() ? used_ : BlockSize(b);
      for (size_t i = 0; i < count; ++i) visit(blocks_[b][i]);
    }
  }

 private:
  // Small blocks first, for the many small folders; large ones for a large folder.
  static size_t BlockSize(size_t block) { return size_t{256} << std::min<size_t>(block, 4); }

  std::vector<std::unique_ptr<Candidate[]>> blocks_;
  size_t used_ = 0;
};

// A directory read once, its handle kept open while attributes are read.
struct Listing {
  DirHandle dir;
  std::string prefix;
  TextPool pool;
  CandidateList entries;
  std::vector<Candidate*> wanted;

  RtError Open(const std::string& directory);

  // Every entry, nothing more.
  RtError ReadAll(const std::string& directory);

  // Fills `wanted` with the entries `select(candidate)` picks, attributes
  // read and sorted by name. A directory's mode is always read (the
  // read-only bit decides whether a walk enters it); a file's is left out,
  // as no file filter looks at it.
  // With `files_stored_later`, a regular file's stored bits are not read
  // (they count as none): its caller reads them when it comes to the file.
  template <typename Select>
  RtError ReadSorted(const std::string& directory, Select select, bool share_reads = true,
                     bool files_stored_later = false);

  // Sorts `wanted` by CompareNames: by sort key, ties by the names' bytes.
  // The first eight key bytes, held as a number, settle most comparisons.
  // A large listing is sorted in two halves at once, then merged.
  void SortByName();

  // Plain members only, so that an array of them is made without writing it.
  struct Keyed {
    uint64_t head;
    const char* key;
    size_t key_size;
    Candidate* c;
  };

  static bool KeyedBefore(const Keyed& a, const Keyed& b);

  // Keys entries [from, to) of `wanted` into `keyed`, keys kept in `keys`,
  // and sorts them there.
  void SortKeyed(Keyed* keyed, size_t from, size_t to, TextPool& keys) const;

  static bool MaybeDirectory(const Candidate& c) {
    return c.type == DT_DIR || c.type == DT_UNKNOWN;
  }
};

template <typename Select>
RtError Listing::ReadSorted(const std::string& directory, Select select, bool share_reads,
                            bool files_stored_later) {
  if (RtError error = Open(directory)) return error;
  AttributeReads reads(dirfd(dir.get()), prefix, share_reads);
  AttributeReads::Chunk chunk;
  const RtError error = ForEachEntry(dir.get(), [&](const dirent& entry) {
    Candidate& c = entries.emplace_back(Candidate{pool.Add(entry.d_name), entry.d_type});
    if (!select(c)) return;
    c.wanted = true;
    wanted.push_back(&c);
    if (files_stored_later && c.type == DT_REG) {
      c.attributes = ComposeAttributes(S_IFREG | S_IWUSR, c.name, 0);
      return;
    }
    chunk.push_back(&c);
    if (chunk.size() == AttributeReads::kChunkSize) {
      reads.Publish(std::move(chunk));
      chunk = {};
    }
  });
  if (!chunk.empty()) reads.Publish(std::move(chunk));
  if (!error) SortByName();
  reads.Finish();
  if (error) wanted.clear();
  return error;
}

}  // namespace qtarvox
