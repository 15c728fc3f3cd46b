#include "platform/durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qtarvox {

int SyncData(int fd) {
  int result;
  do {
    result = ::fdatasync(fd);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

int SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  const int err = result == 0 ? 0 : errno;
  ::close(fd);
  // Some file systems cannot flush a folder by itself; their names go with
  // the next flush of a file.
  return err == EINVAL ? 0 : err;
}

int OpenOwnFile(const std::string& path, int& fd) {
  fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return errno == ELOOP ? EPERM : errno;
  struct stat st;
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1 ||
             (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    err = EPERM;
  }
  if (err != 0) {
    ::close(fd);
    fd = -1;
  }
  return err;
}

int TruncateTo(int fd, int64_t size) {
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) return errno;
  return ::lseek(fd, static_cast<off_t>(size), SEEK_SET) < 0 ? errno : 0;
}

}  // namespace qtarvox
