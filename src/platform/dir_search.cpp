#include "platform/dir_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/attributes.h"
#include "platform/chars.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

// A wildcard pattern prepared once and matched against many names. The DOS
// rules for a trailing "." and a trailing ".*" turn one pattern into at most a
// few plain patterns ("*" any run, "?" one non-dot character or none at a dot
// or the end), each matched without backtracking.
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view pattern) {
    Expand(pattern);
    if (std::any_of(alternatives_.begin(), alternatives_.end(),
                    [](const Alternative& a) { return !a.no_dot && a.chars == U"*"; })) {
      kind_ = Kind::kAll;
    } else if (alternatives_.size() == 1 && !alternatives_[0].no_dot) {
      const CharText& p = alternatives_[0].chars;
      if (!p.empty() && p[0] == U'*' && IsAsciiLiteral(p.substr(1))) {
        kind_ = Kind::kSuffix;
        for (size_t i = 1; i < p.size(); ++i) suffix_.push_back(static_cast<char>(p[i]));
      }
    }
  }

  bool Matches(std::string_view name) const {
    switch (kind_) {
      case Kind::kAll:
        return true;
      case Kind::kSuffix:
        if (name.size() < suffix_.size()) return false;
        if (const auto tail = name.substr(name.size() - suffix_.size()); IsAscii(tail)) {
          for (size_t i = 0; i < tail.size(); ++i) {
            if (ToUpperChar(static_cast<unsigned char>(tail[i])) !=
                static_cast<unsigned char>(suffix_[i])) {
              return false;
            }
          }
          return true;
        }
        // A non-ASCII character may upper-case to an ASCII one: decode.
        break;
      case Kind::kGeneral:
        break;
    }
    CharText chars = Decode(name);
    ToUpperInPlace(chars);
    const bool has_dot = chars.find(U'.') != CharText::npos;
    for (const Alternative& alternative : alternatives_) {
      if (alternative.no_dot && has_dot) continue;
      if (MatchPlain(alternative.chars, chars)) return true;
    }
    return false;
  }

 private:
  enum class Kind { kGeneral, kAll, kSuffix };

  struct Alternative {
    CharText chars;  // upper case, runs of "*" collapsed
    bool no_dot = false;
  };

  static bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  }

  static bool IsAsciiLiteral(std::u32string_view chars) {
    return std::all_of(chars.begin(), chars.end(),
                       [](char32_t c) { return c < 0x80 && c != U'*' && c != U'?'; });
  }

  void Expand(std::string_view pattern) {
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
      // "name.*" is "name.*" or "name"; so "*.*" is everything.
      Add(pattern, false);
      Expand(pattern.substr(0, pattern.size() - 2));
      return;
    }
    if (!pattern.empty() && pattern.back() == '.') {
      while (!pattern.empty() && pattern.back() == '.') pattern.remove_suffix(1);
      Add(pattern, true);
      return;
    }
    Add(pattern, false);
  }

  void Add(std::string_view pattern, bool no_dot) {
    Alternative alternative{Decode(pattern), no_dot};
    ToUpperInPlace(alternative.chars);
    auto& p = alternative.chars;
    p.erase(std::unique(p.begin(), p.end(),
                        [](char32_t a, char32_t b) { return a == U'*' && b == U'*'; }),
            p.end());
    alternatives_.push_back(std::move(alternative));
  }

  // Set-of-positions matcher: after each pattern element, `reach` marks the
  // name prefixes it can have consumed. Time is pattern length x name length.
  static bool MatchPlain(const CharText& pattern, const CharText& name) {
    const size_t n = name.size();
    std::vector<char> reach(n + 1, 0);
    std::vector<char> next(n + 1, 0);
    reach[0] = 1;
    for (const char32_t p : pattern) {
      std::fill(next.begin(), next.end(), 0);
      bool any = false;
      if (p == U'*') {
        char seen = 0;
        for (size_t j = 0; j <= n; ++j) {
          seen |= reach[j];
          next[j] = seen;
        }
        any = seen != 0;
      } else {
        for (size_t j = 0; j <= n; ++j) {
          if (!reach[j]) continue;
          if (p == U'?') {
            if (j == n || name[j] == U'.') {
              next[j] = 1;
            } else {
              next[j + 1] = 1;
            }
            any = true;
          } else if (j < n && name[j] == p) {
            next[j + 1] = 1;
            any = true;
          }
        }
      }
      if (!any) return false;
      reach.swap(next);
    }
    return reach[n] != 0;
  }

  std::vector<Alternative> alternatives_;
  Kind kind_ = Kind::kGeneral;
  std::string suffix_;  // kSuffix: the upper-case ASCII text after the "*"
};

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Attribute bits of one entry of the open directory `dir_fd`; kAttrInvalid
// when it vanished meanwhile. With `need_mode` false the entry type from the
// listing is trusted and no stat is made, which leaves the read-only bit out.
uint32_t EntryAttributes(int dir_fd, std::string_view prefix, const char* name, unsigned char type,
                         bool need_mode) {
  uint32_t mode = 0;
  if (type == DT_UNKNOWN || need_mode) {
    struct stat st;
    if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return kAttrInvalid;
    mode = st.st_mode;
  } else {
    mode = DTTOIF(type) | S_IWUSR;
  }
  // Only regular files and directories can carry user extended attributes.
  const uint32_t stored =
      S_ISREG(mode) || S_ISDIR(mode) ? ReadStoredAttributesAt(dir_fd, name, prefix) : 0;
  return ComposeAttributes(mode, name, stored);
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

constexpr uint32_t kAttrUnread = 0xFFFFFFFEu;

// One entry of a listing; its attributes are read only when a search needs them.
struct Candidate {
  std::string_view name;  // in the listing's pool, NUL-terminated
  unsigned char type;     // d_type
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
  ~AttributeReads() {
    Close();
    if (helper_.joinable()) helper_.join();
  }

  void Publish(Chunk chunk) {
    std::lock_guard lock(mutex_);
    chunks_.push_back(std::move(chunk));
    if (++published_ == 2 && share_ && std::thread::hardware_concurrency() >= 2) {
      try {
        helper_ = std::thread([this] { ReadWhatComes(); });
      } catch (const std::system_error&) {
        // No second thread: this one reads them all.
      }
    }
    ready_.notify_one();
  }

  // Reads what the helper has not taken; returns when every read is done.
  void Finish() {
    Close();
    ReadWhatComes();
    if (helper_.joinable()) helper_.join();
  }

 private:
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    ready_.notify_all();
  }

  void ReadWhatComes() {
    Chunk chunk;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return !chunks_.empty() || closed_; });
        if (chunks_.empty()) return;
        chunk = std::move(chunks_.front());
        chunks_.pop_front();
      }
      for (Candidate* c : chunk) {
        c->attributes = EntryAttributes(fd_, prefix_, c->name.data(), c->type, c->type == DT_DIR);
      }
    }
  }

  const int fd_;
  const std::string_view prefix_;
  const bool share_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Chunk> chunks_;
  size_t published_ = 0;
  bool closed_ = false;
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

  RtError Open(const std::string& directory) {
    prefix = WithTrailingSlash(directory);
    dir.reset(opendir(directory.empty() ? "." : directory.c_str()));
    return dir ? RtError{} : ErrorFromErrno(errno);
  }

  // Every entry, nothing more.
  RtError ReadAll(const std::string& directory) {
    if (RtError error = Open(directory)) return error;
    const RtError error = ForEachEntry(dir.get(), [&](const dirent& entry) {
      entries.push_back({pool.Add(entry.d_name), entry.d_type});
    });
    if (error) entries.clear();
    return error;
  }

  // Fills `wanted` with the entries `select(candidate)` picks, attributes
  // read and sorted by name. A directory's mode is always read (the
  // read-only bit decides whether a walk enters it); a file's is left out,
  // as no file filter looks at it.
  // With `files_stored_later`, a regular file's stored bits are not read
  // (they count as none): its caller reads them when it comes to the file.
  template <typename Select>
  RtError ReadSorted(const std::string& directory, Select select, bool share_reads = true,
                     bool files_stored_later = false) {
    if (RtError error = Open(directory)) return error;
    AttributeReads reads(dirfd(dir.get()), prefix, share_reads);
    AttributeReads::Chunk chunk;
    const RtError error = ForEachEntry(dir.get(), [&](const dirent& entry) {
      Candidate& c = entries.emplace_back(Candidate{pool.Add(entry.d_name), entry.d_type});
      if (!select(c)) return;
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

  // Sorts `wanted` by CompareNames: by sort key, ties by the names' bytes.
  // The first eight key bytes, held as a number, settle most comparisons.
  // A large listing is sorted in two halves at once, then merged.
  void SortByName() {
    // Below this many names a second thread would cost more than it saves.
    constexpr size_t kHalvesFrom = 16384;
    const size_t n = wanted.size();
    // Left unset: each half is first written by the thread that keys it.
    std::unique_ptr<Keyed[]> keyed(new Keyed[n]);
    TextPool keys;  // only while sorting
    const size_t half = n / 2;
    TextPool other_keys;
    std::thread other;
    if (n >= kHalvesFrom && std::thread::hardware_concurrency() >= 2) {
      try {
        other = std::thread([&] { SortKeyed(keyed.get(), half, n, other_keys); });
      } catch (const std::system_error&) {
        // No second thread: sorted here in one piece.
      }
    }
    const bool halves = other.joinable();
    if (halves) {
      struct Joined {
        std::thread& thread;
        ~Joined() { thread.join(); }
      } joined{other};
      SortKeyed(keyed.get(), 0, half, keys);
    } else {
      SortKeyed(keyed.get(), 0, n, keys);
    }
    if (halves) {
      std::inplace_merge(keyed.get(), keyed.get() + half, keyed.get() + n, KeyedBefore);
    }
    for (size_t i = 0; i < n; ++i) wanted[i] = keyed[i].c;
  }

  // Plain members only, so that an array of them is made without writing it.
  struct Keyed {
    uint64_t head;
    const char* key;
    size_t key_size;
    Candidate* c;
  };

  static bool KeyedBefore(const Keyed& a, const Keyed& b) {
    if (a.head != b.head) return a.head < b.head;
    const int order =
        std::string_view(a.key, a.key_size).compare(std::string_view(b.key, b.key_size));
    if (order != 0) return order < 0;
    return a.c->name < b.c->name;
  }

  // Keys entries [from, to) of `wanted` into `keyed`, keys kept in `keys`,
  // and sorts them there.
  void SortKeyed(Keyed* keyed, size_t from, size_t to, TextPool& keys) const {
    std::string key;
    for (size_t i = from; i < to; ++i) {
      Candidate* c = wanted[i];
      key.clear();
      AppendNameSortKey(c->name, key);
      uint64_t head = 0;
      for (size_t k = 0; k < 8; ++k) {
        head = (head << 8) | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0u);
      }
      const std::string_view kept = keys.Add(key);
      keyed[i] = {head, kept.data(), kept.size(), c};
    }
    std::sort(keyed + from, keyed + to, KeyedBefore);
  }

  static bool MaybeDirectory(const Candidate& c) {
    return c.type == DT_DIR || c.type == DT_UNKNOWN;
  }
};

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  return WildcardPattern(pattern).Matches(name);
}

bool HasWildcard(std::string_view pattern) {
  return pattern.find_first_of("*?") != std::string_view::npos;
}

bool PassesFilter(uint32_t attributes, SearchFilter filter) {
  if (attributes == kAttrInvalid || (attributes & kAttrSystem) != 0) return false;
  const bool directory = (attributes & kAttrDirectory) != 0;
  const bool hidden = (attributes & kAttrHidden) != 0;
  switch (filter) {
    case SearchFilter::kFiles:
      return !directory;
    case SearchFilter::kNormalFiles:
      return !directory && !hidden;
    case SearchFilter::kDirectories:
      return directory || !hidden;
  }
  return false;
}

RtError SearchDirectory(const std::string& directory, std::string_view pattern, SearchFilter filter,
                        std::vector<std::string>& names) {
  names.clear();
  Listing listing;
  const WildcardPattern matcher(pattern);
  // The name is matched first: the attributes cost system calls, and most
  // entries of a large folder usually fail the pattern.
  if (RtError error = listing.ReadSorted(
          directory, [&](const Candidate& c) { return matcher.Matches(c.name); })) {
    return error;
  }
  for (const Candidate* c : listing.wanted) {
    if (PassesFilter(c->attributes, filter)) names.emplace_back(c->name);
  }
  return {};
}

RtError CheckListable(const std::string& directory) {
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return ErrorFromErrno(errno);
  closedir(dir);
  return {};
}

RtError ListForWalk(const std::string& directory, const std::vector<std::string>& patterns,
                    bool with_subdirectories, WalkListing& out, bool share_reads,
                    bool files_stored_later) {
  out.files.assign(patterns.size(), {});
  out.subdirectories.clear();
  out.subdirectories_not_entered = 0;
  std::vector<WildcardPattern> matchers;
  matchers.reserve(patterns.size());
  for (const auto& pattern : patterns) matchers.emplace_back(pattern);
  // Every attribute the searches need is read in one batch; each name is
  // matched once (the first 64 patterns remember it).
  constexpr size_t kRemembered = 64;
  const auto matches = [&](const Candidate& c, size_t i) {
    return i < kRemembered ? (c.matches >> i & 1u) != 0 : matchers[i].Matches(c.name);
  };
  Listing listing;
  if (RtError error = listing.ReadSorted(
          directory,
          [&](Candidate& c) {
            bool any = false;
            for (size_t i = 0; i < matchers.size(); ++i) {
              if (i >= kRemembered) {
                any = any || matchers[i].Matches(c.name);
                continue;
              }
              if (matchers[i].Matches(c.name)) {
                c.matches |= uint64_t{1} << i;
                any = true;
              }
            }
            return any || (with_subdirectories && Listing::MaybeDirectory(c));
          },
          share_reads, files_stored_later)) {
    return error;
  }
  for (size_t i = 0; i < matchers.size(); ++i) {
    out.files[i].reserve(listing.wanted.size());
    for (const Candidate* c : listing.wanted) {
      if (PassesFilter(c->attributes, SearchFilter::kFiles) && matches(*c, i)) {
        out.files[i].push_back(c->name);
      }
    }
  }
  out.text = listing.pool.TakeBlocks();
  struct stat st;
  if (fstat(dirfd(listing.dir.get()), &st) == 0) {
    out.device = static_cast<uint64_t>(st.st_dev);
    out.inode = static_cast<uint64_t>(st.st_ino);
  }
  if (with_subdirectories) {
    for (const Candidate* c : listing.wanted) {
      if (!Listing::MaybeDirectory(*c)) continue;
      if (c->attributes == kAttrDirectory) {
        out.subdirectories.emplace_back(c->name);
      } else if ((c->attributes & kAttrDirectory) != 0 && (c->attributes & kAttrSystem) == 0) {
        ++out.subdirectories_not_entered;
      }
    }
  }
  return {};
}

RtError SearchPath(const std::string& path_with_pattern, SearchFilter filter,
                   std::vector<std::string>& names) {
  const size_t slash = path_with_pattern.rfind('/');
  if (slash == std::string::npos) return SearchDirectory("", path_with_pattern, filter, names);
  return SearchDirectory(path_with_pattern.substr(0, slash + 1),
                         std::string_view(path_with_pattern).substr(slash + 1), filter, names);
}

RtError ReadDirectory(const std::string& directory, std::vector<DirEntry>& entries,
                      bool with_read_only) {
  entries.clear();
  Listing listing;
  if (RtError error = listing.ReadAll(directory)) return error;
  const int fd = dirfd(listing.dir.get());
  listing.entries.ForEach([&](const Candidate& c) {
    const uint32_t attributes =
        EntryAttributes(fd, listing.prefix, c.name.data(), c.type, with_read_only);
    if (attributes != kAttrInvalid) entries.push_back({std::string(c.name), attributes});
  });
  return {};
}

RtError ReadDirectoryTypes(const std::string& directory, std::vector<DirEntry>& entries) {
  entries.clear();
  Listing listing;
  if (RtError error = listing.ReadAll(directory)) return error;
  const int fd = dirfd(listing.dir.get());
  listing.entries.ForEach([&](const Candidate& c) {
    if (c.type == DT_UNKNOWN) {
      const uint32_t attributes = EntryAttributes(fd, listing.prefix, c.name.data(), c.type, true);
      if (attributes != kAttrInvalid) entries.push_back({std::string(c.name), attributes, true});
      return;
    }
    const uint32_t mode = DTTOIF(c.type) | S_IWUSR;
    const uint32_t attributes = ComposeAttributes(mode, c.name, 0);
    entries.push_back({std::string(c.name), attributes, false});
  });
  return {};
}

RtError ListSubdirectories(const std::string& directory, std::vector<std::string>& names) {
  names.clear();
  std::vector<DirEntry> entries;
  if (RtError error = ReadDirectoryTypes(directory, entries)) return error;
  for (DirEntry& entry : entries) {
    if ((entry.attributes & kAttrDirectory) != 0 && (entry.attributes & kAttrSystem) == 0) {
      names.push_back(std::move(entry.name));
    }
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
  return {};
}

}  // namespace qtarvox
