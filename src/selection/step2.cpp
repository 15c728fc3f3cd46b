#include "selection/step2.h"

namespace qtarvox {

SelectionMethod MethodForGivenFiles(const JobSettings& job) {
  if (job.FilesGivenIndividually && job.FilesGivenByExtension) return SelectionMethod::kBoth;
  if (job.FilesGivenByExtension) return SelectionMethod::kExtension;
  return SelectionMethod::kIndividual;
}

const char* Step2Failure(const JobSettings& job) {
  const bool directories = !job.lstDir.empty();
  const bool files = !job.lstFile.empty();
  const bool extensions = !job.lstExt.empty();
  switch (job.method) {
    case SelectionMethod::kBoth:
      return nullptr;
    case SelectionMethod::kExtension:
      if (!directories) return kNoDirectories;
      return extensions ? nullptr : kNoExtensions;
    case SelectionMethod::kIndividual:
      return files ? nullptr : kNoFiles;
    case SelectionMethod::kDone:
    case SelectionMethod::kNone:
      break;
  }
  return files || (directories && extensions) ? nullptr : kNoSelection;
}

}  // namespace qtarvox
