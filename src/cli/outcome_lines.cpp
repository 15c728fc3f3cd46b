#include "cli/outcome_lines.h"

#include <string_view>
#include <vector>

#include "engine/messages.h"

namespace qtarvox {
namespace {

// The window's preview marks (" (+r)") without their blank and parentheses.
std::string_view MarkWord(std::string_view mark) { return mark.substr(2, mark.size() - 3); }

std::vector<std::string> Marks(const FileOutcome& outcome) {
  std::vector<std::string> marks;
  const struct {
    uint8_t bit;
    const char* mark;
  } attributes[] = {{kDoneReadOnly, msg::kMarkReadOnly},
                    {kDoneHidden, msg::kMarkHidden},
                    {kDoneArchive, msg::kMarkArchive},
                    {kDoneNormal, msg::kMarkNormal}};
  for (const auto& a : attributes) {
    if ((outcome.attributes & a.bit) != 0) marks.emplace_back(MarkWord(a.mark));
  }
  if (outcome.case_only) marks.emplace_back(kMarkCaseOnly);
  if (outcome.number_added) {
    marks.push_back(kMarkNumberStart + std::string(outcome.taken) + kMarkNumberEnd);
  }
  if (outcome.replaced) marks.emplace_back(kMarkReplaces);
  if (outcome.status != FileStatus::kFailed && outcome.error_number != 0) {
    marks.push_back(kMarkErrorStart + std::to_string(outcome.error_number) + ": " +
                    std::string(outcome.error_description));
  }
  switch (outcome.status) {
    case FileStatus::kSkipped:
      marks.push_back(kMarkSkippedStart + std::string(outcome.taken));
      break;
    case FileStatus::kUnchanged:
      marks.emplace_back(kWordUnchanged);
      break;
    case FileStatus::kFailed:
      marks.push_back(kMarkErrorStart + std::to_string(outcome.error_number) + ": " +
                      std::string(outcome.error_description));
      break;
    case FileStatus::kRenamed:
      break;
  }
  return marks;
}

const char* StatusWord(FileStatus status) {
  switch (status) {
    case FileStatus::kRenamed:
      return kWordRenamed;
    case FileStatus::kUnchanged:
      return kWordUnchanged;
    case FileStatus::kSkipped:
      return kWordSkipped;
    case FileStatus::kFailed:
      return kWordFailed;
  }
  return kWordFailed;
}

// One line per file, whatever the names hold.
void AppendShown(std::string& line, std::string_view text) {
  for (const char c : text) line.push_back(c == '\r' || c == '\n' ? '?' : c);
}

}  // namespace

std::string OutcomeLine(const FileOutcome& outcome, LineFormat format) {
  const std::vector<std::string> marks = Marks(outcome);
  std::string line;
  if (format == LineFormat::kNull) {
    line.append(outcome.directory).append(outcome.old_filename).push_back('\0');
    line.append(outcome.filename).push_back('\0');
    line.append(StatusWord(outcome.status)).push_back('\0');
    for (size_t i = 0; i < marks.size(); ++i) line.append(i > 0 ? "; " : "").append(marks[i]);
    line.push_back('\0');
    return line;
  }
  AppendShown(line, outcome.directory);
  AppendShown(line, outcome.old_filename);
  line += msg::kFinalSep;
  AppendShown(line, outcome.filename);
  for (const auto& mark : marks) {
    line += " (";
    AppendShown(line, mark);
    line += ")";
  }
  line += '\n';
  return line;
}

void OutcomePrinter::FileDone(const FileOutcome& outcome) {
  OutcomeCounter::FileDone(outcome);
  if (out_ != nullptr) *out_ << OutcomeLine(outcome, format_);
}

std::string SummaryLine(const OutcomeCounter& counts, int32_t folders_not_entered, bool plan,
                        const std::string& process_file, const std::string& error_file) {
  std::string line = plan ? kSummaryPlan : "";
  line += CountsText(counts, folders_not_entered);
  if (!process_file.empty()) line += kSummaryProcessFile + process_file;
  if (!error_file.empty()) line += kSummaryErrorFile + error_file;
  return line;
}

}  // namespace qtarvox
