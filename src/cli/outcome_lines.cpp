#include "cli/outcome_lines.h"

#include <string_view>
#include <vector>

#include "engine/messages.h"

namespace qtarvox {
namespace {

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

}  // namespace

void AppendOutcomeLine(std::string& line, const FileOutcome& outcome, LineFormat format) {
  const std::vector<std::string> marks = OutcomeMarks(outcome);
  if (format == LineFormat::kNull) {
    line.append(outcome.directory).append(outcome.old_filename).push_back('\0');
    line.append(outcome.filename).push_back('\0');
    line.append(StatusWord(outcome.status)).push_back('\0');
    line.append(JoinedMarks(marks));
    line.push_back('\0');
    return;
  }
  AppendOnOneLine(line, outcome.directory);
  AppendOnOneLine(line, outcome.old_filename);
  line += msg::kFinalSep;
  AppendOnOneLine(line, outcome.filename);
  for (const auto& mark : marks) {
    line += " (";
    AppendOnOneLine(line, mark);
    line += ")";
  }
  line += '\n';
}

void OutcomePrinter::FileDone(const FileOutcome& outcome) {
  OutcomeCounter::FileDone(outcome);
  if (out_ == nullptr) return;
  // One buffer for every line: a plan of many files allocates nothing per line.
  line_.clear();
  AppendOutcomeLine(line_, outcome, format_);
  out_->write(line_.data(), static_cast<std::streamsize>(line_.size()));
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
