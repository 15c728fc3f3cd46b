#include "selection/individual_files.h"

#include <memory>

#include "engine/numbering.h"
#include "engine/transform.h"
#include "platform/paths.h"
#include "selection/pass_stages.h"
#include "selection/walk.h"

namespace qtarvox {

void SplitFileEntry(const std::string& entry, std::string& directory, std::string& filename) {
  // A name holds no slash, so where the directory is absolute the first
  // " * /" ends the name, even one that holds " * " itself.
  size_t sep = entry.find(std::string(kFileEntrySeparator) + '/');
  if (sep == std::string::npos) sep = entry.find(kFileEntrySeparator);
  if (sep != std::string::npos) {
    filename = entry.substr(0, sep);
    // Blanks belong to the path: a folder may end in one.
    directory = WithTrailingSlash(entry.substr(sep + 3));
    return;
  }
  if (const std::string_view folder = FolderWithSlash(entry); !folder.empty()) {
    directory = folder;
    filename = NameOfPath(entry);
    return;
  }
  const std::string cwd = CurrentDirectory();
  directory = cwd.empty() ? "./" : WithTrailingSlash(cwd);
  filename = entry;
}

void IndividualFilesPass(const JobSettings& job, RunState& run, EngineContext& context) {
  const bool combined =
      job.method == SelectionMethod::kDone || job.method == SelectionMethod::kBoth;
  const NumberingPass pass =
      combined ? NumberingPass::kCombinedIndividual : NumberingPass::kIndividual;
  std::unique_ptr<TransformPlan> own_plan;
  if (context.plan == nullptr) own_plan = std::make_unique<TransformPlan>(job);
  const TransformPlan& plan = context.plan != nullptr ? *context.plan : *own_plan;
  std::string filename;
  size_t i = 0;
  // The list is read as it stands at each step, as the engine never changes it.
  RunPass({job, run, context, plan, pass, false, false}, [&](PassFile& file, int32_t&) {
    if (i >= job.lstFile.size()) return false;
    SplitFileEntry(job.lstFile[i], file.directory, filename);
    SplitFilename(filename, file.name, file.extension);
    // Numbered all the same, so the files after it get the numbers they
    // would have had.
    file.skip = IsOwnWorkFile(context, file.directory, filename);
    ++i;
    return true;
  });
}

}  // namespace qtarvox
