#include "cli/undo_command.h"

#include "cli/startup.h"
#include "engine/report_file.h"
#include "platform/own_files.h"
#include "platform/work_folder.h"
#include "run/undo.h"
#include "run/work_files.h"

namespace qtarvox {

namespace {
constexpr const char* kPrefix = "q-tarvox: ";
}  // namespace

int RunUndoCommand(bool preview, const std::vector<std::string>& rest, std::ostream& out,
                   std::ostream& err) {
  if (!rest.empty()) {
    err << kPrefix << kUndoTakesNoJob << '\n';
    return kExitNotStarted;
  }
  FolderLock work_folder;
  std::string busy;
  if (!TakeWorkFolder(work_folder, busy)) {
    err << kPrefix << busy << '\n';
    return kExitNotStarted;
  }
  const UndoOutcome outcome = UndoLastPerform(preview, [&](const UndoOutcome& so_far) {
    if (so_far.journal_end == JournalEnd::kCut) err << kPrefix << kJournalCutNote << '\n';
    if (so_far.journal_end == JournalEnd::kDamaged) err << kPrefix << kJournalDamagedNote << '\n';
    if (so_far.overwritten.empty()) return;
    err << kPrefix << kOverwrittenNote << '\n';
    for (const auto& path : so_far.overwritten) err << "  " << path << '\n';
    err.flush();
  });
  for (const auto& problem : outcome.problems) err << kPrefix << problem << '\n';
  if (!outcome.started) return kExitNotStarted;
  if (outcome.nothing) {
    err << kPrefix << kNothingToUndo << '\n';
    return outcome.problems.empty() ? kExitClean : kExitErrorFile;
  }
  for (const auto& line : outcome.lines) out << line << '\n';
  for (const auto& line : outcome.left_lines) err << kPrefix << kWouldBeLeft << line << '\n';
  err << kPrefix << (preview ? kUndoWouldGive : kUndoGave) << outcome.put_back << kUndoNames
      << outcome.restored << kUndoAttributes << outcome.left << kUndoLeft << '\n';
  if (outcome.error_file_left) {
    err << kPrefix << kErrorsLoggedIn << WorkFilePath(kErrorFileName) << '\n';
  }
  const bool left = outcome.left > 0 || !outcome.overwritten.empty();
  return left || !outcome.problems.empty() ? kExitErrorFile : kExitClean;
}

}  // namespace qtarvox
