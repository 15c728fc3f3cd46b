#include "platform/file_state.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/attributes.h"
#include "platform/descriptors.h"

namespace qtarvox {
namespace {

// The generation number of the regular file `name` in `dir_fd`, where the
// file system keeps one and the file can be opened for reading.
bool ReadGeneration(int dir_fd, const char* name, uint32_t& generation) {
  const UniqueFd fd(
      openat(dir_fd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return false;
  unsigned int value = 0;
  const bool known = ioctl(fd.get(), FS_IOC_GETVERSION, &value) == 0;
  if (known) generation = value;
  return known;
}

uint64_t Nanoseconds(const struct statx_timestamp& t) {
  return static_cast<uint64_t>(t.tv_sec) * 1000000000u + t.tv_nsec;
}

// The identity and type of `name` in `dir_fd`, the entry itself; 0 or an errno value.
int StatEntry(int dir_fd, const char* name, FileIdentity& identity, uint32_t& mode) {
  struct statx st;
  if (statx(dir_fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
            STATX_BASIC_STATS | STATX_BTIME, &st) != 0) {
    return errno;
  }
  identity = {};
  identity.id = {makedev(st.stx_dev_major, st.stx_dev_minor), st.stx_ino};
  identity.birth = (st.stx_mask & STATX_BTIME) != 0 ? Nanoseconds(st.stx_btime) : 0;
  identity.changed = (st.stx_mask & STATX_CTIME) != 0 ? Nanoseconds(st.stx_ctime) : 0;
  identity.modified = Nanoseconds(st.stx_mtime);
  identity.size = st.stx_size;
  // Without a birth time, the generation tells a file made anew on a freed
  // inode from the old one (not looked for on links and devices, which
  // opening could disturb).
  if (identity.birth == 0 && S_ISREG(st.stx_mode)) {
    identity.has_generation = ReadGeneration(dir_fd, name, identity.generation);
  }
  mode = st.stx_mode;
  return 0;
}

// The stored DOS attribute of `path` itself; 0, ENODATA when there is none,
// or another errno value.
int ReadStored(const std::string& path, std::string& value) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = lgetxattr(path.c_str(), kDosAttribXattr, buffer.data(), buffer.size());
    if (n >= 0) {
      value.assign(buffer.data(), static_cast<size_t>(n));
      return 0;
    }
    if (errno != ERANGE) return errno;
    const ssize_t size = lgetxattr(path.c_str(), kDosAttribXattr, nullptr, 0);
    if (size < 0) return errno;
    buffer.resize(static_cast<size_t>(size) + 1);
  }
}

bool NoUserXattrs(int err) { return err == ENODATA || err == ENOTSUP; }

}  // namespace

int ReadIdentityAndAttributes(DirectoryHandle& handle, const std::string& directory,
                              const std::string& name, FileIdentity& identity,
                              SavedAttributes* attributes) {
  const int dir_fd = handle.For(directory);
  uint32_t mode = 0;
  const int err = dir_fd >= 0 ? StatEntry(dir_fd, name.c_str(), identity, mode)
                              : StatEntry(AT_FDCWD, (directory + name).c_str(), identity, mode);
  if (err != 0 || attributes == nullptr) return err;
  attributes->mode = mode & 07777;
  attributes->stored.clear();
  attributes->has_stored = false;
  // Links and devices carry no user attribute the program could have set.
  if (!S_ISREG(mode) && !S_ISDIR(mode)) return 0;
  const int read = ReadStored(directory + name, attributes->stored);
  if (read == 0) {
    attributes->has_stored = true;
  } else if (!NoUserXattrs(read)) {
    return read;
  }
  return 0;
}

int ReadChangedIdentity(DirectoryHandle* handle, const std::string& directory,
                        const std::string& name, FileIdentity& identity) {
  const int dir_fd = handle != nullptr ? handle->For(directory) : -1;
  uint32_t mode = 0;
  const int err = dir_fd >= 0 ? StatEntry(dir_fd, name.c_str(), identity, mode)
                              : StatEntry(AT_FDCWD, (directory + name).c_str(), identity, mode);
  if (err == 0) identity.witnessed = identity.changed != 0;
  return err;
}

uint64_t BirthClockNow() {
  // The kernel stamps new files with its coarse clock.
  struct timespec now;
  if (clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0) return 0;
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

FolderIds::~FolderIds() {
  if (ahead_.valid()) ahead_.wait();
}

FolderIds::Table FolderIds::Load(const std::string& directory) {
  Table table;
  table.directory = directory;
  UniqueFd opened(
      open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!opened.valid()) return table;
  struct stat st;
  DIR* dir = fstat(opened.get(), &st) == 0 ? fdopendir(opened.get()) : nullptr;
  if (dir == nullptr) return table;
  // The listing owns the descriptor now; closedir closes it.
  const int fd = opened.release();
  table.device = static_cast<uint64_t>(st.st_dev);
  const std::hash<std::string_view> hash;
  std::string sample;  // a file to check the listing's inode numbers against
  uint64_t sample_inode = 0;
  bool whole = true;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      whole = errno == 0;
      break;
    }
    table.inodes.emplace_back(hash(entry->d_name), static_cast<uint64_t>(entry->d_ino));
    if (sample.empty() && entry->d_type == DT_REG) {
      sample = entry->d_name;
      sample_inode = static_cast<uint64_t>(entry->d_ino);
    }
  }
  FileIdentity checked;
  uint32_t mode = 0;
  table.trusted = whole && (sample.empty() || (StatEntry(fd, sample.c_str(), checked, mode) == 0 &&
                                               checked.id.inode == sample_inode &&
                                               checked.id.device == table.device));
  closedir(dir);
  std::sort(table.inodes.begin(), table.inodes.end());
  return table;
}

void FolderIds::ListAhead(const std::string& directory) {
  if (ahead_.valid() || (loaded_ && table_.directory == directory)) return;
  try {
    ahead_ = std::async(std::launch::async, [directory] { return Load(directory); });
    ahead_directory_ = directory;
  } catch (const std::system_error&) {
    // No further thread: the folder is listed when it is first asked about.
  }
}

int FolderIds::Find(const std::string& directory, const std::string& name, FileIdentity& identity) {
  if (!loaded_ || directory != table_.directory) {
    if (ahead_.valid() && ahead_directory_ == directory) {
      table_ = ahead_.get();
    } else {
      table_ = Load(directory);
    }
    loaded_ = true;
  }
  if (table_.trusted) {
    const uint64_t key = std::hash<std::string_view>()(name);
    const auto& inodes = table_.inodes;
    const auto at = std::lower_bound(inodes.begin(), inodes.end(), std::pair{key, uint64_t{0}});
    // Two names with the same hash are told apart by the file system.
    if (at != inodes.end() && at->first == key &&
        (at + 1 == inodes.end() || (at + 1)->first != key)) {
      identity = {{table_.device, at->second}, 0, 0};
      return 0;
    }
  }
  return ReadIdentityAndAttributes(handle_, directory, name, identity, nullptr);
}

int RestoreAttributeState(const std::string& path, const SavedAttributes& state) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return EPERM;
  std::string now;
  const int read = ReadStored(path, now);
  if (read != 0 && !NoUserXattrs(read)) return read;
  const bool has_now = read == 0;
  const mode_t mode = st.st_mode & 07777;
  if (has_now != state.has_stored || (has_now && now != state.stored)) {
    // Changing a user attribute needs write access, which the owner of a
    // read-only file lends to themselves for a moment.
    if ((mode & S_IWUSR) == 0 && chmod(path.c_str(), mode | S_IWUSR) != 0) return errno;
    const int changed = state.has_stored ? lsetxattr(path.c_str(), kDosAttribXattr,
                                                     state.stored.data(), state.stored.size(), 0)
                                         : lremovexattr(path.c_str(), kDosAttribXattr);
    if (changed != 0 && !(errno == ENODATA && !state.has_stored)) {
      const int err = errno;
      chmod(path.c_str(), mode);
      return err;
    }
  }
  if (chmod(path.c_str(), static_cast<mode_t>(state.mode)) != 0) return errno;
  return 0;
}

int FindEntryById(const std::string& directory, const FileIdentity& identity, std::string& name) {
  UniqueFd opened(
      open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!opened.valid()) return errno;
  DIR* dir = fdopendir(opened.get());
  if (dir == nullptr) return errno;
  // The listing owns the descriptor now; closedir closes it.
  const int dir_fd = opened.release();
  const auto is_it = [&](const char* candidate) {
    FileIdentity found;
    uint32_t mode = 0;
    return StatEntry(dir_fd, candidate, found, mode) == 0 && found.Same(identity);
  };
  // The listing's inode numbers settle most entries at once; where a file
  // system reports others there (an overlay), every entry is looked at.
  std::vector<std::string> others;
  int result = ENOENT;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) result = errno;
      break;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if (static_cast<uint64_t>(entry->d_ino) != identity.id.inode) {
      others.emplace_back(entry->d_name);
    } else if (is_it(entry->d_name)) {
      name = entry->d_name;
      result = 0;
      break;
    }
  }
  for (size_t i = 0; result == ENOENT && i < others.size(); ++i) {
    if (is_it(others[i].c_str())) {
      name = others[i];
      result = 0;
    }
  }
  closedir(dir);
  return result;
}

RtError RenameExactNoReplace(const std::string& directory, const std::string& from,
                             const std::string& to) {
  const auto plain = [](const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
  };
  if (!plain(from) || !plain(to)) return MakeError(kErrBadFileName, std::strerror(EINVAL));
  const UniqueFd dir(
      open(directory.empty() ? "." : directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!dir.valid()) return ErrorFromErrno(errno);
  int err = 0;
  if (renameat2(dir.get(), from.c_str(), dir.get(), to.c_str(), RENAME_NOREPLACE) != 0) {
    err = errno;
    if (err == EINVAL || err == ENOSYS) {
      err = MoveNoReplaceWithoutFlag(dir.get(), from.c_str(), to.c_str());
    }
  }
  return ErrorFromErrno(err);
}

}  // namespace qtarvox
