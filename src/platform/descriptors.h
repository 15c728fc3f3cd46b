// Open file descriptors: one owner for each, and reading and writing whole
// buffers, retried where the system stops early, with errno values as
// results (0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace qtarvox {

// The owner of an open file descriptor (-1: none), which closes it when it
// goes. Close() instead where the close's error matters: a file system may
// report a failed write only then.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Hands the descriptor over; this owns none after.
  int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor held, if any (its error is dropped), and takes `fd`.
  void reset(int fd = -1);
  // Closes the descriptor held: 0 or the close's errno value.
  [[nodiscard]] int Close();

 private:
  int fd_ = -1;
};

// Writes all of `bytes`; `written` tells how far it got.
[[nodiscard]] int WriteAll(int fd, std::string_view bytes, size_t& written);

// Reads up to `size` bytes into `into`; `got` is 0 at the end of the file.
[[nodiscard]] int ReadSome(int fd, char* into, size_t size, size_t& got);

// Moves to the start of the file.
[[nodiscard]] int Rewind(int fd);

// Starts the disk writes of what was written since `offset`, and moves
// `offset` to the end. Only a hint: where it is refused, the kernel writes later.
void StartWriteback(int fd, int64_t& offset);

// Closes the descriptor; a file system may only now report a failed write.
[[nodiscard]] int CloseDescriptor(int fd);

// Closes `fd` on a thread of its own, for a close that may take long (the
// last descriptor of a big file with no name left frees its blocks); here,
// where no thread can be started.
void CloseElsewhere(UniqueFd fd);

}  // namespace qtarvox
