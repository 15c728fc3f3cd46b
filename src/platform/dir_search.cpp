#include "platform/dir_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/attributes.h"
#include "platform/chars.h"

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

std::string DirectoryPrefix(const std::string& directory) {
  if (directory.empty() || directory.back() == '/') return directory;
  return directory + "/";
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Attribute bits of one entry of the open directory `dir_fd`; kAttrInvalid
// when it vanished meanwhile. With `need_mode` false the entry type from the
// listing is trusted and no stat is made, which leaves the read-only bit out.
uint32_t EntryAttributes(int dir_fd, const std::string& prefix, const char* name,
                         unsigned char type, bool need_mode) {
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
      S_ISREG(mode) || S_ISDIR(mode) ? ReadStoredAttributesAt(dir_fd, name, prefix + name) : 0;
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

constexpr uint32_t kAttrUnread = 0xFFFFFFFEu;

// One entry of a listing; its attributes are read only when a search needs them.
struct Candidate {
  std::string name;
  unsigned char type;  // d_type
  uint32_t attributes = kAttrUnread;
};

// A directory read once, its handle kept open while attributes are read.
struct Listing {
  DirHandle dir;
  std::string prefix;
  std::vector<Candidate> entries;

  RtError Read(const std::string& directory) {
    prefix = DirectoryPrefix(directory);
    entries.clear();
    dir.reset(opendir(directory.empty() ? "." : directory.c_str()));
    if (!dir) return ErrorFromErrno(errno);
    const RtError error = ForEachEntry(dir.get(), [&](const dirent& entry) {
      entries.push_back({entry.d_name, entry.d_type});
    });
    if (error) entries.clear();
    return error;
  }

  // Reads the attributes of the entries in `wanted` that are not known yet
  // and sorts `wanted` by name meanwhile. A directory's mode is always read
  // (the read-only bit decides whether a walk enters it); a file's is left
  // out, as no file filter looks at it. Reading attributes is most of the
  // cost of listing a large folder and each read waits on the kernel alone,
  // so many reads are shared with a second thread, which starts on them while
  // this one sorts; the call returns only when every attribute is known.
  void ResolveAndSort(std::vector<Candidate*>& wanted) {
    std::vector<Candidate*> todo;
    for (Candidate* c : wanted) {
      if (c->attributes == kAttrUnread) todo.push_back(c);
    }
    const int fd = dirfd(dir.get());
    constexpr size_t kChunk = 32;
    std::atomic<size_t> next{0};
    const auto resolve = [&] {
      for (;;) {
        const size_t begin = next.fetch_add(kChunk, std::memory_order_relaxed);
        if (begin >= todo.size()) return;
        const size_t end = std::min(begin + kChunk, todo.size());
        for (size_t i = begin; i < end; ++i) {
          Candidate& c = *todo[i];
          c.attributes = EntryAttributes(fd, prefix, c.name.c_str(), c.type, c.type == DT_DIR);
        }
      }
    };
    constexpr size_t kShareFrom = 256;
    std::thread helper;
    if (todo.size() >= kShareFrom && std::thread::hardware_concurrency() >= 2) {
      try {
        helper = std::thread(resolve);
      } catch (const std::system_error&) {
        // No second thread: this one reads them all.
      }
    }
    SortByName(wanted);
    resolve();
    if (helper.joinable()) helper.join();
  }

  // Sorts by CompareNames, decoding each name once.
  static void SortByName(std::vector<Candidate*>& entries) {
    std::vector<std::pair<std::string, Candidate*>> keyed;
    keyed.reserve(entries.size());
    for (Candidate* c : entries) keyed.emplace_back(NameSortKey(c->name), c);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
      if (a.first != b.first) return a.first < b.first;
      return a.second->name < b.second->name;
    });
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = keyed[i].second;
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
  if (RtError error = listing.Read(directory)) return error;
  const WildcardPattern matcher(pattern);
  // The name is matched first: the attributes cost system calls, and most
  // entries of a large folder usually fail the pattern.
  std::vector<Candidate*> matched;
  for (auto& entry : listing.entries) {
    if (matcher.Matches(entry.name)) matched.push_back(&entry);
  }
  listing.ResolveAndSort(matched);
  for (const Candidate* c : matched) {
    if (PassesFilter(c->attributes, filter)) names.push_back(c->name);
  }
  return {};
}

RtError ListForWalk(const std::string& directory, const std::vector<std::string>& patterns,
                    bool with_subdirectories, WalkListing& out) {
  out.files.assign(patterns.size(), {});
  out.subdirectories.clear();
  Listing listing;
  if (RtError error = listing.Read(directory)) return error;
  std::vector<WildcardPattern> matchers;
  matchers.reserve(patterns.size());
  for (const auto& pattern : patterns) matchers.emplace_back(pattern);
  // Every attribute the searches need is read in one batch.
  std::vector<Candidate*> wanted;
  for (auto& entry : listing.entries) {
    if ((with_subdirectories && Listing::MaybeDirectory(entry)) ||
        std::any_of(matchers.begin(), matchers.end(),
                    [&](const WildcardPattern& m) { return m.Matches(entry.name); })) {
      wanted.push_back(&entry);
    }
  }
  listing.ResolveAndSort(wanted);
  for (size_t i = 0; i < matchers.size(); ++i) {
    for (const Candidate* c : wanted) {
      if (PassesFilter(c->attributes, SearchFilter::kFiles) && matchers[i].Matches(c->name)) {
        out.files[i].push_back(c->name);
      }
    }
  }
  if (with_subdirectories) {
    for (const Candidate* c : wanted) {
      if (Listing::MaybeDirectory(*c) && c->attributes == kAttrDirectory) {
        out.subdirectories.push_back(c->name);
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
  if (RtError error = listing.Read(directory)) return error;
  const int fd = dirfd(listing.dir.get());
  for (auto& c : listing.entries) {
    const uint32_t attributes =
        EntryAttributes(fd, listing.prefix, c.name.c_str(), c.type, with_read_only);
    if (attributes != kAttrInvalid) entries.push_back({std::move(c.name), attributes});
  }
  return {};
}

RtError ReadDirectoryTypes(const std::string& directory, std::vector<DirEntry>& entries) {
  entries.clear();
  Listing listing;
  if (RtError error = listing.Read(directory)) return error;
  const int fd = dirfd(listing.dir.get());
  for (auto& c : listing.entries) {
    if (c.type == DT_UNKNOWN) {
      const uint32_t attributes = EntryAttributes(fd, listing.prefix, c.name.c_str(), c.type, true);
      if (attributes != kAttrInvalid) entries.push_back({std::move(c.name), attributes, true});
      continue;
    }
    const uint32_t mode = DTTOIF(c.type) | S_IWUSR;
    const uint32_t attributes = ComposeAttributes(mode, c.name, 0);
    entries.push_back({std::move(c.name), attributes, false});
  }
  return {};
}

RtError ListPlainSubdirectories(const std::string& directory, std::vector<std::string>& names) {
  names.clear();
  Listing listing;
  if (RtError error = listing.Read(directory)) return error;
  // Only directories can qualify; other entries cost no system call.
  std::vector<Candidate*> dirs;
  for (auto& entry : listing.entries) {
    if (Listing::MaybeDirectory(entry)) dirs.push_back(&entry);
  }
  listing.ResolveAndSort(dirs);
  for (const Candidate* c : dirs) {
    if (c->attributes == kAttrDirectory) names.push_back(c->name);
  }
  return {};
}

}  // namespace qtarvox
