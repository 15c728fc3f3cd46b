#include "platform/rt_error.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace qtarvox {
namespace {

struct ErrnoMapping {
  int err;
  int number;
};

constexpr std::array<ErrnoMapping, 18> kErrnoTable{{
    {ENOENT, kErrFileNotFound},
    {EEXIST, kErrFileExists},
    {ENOTEMPTY, kErrFileExists},
    {EACCES, kErrAccessDenied},
    {EPERM, kErrAccessDenied},
    {EBUSY, kErrAccessDenied},
    {ETXTBSY, kErrAccessDenied},
    {EROFS, kErrAccessDenied},
    {EISDIR, kErrAccessDenied},
    {ENAMETOOLONG, kErrBadFileName},
    {EINVAL, kErrBadFileName},
    {EILSEQ, kErrBadFileName},
    {EIO, kErrDeviceIo},
    {ENOSPC, kErrDiskFull},
    {EDQUOT, kErrDiskFull},
    {ENXIO, kErrDiskNotReady},
    {ENODEV, kErrDiskNotReady},
    {ENOTDIR, kErrPathNotFound},
}};

}  // namespace

int ErrorNumberOfErrno(int err) {
  if (err == 0) return kErrNone;
  if (err == ENOMEDIUM) return kErrDiskNotReady;
  for (const auto& m : kErrnoTable) {
    if (m.err == err) return m.number;
  }
  return kErrUntrappedBase + err;
}

RtError ErrorFromErrno(int err) {
  if (err == 0) return {};
  return RtError{ErrorNumberOfErrno(err), std::strerror(err)};
}

RtError MakeError(int number, std::string description) {
  return RtError{number, std::move(description)};
}

}  // namespace qtarvox
