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

struct CauseRow {
  int number;
  const char* text;
};

constexpr std::array<CauseRow, 5> kCauses{{
    {kErrPreviewFull,
     "Could not display preview for this file in text box because it is full."},
    {kErrBadFileName,
     "Could not rename file maybe because it was being worked on or was protected."},
    {kErrFileNotFound,
     "The file to be renamed was not found. This could be due to user either moving, renaming "
     "or deleting the file after process was started."},
    {kErrAccessDenied, "Could not rename file because it was in use/open or was protected."},
    {kErrSetAttribute,
     "There was a problem setting the file attribute. Possible reason is the file cannot be "
     "found."},
}};

constexpr const char* kCauseUntrapped = "Unknown...Untrapped error";

}  // namespace

const char* CauseText(int number) {
  for (const auto& row : kCauses) {
    if (row.number == number) return row.text;
  }
  return kCauseUntrapped;
}

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
