// What the journal of a run notes about a file before it changes it, and what
// putting the file back needs: its identity, its attribute state exactly as
// the file system keeps it, finding it by identity in its folder, and a
// no-replace rename that takes a name byte for byte.
#pragma once

#include <cstdint>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_ops.h"
#include "platform/own_files.h"
#include "platform/rt_error.h"

namespace qtarvox {

// A file's identity as the journal keeps it: device and inode, and its birth
// time where it is known, so that an inode number freed and given to a new
// file is not taken for the old file. Where the birth time is not known, the
// file system's generation number of the inode tells a new file from the old
// one; where that is not known either, an identity read right after the run's
// last change to the file carries the file's status change time, modification
// time and size as a witness that a file made later can hardly share (on a
// file system that keeps whole seconds, only a file of the same size made in
// the same second could). Failing all of them, the moment by which the file
// was born at the latest serves.
struct FileIdentity {
  FileId id;
  uint64_t birth = 0;    // nanoseconds since 1970; 0: not known
  uint64_t born_by = 0;  // without `birth`: born by then at the latest; 0: not known
  uint64_t changed = 0;   // status change time, nanoseconds since 1970; 0: not known
  uint64_t modified = 0;  // modification time, nanoseconds since 1970
  uint64_t size = 0;
  uint32_t generation = 0;
  bool has_generation = false;
  // `changed`, `modified` and `size` were read right after the run's last
  // change: any other file, or this one changed since, differs in one.
  bool witnessed = false;

  // The same file: same device and inode, and nothing that tells them apart:
  // the same birth where both know it, else the same generation where both
  // know it, else the witness where one side has it, else not born later
  // than the other was at the latest.
  bool Same(const FileIdentity& other) const {
    if (!(id == other.id)) return false;
    if (birth != 0 && other.birth != 0) return birth == other.birth;
    if (has_generation && other.has_generation) return generation == other.generation;
    if (witnessed || other.witnessed) {
      return changed == other.changed && modified == other.modified && size == other.size;
    }
    const uint64_t known = birth != 0 ? birth : other.birth;
    const uint64_t bound = birth != 0 ? other.born_by : born_by;
    return known == 0 || bound == 0 || known <= bound;
  }
};

// The attributes of a file as the file system keeps them: the permission
// bits and the stored DOS attribute (present or not, its bytes as stored).
// Putting this back restores every bit an attribute action can change,
// including write bits of the group and others and a stored value in a form
// another program wrote.
struct SavedAttributes {
  uint32_t mode = 0;  // permission bits (07777)
  bool has_stored = false;
  std::string stored;
  bool operator==(const SavedAttributes&) const = default;
};

// The identity of `name` in `directory` (ending in "/"), the entry itself (a
// symbolic link is not followed), and its attribute state when `attributes`
// is given. `handle` keeps the directory open from one call to the next.
// 0 or an errno value.
[[nodiscard]] int ReadIdentityAndAttributes(DirectoryHandle& handle, const std::string& directory,
                                            const std::string& name, FileIdentity& identity,
                                            SavedAttributes* attributes);

// The identity of `name` in `directory` read right after the run's last
// change to the file, with the witness its times and size give. `handle`
// (may be null) keeps the directory open from one call to the next. 0 or an
// errno value.
[[nodiscard]] int ReadChangedIdentity(DirectoryHandle* handle, const std::string& directory,
                        const std::string& name, FileIdentity& identity);

// Now, by the clock file systems stamp birth times with (nanoseconds since
// 1970): a file born after this was read has a birth time no earlier.
uint64_t BirthClockNow();

// The identities of the entries of one folder at a time, from a single
// listing of it: for a caller that asks about many entries of the same folder
// in a row, a lookup instead of a system call for each (their birth is not
// known then). A name the listing lacks, or a folder whose listing does not
// give the files' own inode numbers (an overlay), is looked at by itself.
class FolderIds {
 public:
  FolderIds() = default;
  FolderIds(const FolderIds&) = delete;
  FolderIds& operator=(const FolderIds&) = delete;
  ~FolderIds();

  // As ReadIdentityAndAttributes without attributes. 0 or an errno value.
  [[nodiscard]] int Find(const std::string& directory, const std::string& name, FileIdentity& identity);

  // Starts listing `directory` on another thread, for the Find calls that
  // will come for it (the first folder of a walk, while the walk goes on).
  void ListAhead(const std::string& directory);

 private:
  struct Table {
    std::string directory;
    bool trusted = false;  // the listing's inode numbers are the files' own
    uint64_t device = 0;
    std::vector<std::pair<uint64_t, uint64_t>> inodes;  // hash of the name, inode; by hash
  };
  static Table Load(const std::string& directory);

  bool loaded_ = false;
  Table table_;
  std::future<Table> ahead_;
  std::string ahead_directory_;
  DirectoryHandle handle_;
};

// Sets the attributes of `path` (not following a symbolic link) back to
// `state`. 0 or an errno value.
[[nodiscard]] int RestoreAttributeState(const std::string& path, const SavedAttributes& state);

// The name under which the file `identity` stands in `directory`. 0, ENOENT
// when no entry is that file, or the error of reading the directory.
[[nodiscard]] int FindEntryById(const std::string& directory, const FileIdentity& identity, std::string& name);

// Renames `directory` + `from` to `directory` + `to` (the directory ends in
// "/"), never replacing anything, with both names taken byte for byte:
// unlike RenameNoReplace, no trailing dot of `to` is dropped. As
// RenameNoReplace, atomic through renameat2(RENAME_NOREPLACE), with
// link + unlink where a file system refuses the flag.
RtError RenameExactNoReplace(const std::string& directory, const std::string& from,
                             const std::string& to);

}  // namespace qtarvox
