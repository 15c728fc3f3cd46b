#include "selection/pass_stages.h"

#include <atomic>

namespace qtarvox {
namespace {

// One more file is through; the view hears of it now and then.
void FileDone(RunState& run, const EngineContext& context) {
  constexpr int64_t kEvery = 1024;
  if (++run.FilesDone % kEvery == 0 && context.view != nullptr) {
    const int32_t listed =
        context.files_listed != nullptr ? context.files_listed->load(std::memory_order_relaxed) : 0;
    context.view->ShowProgress(run.FilesDone, run.FileCount + listed);
  }
}

// Asks for a prepared file's strings, which were written on the other core.
void PrefetchText(const PreparedFile& file) {
  for (const std::string* text : {&file.directory, &file.name, &file.extension, &file.filename,
                                  &file.step_lines, &file.new_filename}) {
    for (size_t at = 0; at < text->size(); at += 64) __builtin_prefetch(text->data() + at);
  }
}

// Asks for a prepared file itself (where its strings are).
void PrefetchFile(const PreparedFile& file) {
  const char* at = reinterpret_cast<const char*>(&file);
  for (size_t offset = 0; offset < sizeof file; offset += 64) __builtin_prefetch(at + offset);
}

}  // namespace

bool CommitBatch(const PassSetup& pass, const PreparedBatch& batch, int32_t& left_out) {
  // Written only when files were left out: the preparing side may read the
  // count for the numbers of individual files, which no walk leaves out.
  if (batch.left_out != 0) {
    pass.run.FileCount -= batch.left_out;
    left_out += batch.left_out;
  }
  const std::vector<PassFile>& files = batch.files;
  for (size_t i = 0; i < files.size(); ++i) {
    if (StopRequested(pass.context.stop)) return false;
    // The next files may have been prepared on the other core: ask for them
    // now, so they arrive while this file's rename is in the kernel.
    if (i + 2 < files.size()) PrefetchFile(files[i + 2]);
    if (i + 1 < files.size()) PrefetchText(files[i + 1]);
    if (!files[i].skip) RenamePreparedFile(pass.job, pass.run, pass.context, files[i]);
    FileDone(pass.run, pass.context);
  }
  return true;
}

bool CommitWaiting(const PassSetup& pass, PreparedQueue& queue, int32_t& left_out) {
  PreparedBatch batch;
  while (queue.TryPop(batch)) {
    if (!CommitBatch(pass, batch, left_out)) return false;
    queue.Recycle(std::move(batch));
  }
  return true;
}

}  // namespace qtarvox
