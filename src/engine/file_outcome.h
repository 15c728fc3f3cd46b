// What became of one file in a perform, or would become of it in a plan: told
// to whoever listens, file by file in the order the run takes them.
#pragma once

#include <cstdint>
#include <string_view>

namespace qtarvox {

enum class FileStatus {
  kRenamed,    // the file has its new name
  kUnchanged,  // its name stays (the actions gave it its own name)
  kSkipped,    // the new name was taken and "Do Not Rename" kept the old one
  kFailed,     // an error was logged for it in the Error file
};

// Attribute actions carried out on the file, as bits.
enum AttributeDone : uint8_t {
  kDoneReadOnly = 1,
  kDoneHidden = 2,
  kDoneArchive = 4,
  kDoneNormal = 8,
};

struct FileOutcome {
  FileStatus status = FileStatus::kUnchanged;
  std::string_view directory;     // ends in "/"
  std::string_view old_filename;  // the name it had
  std::string_view filename;      // the name it has afterwards
  // The name the actions gave it, when that name was taken (skipped, or a
  // unique number added); else empty.
  std::string_view taken;
  bool case_only = false;      // renamed to the same name in another case
  bool number_added = false;   // renamed with a unique number
  bool replaced = false;       // took the place of an existing file
  uint8_t attributes = 0;      // AttributeDone bits
  // The first error logged for it, 0: none. A renamed file whose attribute
  // action failed has one too.
  int error_number = 0;
  std::string_view error_description;
};

// Listens to the outcome of each file; called on the thread that commits.
class FileOutcomeSink {
 public:
  virtual ~FileOutcomeSink() = default;
  virtual void FileDone(const FileOutcome& outcome) = 0;
};

}  // namespace qtarvox
