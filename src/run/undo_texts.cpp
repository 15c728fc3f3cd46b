#include "run/undo_texts.h"

#include <ctime>

#include "engine/report_file.h"
#include "run/undo.h"
#include "platform/work_folder.h"

namespace qtarvox {

std::vector<std::string> UndoNotes(const UndoOutcome& so_far) {
  std::vector<std::string> notes;
  if (so_far.journal_end == JournalEnd::kCut) notes.emplace_back(kJournalCutNote);
  if (so_far.journal_end == JournalEnd::kDamaged) {
    std::string damage = kJournalDamaged + HistoryJournalPath(so_far.perform.number) +
                         kJournalDamagedRecords + std::to_string(so_far.damaged) +
                         kJournalDamagedCount;
    if (so_far.unread_from >= 0) {
      damage += kJournalUnreadFrom + std::to_string(so_far.unread_from) + kJournalUnreadEnd;
    }
    notes.push_back(damage + kJournalDamagedLost + std::to_string(so_far.lost) +
                    kJournalDamagedLostEnd);
  }
  if (!so_far.overwritten.empty()) {
    notes.emplace_back(kOverwrittenNote);
    for (const auto& path : so_far.overwritten) notes.push_back(kUndoNoteIndent + path);
  }
  return notes;
}

std::string UndoFileLine(const UndoFileEvent& file, bool preview) {
  if (file.old_name.empty()) {
    return (preview ? kWouldBeLeft : kLeftAsItIs) + file.path + ": " + file.cause;
  }
  return file.path + " == " + file.old_name + (file.attributes ? kUndoAttributesRestored : "");
}

std::string UndoSummary(const UndoOutcome& outcome, bool preview) {
  return (preview ? kUndoWouldGive : kUndoGave) + std::to_string(outcome.put_back) + kUndoNames +
         std::to_string(outcome.restored) + kUndoAttributes + std::to_string(outcome.left) +
         kUndoLeft;
}

std::string ErrorsLoggedInText() { return kErrorsLoggedIn + WorkFilePath(kErrorFileName); }

std::string PerformTime(uint64_t nanoseconds, bool iso) {
  const std::time_t seconds = static_cast<std::time_t>(nanoseconds / 1000000000u);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, iso ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace qtarvox
