// Files the program makes for itself (the report files and the operation
// list), made so that nothing another program or user planted in the work
// folder can redirect them: no symbolic or hard link is ever followed, no
// file the program did not create is ever emptied or written, and the folder
// is held by one run at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/descriptors.h"
#include "platform/rt_error.h"

namespace qtarvox {

// What makes a file itself, whatever its name: device and inode.
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
};

// The identity of an open file; false when it cannot be told.
[[nodiscard]] bool IdOfDescriptor(int fd, FileId& id);

// The identity of the entry at `path` itself (a symbolic link is not followed).
[[nodiscard]] bool IdOfPath(const std::string& path, FileId& id);

// Creates `folder` with every missing parent, private to the user (mode 0700),
// and checks that the program can create files in it. The result names the
// first failure.
RtError EnsurePrivateFolder(const std::string& folder);

// Whether users other than the owner of `folder` can write in it without the
// sticky bit, so that they could move or replace the files the program keeps
// there. A missing folder is not.
bool WritableByOthers(const std::string& folder);

// Checks that `folder` is a folder (not a link) of the user's own that no
// other user can write; EPERM otherwise.
RtError CheckOwnFolder(const std::string& folder);

// Removes the empty folder `folder`; false when it cannot be.
bool RemoveEmptyFolder(const std::string& folder);

// Makes a new, empty file private to the user under a name of its own in the
// folder of `path`, then moves it onto `path` in one step. Whatever had that
// name before (a file, a symbolic link, a hard link to another file) is only
// unlinked from the folder: its contents and anything it points to stay as
// they are. `fd` gets the new file, open for writing.
RtError CreateFileReplacing(const std::string& path, UniqueFd& fd);

// Puts `bytes` on the disk as the file at `path`, private to the user, in
// one step: they are written to a new file first, which then takes the
// name. Until it returns ok, `path` is as it was (a full disk leaves it).
RtError ReplaceFileWith(const std::string& path, std::string_view bytes);

// A new file in `folder` that has no name at all, open for reading and
// writing: nobody can open, change or replace it, and it is gone with its
// last descriptor, also when the program is killed.
RtError CreateUnnamedFile(const std::string& folder, int& fd);

// Removes `path` only while it is still the file `id` (a file removed or
// replaced meanwhile is left alone). False when nothing was removed.
bool RemoveIfSameFile(const std::string& path, const FileId& id);

// Whether `path` is one of `ids` (the entry itself; no link is followed).
bool IsOneOf(const std::string& path, const std::vector<FileId>& ids);

// An exclusive hold on a folder, shared with every other run of the program
// that uses the same folder, and released when the process ends in any way
// (so a run that died never blocks the next one).
class FolderLock {
 public:
  FolderLock() = default;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  enum class Result { kHeld, kBusy, kFailed };
  // Takes the folder, waiting up to `wait` while another run holds it.
  // kFailed leaves `error` set (the folder cannot be opened); on a file
  // system that cannot lock at all the folder counts as held.
  Result Acquire(const std::string& folder, std::chrono::milliseconds wait, RtError& error);
  void Release();
  bool held() const { return fd_.valid(); }

 private:
  UniqueFd fd_;
};

}  // namespace qtarvox
