// Direct access to the stored DOS attribute, as written here or by other programs.
#pragma once

#include <sys/xattr.h>
#include <unistd.h>

#include <string>

#include "platform/attributes.h"
#include "temp_dir.h"

namespace qtarvox {

// True when the file system of `dir` keeps user extended attributes.
inline bool UserXattrsWork(const TempDir& dir) {
  const std::string probe = dir.WriteFile(".xattr-probe");
  const bool works = setxattr(probe.c_str(), "user.qtarvox-probe", "1", 1, 0) == 0;
  unlink(probe.c_str());
  return works;
}

inline void StoreRawDosAttrib(const std::string& path, const std::string& value) {
  setxattr(path.c_str(), kDosAttribXattr, value.data(), value.size(), 0);
}

// The stored value, or "(none)" when there is none.
inline std::string RawDosAttrib(const std::string& path) {
  char buffer[512];
  const ssize_t n = lgetxattr(path.c_str(), kDosAttribXattr, buffer, sizeof buffer);
  return n < 0 ? std::string("(none)") : std::string(buffer, static_cast<size_t>(n));
}

}  // namespace qtarvox

#define QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir) \
  if (!::qtarvox::UserXattrsWork(dir))        \
  GTEST_SKIP() << "this file system keeps no user extended attributes"
