#include "platform/own_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/descriptors.h"
#include "platform/durable_file.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

FileId IdOf(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

std::string FolderOf(const std::string& path) {
  const std::string folder = ParentFolder(path);
  return folder.empty() ? "." : folder;
}

// A new file under a fresh name in the folder of `pattern` (which ends in
// "XXXXXX"); mkostemp never follows a link and never opens a file it did not create.
int CreateExclusive(std::string& pattern) {
  int fd;
  do {
    fd = mkostemp(pattern.data(), O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

bool IdOfDescriptor(int fd, FileId& id) {
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  id = IdOf(st);
  return true;
}

bool IdOfPath(const std::string& path, FileId& id) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return false;
  id = IdOf(st);
  return true;
}

RtError EnsurePrivateFolder(const std::string& folder) {
  if (folder.empty()) return ErrorFromErrno(ENOENT);
  // Every missing folder on the way is made, the outermost first.
  for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
    const std::string part = at == std::string::npos ? folder : folder.substr(0, at);
    if (!part.empty() && part.back() != '/' && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return ErrorFromErrno(errno);
    }
    if (at == std::string::npos) break;
  }
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) return ErrorFromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return ErrorFromErrno(ENOTDIR);
  if (access(folder.c_str(), W_OK | X_OK) != 0) return ErrorFromErrno(errno);
  return {};
}

bool WritableByOthers(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) return false;
  return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0;
}

RtError CheckOwnFolder(const std::string& folder) {
  struct stat st;
  if (lstat(folder.c_str(), &st) != 0) return ErrorFromErrno(errno);
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return ErrorFromErrno(EPERM);
  }
  return {};
}

bool RemoveEmptyFolder(const std::string& folder) { return rmdir(folder.c_str()) == 0; }

RtError CreateFileReplacing(const std::string& path, UniqueFd& fd) {
  fd.reset();
  std::string temporary = JoinPath(FolderOf(path), "." + std::string(NameOfPath(path)) + ".XXXXXX");
  UniqueFd made(CreateExclusive(temporary));
  if (!made.valid()) return ErrorFromErrno(errno);
  // What had the name is held across the rename, without opening it for
  // reading (a device or a pipe is not touched): where the rename takes its
  // last name, freeing its blocks is left to the close, which for the
  // Process file of an earlier run of many files takes milliseconds.
  UniqueFd before(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  // rename() replaces the name only: a link that stood there is not followed.
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int err = errno;
    unlink(temporary.c_str());
    return ErrorFromErrno(err);
  }
  constexpr off_t kSlowToFree = off_t{1} << 20;
  struct stat st;
  if (before.valid() && fstat(before.get(), &st) == 0 && S_ISREG(st.st_mode) &&
      st.st_nlink == 0 && st.st_size >= kSlowToFree) {
    CloseElsewhere(std::move(before));
  }
  fd = std::move(made);
  return {};
}

RtError ReplaceFileWith(const std::string& path, std::string_view bytes) {
  std::string temporary = JoinPath(FolderOf(path), "." + std::string(NameOfPath(path)) + ".XXXXXX");
  UniqueFd fd(CreateExclusive(temporary));
  if (!fd.valid()) return ErrorFromErrno(errno);
  size_t written = 0;
  int err = WriteAll(fd.get(), bytes, written);
  if (err == 0) err = SyncData(fd.get());
  if (const int closed = fd.Close(); closed != 0 && err == 0) err = closed;
  if (err == 0 && rename(temporary.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(temporary.c_str());
    return ErrorFromErrno(err);
  }
  return ErrorFromErrno(SyncFolder(FolderOf(path)));
}

RtError CreateUnnamedFile(const std::string& folder, int& fd) {
  fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) return {};
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return ErrorFromErrno(errno);
  // No unnamed files on this file system: a private one, unlinked at once.
  std::string temporary = JoinPath(folder, ".q-tarvox-list.XXXXXX");
  UniqueFd made(CreateExclusive(temporary));
  if (!made.valid()) return ErrorFromErrno(errno);
  if (unlink(temporary.c_str()) != 0) return ErrorFromErrno(errno);
  fd = made.release();
  return {};
}

bool RemoveIfSameFile(const std::string& path, const FileId& id) {
  FileId now;
  return IdOfPath(path, now) && now == id && unlink(path.c_str()) == 0;
}

bool IsOneOf(const std::string& path, const std::vector<FileId>& ids) {
  if (ids.empty()) return false;
  FileId id;
  if (!IdOfPath(path, id)) return false;
  for (const auto& other : ids) {
    if (other == id) return true;
  }
  return false;
}

FolderLock::~FolderLock() { Release(); }

void FolderLock::Release() { fd_.reset(); }

FolderLock::Result FolderLock::Acquire(const std::string& folder, std::chrono::milliseconds wait,
                                       RtError& error) {
  Release();
  UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) {
    error = ErrorFromErrno(errno);
    return Result::kFailed;
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) break;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) break;  // no locks on this file system: go on unguarded
    if (std::chrono::steady_clock::now() >= deadline) return Result::kBusy;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  fd_ = std::move(fd);
  return Result::kHeld;
}

}  // namespace qtarvox
