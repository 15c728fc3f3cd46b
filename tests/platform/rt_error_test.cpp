#include "platform/rt_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace qtarvox {
namespace {

TEST(ErrorFromErrno, MapsSystemErrorsToRunTimeNumbers) {
  struct Case {
    int err;
    int number;
  };
  const Case cases[] = {
      {0, kErrNone},
      {ENOENT, kErrFileNotFound},
      {EEXIST, kErrFileExists},
      {EACCES, kErrAccessDenied},
      {EROFS, kErrAccessDenied},
      {ENAMETOOLONG, kErrBadFileName},
      {EIO, kErrDeviceIo},
      {EDQUOT, kErrDiskFull},
      {ENOMEDIUM, kErrDiskNotReady},
      {ENOTDIR, kErrPathNotFound},
      {ELOOP, kErrUntrappedBase + ELOOP},
  };
  for (const Case& c : cases) {
    const RtError error = ErrorFromErrno(c.err);
    EXPECT_EQ(error.number, c.number) << c.err;
    EXPECT_EQ(error.description, c.err == 0 ? "" : std::strerror(c.err)) << c.err;
  }
}

}  // namespace
}  // namespace qtarvox
