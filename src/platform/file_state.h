// What the journal of a run notes about a file before it changes it, and what
// putting the file back needs: its identity, its attribute state exactly as
// the file system keeps it, finding it by identity in its folder, and a
// no-replace rename that takes a name byte for byte.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_ops.h"
#include "platform/own_files.h"
#include "platform/rt_error.h"

namespace qtarvox {

// A file's identity as the journal keeps it: device and inode, and its birth
// time where the file system keeps one, so that an inode number freed and
// given to a new file is not taken for the old file.
struct FileIdentity {
  FileId id;
  uint64_t birth = 0;  // nanoseconds since 1970; 0: not kept
  // The same file: same device and inode, and the same birth where both know it.
  bool Same(const FileIdentity& other) const {
    return id == other.id && (birth == 0 || other.birth == 0 || birth == other.birth);
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
int ReadEntryState(DirectoryHandle& handle, const std::string& directory, const std::string& name,
                   FileIdentity& identity, SavedAttributes* attributes);

// Sets the attributes of `path` (not following a symbolic link) back to
// `state`. 0 or an errno value.
int RestoreAttributeState(const std::string& path, const SavedAttributes& state);

// The name under which the file `identity` stands in `directory`. 0, ENOENT
// when no entry is that file, or the error of reading the directory.
int FindEntryById(const std::string& directory, const FileIdentity& identity, std::string& name);

// Renames `directory` + `from` to `directory` + `to` (the directory ends in
// "/"), never replacing anything, with both names taken byte for byte:
// unlike RenameNoReplace, no trailing dot of `to` is dropped. As
// RenameNoReplace, atomic through renameat2(RENAME_NOREPLACE), with
// link + unlink where a file system refuses the flag.
RtError RenameExactNoReplace(const std::string& directory, const std::string& from,
                             const std::string& to);

}  // namespace qtarvox
