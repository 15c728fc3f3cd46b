// Reading and writing open files: whole buffers, retried where the system
// stops early, with errno values as results (0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qtarvox {

// Writes all of `bytes`; `written` tells how far it got.
int WriteAll(int fd, std::string_view bytes, size_t& written);

// Reads up to `size` bytes into `into`; `got` is 0 at the end of the file.
int ReadSome(int fd, char* into, size_t size, size_t& got);

// Moves to the start of the file.
int Rewind(int fd);

// Starts the disk writes of what was written since `offset`, and moves
// `offset` to the end. Only a hint: where it is refused, the kernel writes later.
void StartWriteback(int fd, int64_t& offset);

// Closes the descriptor; a file system may only now report a failed write.
int CloseDescriptor(int fd);

}  // namespace qtarvox
