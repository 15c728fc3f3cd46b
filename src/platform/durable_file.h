// Files whose contents must survive a crash: flushing to the disk, and
// opening again a file the program made for itself earlier.
#pragma once

#include <cstdint>
#include <string>

#include "platform/descriptors.h"

namespace qtarvox {

// Waits until what was written to `fd` is on the disk, with what is needed to
// read it back (fdatasync). 0 or an errno value.
[[nodiscard]] int SyncData(int fd);

// Waits until the names in `folder` (a file made or replaced there) are on
// the disk. 0 or an errno value.
[[nodiscard]] int SyncFolder(const std::string& folder);

// Opens `path` for reading and appending, only when it is a regular file of
// this user's own that nobody else may write and that has no other name: a
// link or a file planted by someone else is refused (EPERM); a missing file
// gives ENOENT. 0 or an errno value; `fd` gets the open file.
[[nodiscard]] int OpenOwnFile(const std::string& path, UniqueFd& fd);

// Cuts the file to `size` bytes and moves to its end.
[[nodiscard]] int TruncateTo(int fd, int64_t size);

}  // namespace qtarvox
