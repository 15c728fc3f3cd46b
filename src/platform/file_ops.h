// Renaming and deleting files without ever replacing one by accident.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/descriptors.h"
#include "platform/rt_error.h"

namespace qtarvox {

// Renames `directory` + `old_name` to `directory` + `new_name` (the directory
// ends in "/"). Never replaces an existing target: a taken name gives 58.
// Trailing dots of the new name are dropped ("a." is committed as "a"). A new
// name that is empty, "." or "..", or holds "/" gives 52. A rename that only
// changes the case of a name whose target is the file itself (a file system
// that ignores case) goes through a temporary name so the case really changes.
// Atomic through renameat2(RENAME_NOREPLACE); where a file system refuses the
// flag, link + unlink; only where hard links are refused too, check then rename.
class DirectoryHandle;
RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                        const std::string& new_name, DirectoryHandle* handle = nullptr);

// Keeps the directory of the latest rename open, so that a run of renames in
// one directory names entries relative to it instead of resolving the whole
// path every time (a tenth of a rename's cost in a deep tree). Only while the
// same directory is asked for again; one owner per run, never shared.
class DirectoryHandle {
 public:
  DirectoryHandle() = default;
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;
  // A descriptor of `directory`, or -1 when it cannot be opened (the caller
  // then goes by the full path, which reports the error).
  [[nodiscard]] int For(const std::string& directory);
  // Whether the file system holding `directory` keeps birth times (asked
  // once while the same directory is asked for again).
  bool KeepsBirthTimes(const std::string& directory);

 private:
  std::string path_;
  UniqueFd fd_;
  int keeps_birth_ = -1;  // -1: not asked yet for path_
};

// The name that RenameNoReplace gives a file for `new_name` (trailing dots dropped).
std::string CommittedName(const std::string& new_name);
// The same without a copy for the usual name that has no trailing dots; the
// other kind is made in `scratch`.
const std::string& CommittedName(const std::string& new_name, std::string& scratch);

// The move RenameNoReplace makes where the file system refuses the
// no-replace flag: link + unlink (as safe against a taken name), or, where
// hard links are refused too, a check then a rename. 0 or an errno value
// (EEXIST for a taken name); `from` and `to` are relative to `dir_fd`.
[[nodiscard]] int MoveNoReplaceWithoutFlag(int dir_fd, const char* from, const char* to);

// Whether anything has this path (the entry itself: a link counts, dangling or not).
bool EntryExists(const std::string& path);

// A path typed with blanks around it, which usually only separate it from
// what stands next to it: the text as it stands when an entry has that path
// (a file or folder name may begin or end with a blank), else trimmed, so it
// never names the entry next to the one meant. Blanks before the slash that
// begins an absolute path never belong to it.
std::string PathAsTyped(std::string_view text);

// Whether `name` names an entry of a directory by itself: not empty, not "."
// or "..", and holding neither "/" nor a NUL byte.
bool IsPlainName(std::string_view name);

// The error a rename from `old_name` to `committed_name` (the new name as
// committed, CommittedName) meets before it reaches the disk: 52 when either is
// not a plain name.
RtError CheckRenameNames(const std::string& old_name, const std::string& committed_name);

// Whether two different names differ only in case.
bool IsCaseOnlyChange(const std::string& old_name, const std::string& new_name);

// What a rename or a delete looks at of one entry, as lstat gives it (a final
// link is not followed).
struct EntryState {
  int error = 0;       // lstat's errno; 0 when the entry exists
  uint32_t mode = 0;   // type and permission bits
  uint32_t owner = 0;  // user id
  uint64_t device = 0;
  uint64_t inode = 0;

  bool exists() const { return error == 0; }
  bool SameEntry(const EntryState& other) const {
    return exists() && other.exists() && device == other.device && inode == other.inode;
  }
};
EntryState ReadEntryState(const std::string& path);

// What CheckDeletable says of an entry in this state.
RtError DeletableState(const EntryState& entry);

// What a change of names inside one directory depends on besides the names,
// read without changing anything.
struct DirectoryFacts {
  bool listable = false;  // it is a directory this user may list
  int write_error = 0;  // errno of a write-and-search access check; 0 when allowed
  bool read_only = false;  // its file system is mounted read-only
  bool sticky = false;     // only owners may move entries out of it
  uint32_t owner = 0;
  size_t name_max = 255;  // the longest name it takes, in bytes
};
DirectoryFacts ReadDirectoryFacts(const std::string& directory);

// The errno a rename or removal of `entry` inside a directory with `facts`
// meets for want of permission (EROFS, EACCES, EPERM), 0 when it is allowed.
int ChangeRefusal(const DirectoryFacts& facts, const EntryState& entry);

// Deletes one file. A read-only file (the read-only attribute) is refused as
// 75, and so is a directory; a missing file gives 53.
RtError DeleteFile(const std::string& path);

// Checks that DeleteFile(path) would be allowed (the file exists, is not a
// directory and is not read-only) without deleting it.
RtError CheckDeletable(const std::string& path);

// Renames `directory` + `old_name` onto the existing file `directory` +
// `new_name` in one atomic step, replacing it, after CheckDeletable on the
// target. Either both names are as before or the old file has the new name.
RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                        const std::string& new_name);

}  // namespace qtarvox
