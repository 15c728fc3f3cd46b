#include "run/outcome_marks.h"

#include <string_view>

#include "engine/messages.h"
#include "platform/chars.h"
#include "run/run_counts.h"

namespace qtarvox {
namespace {

// The window's preview marks (" (+r)") without their blank and parentheses.
std::string_view MarkWord(std::string_view mark) { return mark.substr(2, mark.size() - 3); }

}  // namespace

std::vector<std::string> OutcomeMarks(const FileOutcome& outcome) {
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

std::string JoinedMarks(const std::vector<std::string>& marks) {
  std::string text;
  for (size_t i = 0; i < marks.size(); ++i)
    text.append(i > 0 ? kMarksBetween : "").append(marks[i]);
  return text;
}

void AppendOnOneLine(std::string& line, std::string_view text) {
  const size_t from = line.size();
  line.append(text);
  KeepOnOneLine(line, from);
}

}  // namespace qtarvox
