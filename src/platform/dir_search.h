// Directory search: the names of one directory that match a DOS wildcard
// pattern under an attribute filter, in a fixed order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt_error.h"

namespace qtarvox {

enum class SearchFilter {
  // Normal, read-only, hidden and archive files; no directories, no system entries.
  kFiles,
  // As kFiles, but no hidden files either.
  kNormalFiles,
  // Directories (never symbolic links) and normal files that are neither hidden nor system.
  kDirectories,
};

// True when `name` matches the DOS wildcard `pattern`, ignoring case:
// "*.*" means "*"; "*" any run of characters; "?" one character, or none at a
// dot or at the end of the name; a pattern ending in "." matches only names
// without a dot ("*." selects names without an extension); "name.*" also
// matches "name". Invalid UTF-8 bytes compare as themselves.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// True when the pattern holds "*" or "?".
bool HasWildcard(std::string_view pattern);

// Whether an entry with these attributes passes the filter.
bool PassesFilter(uint32_t attributes, SearchFilter filter);

// The names in `directory` matching `pattern` under `filter`, sorted by
// CompareNames (case-insensitive, ties by bytes). "." and ".." are never
// returned. A directory that cannot be read gives its error (53 when missing).
RtError SearchDirectory(const std::string& directory, std::string_view pattern, SearchFilter filter,
                        std::vector<std::string>& names);

// Whether `directory` can be opened for listing: its error as SearchDirectory
// would give it, without reading a single entry.
RtError CheckListable(const std::string& directory);

// As SearchDirectory, for a path whose last component is the pattern
// ("/home/me/docs/*.txt"); a path without "/" searches the current directory.
RtError SearchPath(const std::string& path_with_pattern, SearchFilter filter,
                   std::vector<std::string>& names);

// One entry of a directory with what its listing tells: its type and a
// leading dot, without the stored bits (those are read when needed).
struct ListedEntry {
  std::string_view name;
  uint32_t attributes = 0;
};

// What a directory walk needs of one directory, read from it once.
struct WalkListing {
  // Per pattern, as SearchDirectory(directory, pattern, SearchFilter::kFiles);
  // each name is followed by a NUL in `text`, which holds them all.
  std::vector<std::vector<std::string_view>> files;
  // When asked for: the subdirectories whose attribute value is exactly
  // "directory" (no read-only, hidden, system or archive bit; never a
  // symbolic link), sorted as SearchDirectory sorts.
  std::vector<std::string> subdirectories;
  // When subdirectories are asked for: the real directories left out of
  // them for a read-only, hidden or archive bit.
  int32_t subdirectories_not_entered = 0;
  // Where the names of `files` are kept: a large folder costs a few blocks,
  // not an allocation per name.
  std::vector<std::unique_ptr<char[]>> text;
  // The directory itself (st_dev, st_ino); 0, 0 when not known.
  uint64_t device = 0;
  uint64_t inode = 0;
  // When asked for: every entry of the directory, those the walk wants first
  // in their sorted order, then the others; names in `text`. Not filled
  // (`all_listed` false) where the file system does not tell the types.
  std::vector<ListedEntry> all;
  bool all_listed = false;
};

// Fills `out` from a single read of `directory`; a directory that cannot be
// read gives its error and an empty listing. `share_reads` false keeps the
// attribute reads on the calling thread (for a caller that already lists two
// directories at once). With `files_stored_later`, the stored bits of a file
// the listing reports as regular are not read: such a file is listed even
// when its system bit is set, and the caller must leave it out when it
// comes to it (StoredSystemBit). Reading them is most of a large folder's
// listing. With `with_all`, `out.all` lists every entry as well.
RtError ListForWalk(const std::string& directory, const std::vector<std::string>& patterns,
                    bool with_subdirectories, WalkListing& out, bool share_reads = true,
                    bool files_stored_later = false, bool with_all = false);

// The subdirectories of `directory` that a folder tree shows: real
// directories (never symbolic links), hidden ones included, sorted by
// CompareNames. A directory that cannot be read gives its error.
RtError ListSubdirectories(const std::string& directory, std::vector<std::string>& names);

// One directory entry with its attribute bits.
struct DirEntry {
  std::string name;
  uint32_t attributes = 0;
  bool complete = true;  // false: only what the listing tells (type, leading dot)
};

// Every entry of `directory` (except "." and "..") with its attributes, in
// directory order: the plain listing the walk's speed is measured against.
// Without `with_read_only` no entry is stat'ed where the listing tells its
// type, and the read-only bit (which no search filter looks at) is left out.
RtError ReadDirectory(const std::string& directory, std::vector<DirEntry>& entries,
                      bool with_read_only = true);

// Every entry with only what the listing itself tells: its type and a leading
// dot (complete = false), without a system call per entry where the file
// system reports types. Complete an entry with GetFileAttributes when needed.
RtError ReadDirectoryTypes(const std::string& directory, std::vector<DirEntry>& entries);

}  // namespace qtarvox
