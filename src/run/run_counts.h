// The files of a run counted by what became of them, and the words that say it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/file_outcome.h"

namespace qtarvox {

// The status of a file, as the counts and --null name it.
inline constexpr const char* kWordRenamed = "renamed";
inline constexpr const char* kWordUnchanged = "unchanged";
inline constexpr const char* kWordSkipped = "skipped";
inline constexpr const char* kWordFailed = "failed";
// Folders the walk did not enter for their read-only or hidden attribute:
// the count, then one of the two.
inline constexpr const char* kFolderNotEntered = " folder not entered: read-only or hidden";
inline constexpr const char* kFoldersNotEntered = " folders not entered: read-only or hidden";

// Counts each file told by its status, then tells `next` (when given).
class OutcomeCounter : public FileOutcomeSink {
 public:
  explicit OutcomeCounter(FileOutcomeSink* next = nullptr) : next_(next) {}
  void FileDone(const FileOutcome& outcome) override;

  int64_t renamed = 0;
  int64_t unchanged = 0;
  int64_t skipped = 0;
  int64_t failed = 0;

 private:
  FileOutcomeSink* next_;
};

// "3 renamed, 1 unchanged, 0 skipped, 0 failed", then, when there are any,
// "; 2 folders not entered: read-only or hidden".
std::string CountsText(const OutcomeCounter& counts, int32_t folders_not_entered);

// "2 folders not entered: read-only or hidden"; empty for none.
std::string FoldersNotEnteredText(int32_t folders_not_entered);

}  // namespace qtarvox
