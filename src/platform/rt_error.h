// Run-time error numbers: every operating-system call of the program reports
// its outcome as one of these numbers (0 = success) with a description.
#pragma once

#include <string>

namespace qtarvox {

enum ErrorNumber : int {
  kErrNone = 0,
  kErrPreviewFull = 7,
  kErrBadFileName = 52,
  kErrFileNotFound = 53,
  kErrFileExists = 58,
  kErrDeviceIo = 57,
  kErrDiskFull = 61,
  kErrDiskNotReady = 71,
  kErrAccessDenied = 75,
  kErrPathNotFound = 76,
  kErrSetAttribute = 200,
  kErrUntrappedBase = 1000,  // 1000 + errno for everything not mapped above
};

// A call that can fail returns one; dropping it unread is a compile error.
struct [[nodiscard]] RtError {
  int number = kErrNone;
  std::string description;

  bool ok() const { return number == kErrNone; }
  explicit operator bool() const { return number != kErrNone; }
};

// The descriptions of the program's own error numbers.
inline constexpr const char* kDescPreviewFull = "Preview box is full";
inline constexpr const char* kDescAttribute = "Setting the file attribute failed";
inline constexpr const char* kDescNoFreeNumber = "No free unique number was found";
inline constexpr const char* kDescLineBreakInName = "File name holds a line break";
inline constexpr const char* kDescTakenBefore = "The file was renamed before in this run";
inline constexpr const char* kDescReplacedBefore =
    "The file was replaced by another file of this run";

// The run-time error number of an errno value, e.g. ENOENT -> 53.
int ErrorNumberOfErrno(int err);

// The cause an Error-file block gives for an error number.
const char* CauseText(int number);

// An RtError for an errno value, described by strerror's text.
RtError ErrorFromErrno(int err);

// An RtError with a number of the program's own and its description.
RtError MakeError(int number, std::string description);

}  // namespace qtarvox
