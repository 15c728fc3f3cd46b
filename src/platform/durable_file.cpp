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
  const UniqueFd fd(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return errno;
  int result;
  do {
    result = ::fsync(fd.get());
  } while (result != 0 && errno == EINTR);
  const int err = result == 0 ? 0 : errno;
  // Some file systems cannot flush a folder by itself; their names go with
  // the next flush of a file.
  return err == EINVAL ? 0 : err;
}

int OpenOwnFile(const std::string& path, UniqueFd& fd) {
  fd.reset();
  UniqueFd opened(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!opened.valid()) return errno == ELOOP ? EPERM : errno;
  struct stat st;
  if (::fstat(opened.get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1 ||
      (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return EPERM;
  }
  fd = std::move(opened);
  return 0;
}

int TruncateTo(int fd, int64_t size) {
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) return errno;
  return ::lseek(fd, static_cast<off_t>(size), SEEK_SET) < 0 ? errno : 0;
}

}  // namespace qtarvox
