#include "platform/descriptors.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

namespace qtarvox {

void UniqueFd::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

int UniqueFd::Close() {
  if (fd_ < 0) return 0;
  return CloseDescriptor(release());
}

int WriteAll(int fd, std::string_view bytes, size_t& written) {
  written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    written += static_cast<size_t>(n);
  }
  return 0;
}

int ReadSome(int fd, char* into, size_t size, size_t& got) {
  ssize_t n;
  do {
    n = ::read(fd, into, size);
  } while (n < 0 && errno == EINTR);
  got = n > 0 ? static_cast<size_t>(n) : 0;
  return n < 0 ? errno : 0;
}

int Rewind(int fd) { return ::lseek(fd, 0, SEEK_SET) < 0 ? errno : 0; }

void StartWriteback(int fd, int64_t& offset) {
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  if (end <= offset) return;
  ::sync_file_range(fd, offset, end - offset, SYNC_FILE_RANGE_WRITE);
  offset = end;
}

int CloseDescriptor(int fd) { return ::close(fd) != 0 ? errno : 0; }

void CloseElsewhere(UniqueFd fd) {
  if (!fd.valid()) return;
  try {
    std::thread([fd = std::move(fd)]() mutable { fd.reset(); }).detach();
  } catch (const std::system_error&) {
    // The descriptor went back with the lambda, and closed there.
  }
}

}  // namespace qtarvox
