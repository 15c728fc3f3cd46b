#include "selection/passes.h"

#include <memory>
#include <string>

#include "engine/transform.h"
#include "platform/attributes.h"
#include "platform/paths.h"
#include "selection/pass_stages.h"
#include "selection/walk.h"

namespace qtarvox {
namespace {

// In a pass over a walk that left the system bit to it: whether a listed
// file has it, and so was never chosen.
class SystemFileCheck {
 public:
  SystemFileCheck(const JobSettings& job, const RunState& run, const EngineContext& context)
      : on_(SystemBitLeftToPass(job, run, context)) {}

  bool LeavesOut(const std::string& directory, const std::string& name,
                 const std::string& extension) {
    if (!on_) return false;
    filename_.assign(name).append(extension);
    return StoredSystemBit(directory_.For(directory), directory, filename_);
  }

 private:
  const bool on_;
  DirectoryHandle directory_;
  std::string filename_;
};

// Splits an operation-list line into directory (ending in "/"), name and extension.
void SplitListLine(const std::string& line, std::string& directory, std::string& name,
                   std::string& extension) {
  directory.assign(FolderWithSlash(line));
  SplitFilename(NameOfPath(line), name, extension);
}

}  // namespace

RtError OperationListPass(const JobSettings& job, RunState& run, EngineContext& context,
                          LineSource& reader) {
  std::unique_ptr<TransformPlan> own_plan;
  if (context.plan == nullptr) own_plan = std::make_unique<TransformPlan>(job);
  const TransformPlan& plan = context.plan != nullptr ? *context.plan : *own_plan;
  EngineContext ctx = context;
  ctx.plan = &plan;
  SystemFileCheck system_files(job, run, ctx);
  std::string line;
  const auto next = [&](PassFile& file, int32_t& left_out) {
    for (;;) {
      if (!reader.ReadLine(line)) return false;
      SplitListLine(line, file.directory, file.name, file.extension);
      if (!system_files.LeavesOut(file.directory, file.name, file.extension)) return true;
      ++left_out;
    }
  };
  RunPass({job, run, ctx, plan, NumberingPass::kOperationList, false, true}, next);
  return reader.error();
}

}  // namespace qtarvox
