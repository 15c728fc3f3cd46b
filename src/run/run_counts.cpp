#include "run/run_counts.h"

namespace qtarvox {

void OutcomeCounter::FileDone(const FileOutcome& outcome) {
  switch (outcome.status) {
    case FileStatus::kRenamed:
      ++renamed;
      break;
    case FileStatus::kUnchanged:
      ++unchanged;
      break;
    case FileStatus::kSkipped:
      ++skipped;
      break;
    case FileStatus::kFailed:
      ++failed;
      break;
  }
  if (next_ != nullptr) next_->FileDone(outcome);
}

std::string FoldersNotEnteredText(int32_t folders_not_entered) {
  if (folders_not_entered <= 0) return {};
  return std::to_string(folders_not_entered) +
         (folders_not_entered == 1 ? kFolderNotEntered : kFoldersNotEntered);
}

std::string CountsText(const OutcomeCounter& counts, int32_t folders_not_entered) {
  std::string text = std::to_string(counts.renamed) + " " + kWordRenamed + ", " +
                     std::to_string(counts.unchanged) + " " + kWordUnchanged + ", " +
                     std::to_string(counts.skipped) + " " + kWordSkipped + ", " +
                     std::to_string(counts.failed) + " " + kWordFailed;
  if (folders_not_entered > 0) text += "; " + FoldersNotEnteredText(folders_not_entered);
  return text;
}

}  // namespace qtarvox
