#include "platform/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/chars.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

// A single path component that names an entry of the directory itself.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         std::memchr(name.data(), '/', name.size()) == nullptr &&
         std::memchr(name.data(), '\0', name.size()) == nullptr;
}

RtError BadName() { return MakeError(kErrBadFileName, std::strerror(EINVAL)); }

// Hard links are refused by this file system or for this kind of entry.
bool LinkRefused(int err) {
  return err == EPERM || err == EOPNOTSUPP || err == EXDEV || err == EMLINK || err == ENOSYS;
}

// Moves `from` to `to` (both relative to `dir_fd`) unless `to` exists; 0 or
// an errno value (EEXIST for a taken name, whatever the file system supports).
int MoveNoReplaceAt(int dir_fd, const char* from, const char* to) {
  if (renameat2(dir_fd, from, dir_fd, to, RENAME_NOREPLACE) == 0) return 0;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS) return err;
  return MoveNoReplaceWithoutFlag(dir_fd, from, to);
}

}  // namespace

int MoveNoReplaceWithoutFlag(int dir_fd, const char* from, const char* to) {
  // A hard link never replaces anything either, so link + unlink keeps the
  // move safe against a taken name.
  int err;
  if (linkat(dir_fd, from, dir_fd, to, 0) == 0) {
    if (unlinkat(dir_fd, from, 0) == 0) return 0;
    err = errno;
    unlinkat(dir_fd, to, 0);
    return err;
  }
  err = errno;
  if (!LinkRefused(err)) return err;

  // No hard links here (or a directory): check, then rename. Only this last
  // resort leaves a short window in which another program could take the name.
  struct stat st;
  if (fstatat(dir_fd, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  if (renameat(dir_fd, from, dir_fd, to) == 0) return 0;
  return errno;
}

namespace {

int MoveNoReplace(const std::string& from, const std::string& to) {
  return MoveNoReplaceAt(AT_FDCWD, from.c_str(), to.c_str());
}

bool SameEntry(const std::string& a, const std::string& b) {
  struct stat sa;
  struct stat sb;
  return lstat(a.c_str(), &sa) == 0 && lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// A name for a moment's stop on the way; a taken one just moves on to the next attempt.
std::string TemporaryName(int attempt) {
  return ".qtarvox-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
}

// The target "exists" because it is the source seen through a file system that
// ignores case: go through a temporary name so the new case is really written.
RtError RenameCaseOnly(const std::string& prefix, const std::string& from, const std::string& to) {
  std::string temporary;
  int err = EEXIST;
  for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
    temporary = prefix + TemporaryName(attempt);
    err = MoveNoReplace(from, temporary);
  }
  if (err != 0) return ErrorFromErrno(err);
  err = MoveNoReplace(temporary, to);
  if (err != 0) {
    MoveNoReplace(temporary, from);
    return ErrorFromErrno(err);
  }
  return {};
}

bool IsCaseOnlyChange(const std::string& old_name, const std::string& new_name) {
  return EqualsIgnoreCase(Decode(old_name), Decode(new_name));
}

}  // namespace

std::string CommittedName(const std::string& new_name) {
  size_t end = new_name.size();
  while (end > 0 && new_name[end - 1] == '.') --end;
  return new_name.substr(0, end);
}

const std::string& CommittedName(const std::string& new_name, std::string& scratch) {
  if (new_name.empty() || new_name.back() != '.') return new_name;
  scratch = CommittedName(new_name);
  return scratch;
}

DirectoryHandle::~DirectoryHandle() {
  if (fd_ >= 0) close(fd_);
}

int DirectoryHandle::For(const std::string& directory) {
  if (fd_ >= 0 && directory == path_) return fd_;
  if (fd_ >= 0) close(fd_);
  fd_ = open(directory.empty() ? "." : directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  path_ = directory;
  return fd_;
}

RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                        const std::string& new_name, DirectoryHandle* handle) {
  std::string scratch;
  const std::string& committed = CommittedName(new_name, scratch);
  if (!IsPlainName(committed) || !IsPlainName(old_name)) return BadName();
  const int dir_fd = handle != nullptr && committed != old_name ? handle->For(directory) : -1;
  if (dir_fd >= 0) {
    const int err = MoveNoReplaceAt(dir_fd, old_name.c_str(), committed.c_str());
    if (err == 0) return {};
    // A taken name may be the file itself under another case: the full-path
    // way below sorts that out.
    if (err != EEXIST) return ErrorFromErrno(err);
  }
  const std::string prefix = WithTrailingSlash(directory);
  const std::string from = prefix + old_name;
  if (committed == old_name) {
    // Nothing to move, but a file that is gone must not pass for renamed.
    struct stat st;
    return lstat(from.c_str(), &st) == 0 ? RtError{} : ErrorFromErrno(errno);
  }
  const std::string to = prefix + committed;
  const int err = dir_fd >= 0 ? EEXIST : MoveNoReplace(from, to);
  if (err == 0) return {};
  if (err == EEXIST && IsCaseOnlyChange(old_name, committed) && SameEntry(from, to)) {
    return RenameCaseOnly(prefix, from, to);
  }
  return ErrorFromErrno(err);
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string PathAsTyped(std::string_view text) {
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return trimmed;
  const size_t first = text.find_first_not_of(' ');
  if (text[first] == '/') text.remove_prefix(first);
  if (text.size() == trimmed.size()) return trimmed;
  std::string exact(text);
  return EntryExists(exact) ? exact : trimmed;
}

RtError CheckDeletable(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(st.st_mode)) return ErrorFromErrno(EISDIR);
  // The read-only attribute protects the file even from a user (root) whom
  // the permission bits would not stop.
  if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return ErrorFromErrno(EACCES);
  return {};
}

RtError DeleteFile(const std::string& path) {
  if (RtError error = CheckDeletable(path)) return error;
  if (unlink(path.c_str()) != 0) return ErrorFromErrno(errno);
  return {};
}

RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                        const std::string& new_name) {
  const std::string committed = CommittedName(new_name);
  if (!IsPlainName(committed) || !IsPlainName(old_name)) return BadName();
  const std::string prefix = WithTrailingSlash(directory);
  const std::string from = prefix + old_name;
  const std::string to = prefix + committed;
  // On a file system that ignores case the "target" may be the file itself,
  // which rename() would leave as it is.
  if (committed != old_name && IsCaseOnlyChange(old_name, committed) && SameEntry(from, to)) {
    return RenameNoReplace(directory, old_name, new_name);
  }
  if (RtError error = CheckDeletable(to)) return error;
  if (rename(from.c_str(), to.c_str()) != 0) return ErrorFromErrno(errno);
  return {};
}

}  // namespace qtarvox
