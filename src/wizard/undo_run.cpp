#include "wizard/undo_run.h"

#include "run/undo.h"
#include "run/undo_history.h"
#include "run/undo_texts.h"

namespace qtarvox {

UndoRunEnd RunUndo(const UndoRunRequest& request) {
  UndoRequest undo;
  undo.preview = request.preview;
  undo.stop = request.stop;
  if (request.before_changes) {
    undo.before_changes = [&request](const UndoOutcome& so_far) {
      request.before_changes(UndoNotes(so_far));
    };
  }
  if (request.each_file) {
    undo.each_file = [&request](const UndoFileEvent& event) {
      UndoRunFile file;
      file.path = event.path;
      file.old_name = event.old_name;
      file.renamed = event.renamed;
      file.attributes = event.attributes;
      file.cause = event.cause;
      file.line = UndoFileLine(event, request.preview);
      request.each_file(file);
    };
  }
  UndoOutcome outcome = UndoLastPerform(undo);
  UndoRunEnd end;
  end.started = outcome.started;
  end.nothing = outcome.nothing;
  end.stopped = outcome.stopped;
  end.error_file_left = outcome.error_file_left;
  end.left = outcome.left > 0 || !outcome.overwritten.empty() ||
             outcome.journal_end == JournalEnd::kDamaged;
  if (outcome.started && !outcome.nothing) end.summary = UndoSummary(outcome, request.preview);
  end.problems = std::move(outcome.problems);
  return end;
}

bool ListUndoHistory(std::vector<UndoHistoryItem>& items, std::string& problem) {
  std::vector<HistoryLine> lines;
  if (const RtError err = ListHistory(lines)) {
    problem = kHistoryNotRead + HistoryFolder() + " (" + err.description + ")";
    return false;
  }
  items.clear();
  for (HistoryLine& line : lines) {
    items.push_back(
        {line.perform.started, std::move(line.perform.job), line.files, line.undone, line.damaged});
  }
  return true;
}

}  // namespace qtarvox
