// What the command line prints of each file of a plan (--preview) or of a
// perform told to be verbose, and the summary line after a run.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "engine/file_outcome.h"
#include "run/outcome_marks.h"
#include "run/run_counts.h"

namespace qtarvox {

// The summary line.
inline constexpr const char* kSummaryPlan = "preview, nothing was changed: ";
inline constexpr const char* kSummaryProcessFile = "; Process file: ";
inline constexpr const char* kSummaryErrorFile = "; Error file: ";

enum class LineFormat {
  // "old path == new name", then each mark in parentheses; a line break in a
  // name shows as "?".
  kReadable,
  // Four fields, each ended by a NUL: old path, new name, status word, and
  // the marks separated by "; " (empty for a plain rename); names byte for byte.
  kNull,
};

// Appends the line of one file: its old path, the name it has after the run (or would
// have), and marks for attribute changes, a case-only change, a unique number,
// a replaced file, a skip, an unchanged name or the error logged.
void AppendOutcomeLine(std::string& line, const FileOutcome& outcome, LineFormat format);

// Counts the files by status and, when asked, prints each one's line.
class OutcomePrinter final : public OutcomeCounter {
 public:
  // `out` null: count only.
  OutcomePrinter(std::ostream* out, LineFormat format) : out_(out), format_(format) {}
  void FileDone(const FileOutcome& outcome) override;

 private:
  std::ostream* out_;
  LineFormat format_;
  std::string line_;
};

// CountsText, after the plan's words for a plan, then where the Process file
// (when not empty) and the Error file (when not empty) are.
std::string SummaryLine(const OutcomeCounter& counts, int32_t folders_not_entered, bool plan,
                        const std::string& process_file, const std::string& error_file);

}  // namespace qtarvox
