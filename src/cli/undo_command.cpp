#include "cli/undo_command.h"

#include "cli/startup.h"
#include "platform/stop_signals.h"
#include "run/undo_texts.h"
#include "wizard/undo_run.h"
#include "wizard/work_folder_hold.h"

namespace qtarvox {

namespace {
constexpr const char* kPrefix = "q-tarvox: ";

int ListUndoHistory(bool null_separated, std::ostream& out, std::ostream& err) {
  std::vector<UndoHistoryItem> lines;
  if (std::string problem; !ListUndoHistory(lines, problem)) {
    err << kPrefix << problem << '\n';
    return kExitNotStarted;
  }
  if (lines.empty()) err << kPrefix << kHistoryEmpty << '\n';
  for (const auto& line : lines) {
    const char* state =
        line.damaged ? kStateDamaged : (line.undone ? kStateUndone : kStateNotUndone);
    if (null_separated) {
      out << PerformTime(line.started, true) << '\0' << line.files << '\0' << state << '\0'
          << line.job << '\0';
    } else {
      out << PerformTime(line.started, false) << "  " << line.files << " file(s)  " << state << "  "
          << line.job << '\n';
    }
  }
  return kExitClean;
}

// What the undo asks of the command line: its notes before the first change
// and, when shown, a line for each file.
UndoRunRequest RequestFor(const UndoCommand& command, std::ostream& out, std::ostream& err) {
  const bool preview = command.preview;
  const bool null_separated = command.null_separated;
  UndoRunRequest request;
  request.preview = preview;
  // Ctrl-C now stops the undo between two files.
  if (!preview) request.stop = &CatchStopSignals();
  request.before_changes = [&err = err](const std::vector<std::string>& notes) {
    for (const std::string& note : notes) {
      if (!note.starts_with(kUndoNoteIndent)) err << kPrefix;
      err << note << '\n';
    }
    err.flush();
  };
  if (preview || command.verbose) {
    request.each_file = [&out = out, &err = err, null_separated](const UndoRunFile& file) {
      const bool left = file.old_name.empty();
      if (null_separated) {
        const char* status =
            left ? kStatusLeft : (file.renamed ? kStatusRenamed : kStatusAttributes);
        const char* marks = left ? file.cause : (file.attributes ? kMarkAttributes : "");
        out << file.path << '\0' << file.old_name << '\0' << status << '\0' << marks << '\0';
      } else if (left) {
        err << kPrefix << file.line << '\n';
      } else {
        out << file.line << '\n';
      }
      out.flush();
    };
  }
  return request;
}

// Tells how the undo went and gives the exit code that says it.
int ReportUndo(const UndoRunEnd& outcome, const UndoCommand& command, std::ostream& err) {
  for (const auto& problem : outcome.problems) err << kPrefix << problem << '\n';
  if (!outcome.started) return kExitNotStarted;
  if (outcome.nothing) {
    err << kPrefix << kNothingToUndo << '\n';
    return outcome.problems.empty() ? kExitClean : kExitErrorFile;
  }
  if (!command.quiet) err << kPrefix << outcome.summary << '\n';
  if (outcome.error_file_left) err << kPrefix << ErrorsLoggedInText() << '\n';
  if (outcome.stopped > 0) {
    err << kPrefix << kUndoStopped << outcome.stopped << " (" << SignalName(outcome.stopped) << ")"
        << kUndoStoppedEnd << '\n';
    return kExitSignalBase + outcome.stopped;
  }
  return outcome.left || !outcome.problems.empty() ? kExitErrorFile : kExitClean;
}

}  // namespace

int RunUndoCommand(const UndoCommand& command, const std::vector<std::string>& rest,
                   std::ostream& out, std::ostream& err) {
  if (!rest.empty()) {
    err << kPrefix << kUndoTakesNoJob << '\n';
    return kExitNotStarted;
  }
  // Looking changes nothing: a missing work folder is not made.
  if ((command.preview || command.list) && !WorkFolderHold::FolderExists()) {
    err << kPrefix << (command.list ? kHistoryEmpty : kNothingToUndo) << '\n';
    return kExitClean;
  }
  WorkFolderHold work_folder;
  std::string busy;
  if (!work_folder.Take(busy)) {
    err << kPrefix << busy << '\n';
    return kExitNotStarted;
  }
  if (command.list) return ListUndoHistory(command.null_separated, out, err);
  return ReportUndo(RunUndo(RequestFor(command, out, err)), command, err);
}

}  // namespace qtarvox
