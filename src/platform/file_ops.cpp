#include "platform/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/chars.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

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

}  // namespace

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

RtError CheckRenameNames(const std::string& old_name, const std::string& committed_name) {
  if (IsPlainName(committed_name) && IsPlainName(old_name)) return {};
  return MakeError(kErrBadFileName, std::strerror(EINVAL));
}

bool IsCaseOnlyChange(const std::string& old_name, const std::string& new_name) {
  if (old_name == new_name) return false;
  // Two ASCII names, the common case, are compared without decoding them.
  const auto ascii = [](const std::string& name) {
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(old_name) && ascii(new_name)) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return old_name.size() == new_name.size() &&
           std::equal(old_name.begin(), old_name.end(), new_name.begin(),
                      [&](char a, char b) { return upper(a) == upper(b); });
  }
  return EqualsIgnoreCase(Decode(old_name), Decode(new_name));
}

EntryState ReadEntryState(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return EntryState{errno};
  return EntryState{0, static_cast<uint32_t>(st.st_mode), static_cast<uint32_t>(st.st_uid),
                    static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

RtError DeletableState(const EntryState& entry) {
  if (!entry.exists()) return ErrorFromErrno(entry.error);
  if (S_ISDIR(entry.mode)) return ErrorFromErrno(EISDIR);
  // The read-only attribute protects the file even from a user (root) whom
  // the permission bits would not stop.
  if (S_ISREG(entry.mode) && (entry.mode & S_IWUSR) == 0) return ErrorFromErrno(EACCES);
  return {};
}

DirectoryFacts ReadDirectoryFacts(const std::string& directory) {
  DirectoryFacts facts;
  const char* path = directory.empty() ? "." : directory.c_str();
  struct stat st;
  if (stat(path, &st) == 0) {
    facts.sticky = (st.st_mode & S_ISVTX) != 0;
    facts.owner = static_cast<uint32_t>(st.st_uid);
    facts.listable = S_ISDIR(st.st_mode) && faccessat(AT_FDCWD, path, R_OK | X_OK, AT_EACCESS) == 0;
  }
  struct statvfs fs;
  if (statvfs(path, &fs) == 0) facts.read_only = (fs.f_flag & ST_RDONLY) != 0;
  // A directory that is not there is the rename's own error (the missing file).
  if (faccessat(AT_FDCWD, path, W_OK | X_OK, AT_EACCESS) != 0 && errno != ENOENT &&
      errno != ENOTDIR) {
    facts.write_error = errno;
  }
  const long name_max = pathconf(path, _PC_NAME_MAX);
  if (name_max > 0) facts.name_max = static_cast<size_t>(name_max);
  return facts;
}

int ChangeRefusal(const DirectoryFacts& facts, const EntryState& entry) {
  if (facts.read_only) return EROFS;
  if (facts.write_error != 0) return facts.write_error;
  if (facts.sticky) {
    const uint32_t user = static_cast<uint32_t>(geteuid());
    if (user != 0 && user != entry.owner && user != facts.owner) return EPERM;
  }
  return 0;
}

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

int DirectoryHandle::For(const std::string& directory) {
  if (fd_.valid() && directory == path_) return fd_.get();
  fd_.reset(open(directory.empty() ? "." : directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  path_ = directory;
  keeps_birth_ = -1;
  return fd_.get();
}

bool DirectoryHandle::KeepsBirthTimes(const std::string& directory) {
  const int fd = For(directory);
  if (fd < 0) return false;
  if (keeps_birth_ < 0) {
    struct statx st;
    keeps_birth_ = statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &st) == 0 &&
                   (st.stx_mask & STATX_BTIME) != 0 && st.stx_btime.tv_sec != 0;
  }
  return keeps_birth_ == 1;
}

RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                        const std::string& new_name, DirectoryHandle* handle) {
  std::string scratch;
  const std::string& committed = CommittedName(new_name, scratch);
  if (RtError error = CheckRenameNames(old_name, committed)) return error;
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

RtError CheckDeletable(const std::string& path) { return DeletableState(ReadEntryState(path)); }

RtError DeleteFile(const std::string& path) {
  if (RtError error = CheckDeletable(path)) return error;
  if (unlink(path.c_str()) != 0) return ErrorFromErrno(errno);
  return {};
}

RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                        const std::string& new_name) {
  const std::string committed = CommittedName(new_name);
  if (RtError error = CheckRenameNames(old_name, committed)) return error;
  const std::string prefix = WithTrailingSlash(directory);
  const std::string from = prefix + old_name;
  const std::string to = prefix + committed;
  // On a file system that ignores case the "target" may be the file itself,
  // which rename() would leave as it is.
  if (IsCaseOnlyChange(old_name, committed) && SameEntry(from, to)) {
    return RenameNoReplace(directory, old_name, new_name);
  }
  if (RtError error = CheckDeletable(to)) return error;
  if (rename(from.c_str(), to.c_str()) != 0) return ErrorFromErrno(errno);
  return {};
}

}  // namespace qtarvox
