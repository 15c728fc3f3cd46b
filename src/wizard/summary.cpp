#include "wizard/summary.h"

#include "engine/numeric.h"

namespace qtarvox {
namespace {

std::string NumberingLine(NumberStyle style, bool start_given, const std::string& start) {
  std::string line = style == NumberStyle::kNormal ? " (Normal)" : " (Evenly)";
  if (start_given) line += " Start=" + start;
  return line;
}

std::string ActionLine(const JobSettings& job, const ActionEntry& entry) {
  std::string line = entry.text;
  switch (entry.id) {
    case ActionId::kDeleteLast:
      return line + " (Last " + FormatNumber(job.DeleteLastCount) + " characters)";
    case ActionId::kDeleteFirst:
      return line + " (First " + std::to_string(job.DeleteFirstCount) + " characters)";
    case ActionId::kReplace:
      return line + " ('" + job.ReplaceSearch + "' with '" + job.ReplaceWith + "')";
    case ActionId::kAddBeginning:
      return line + " ('" + job.AddBeginningText + "')";
    case ActionId::kAddEnd:
      return line + " ('" + job.AddEndText + "')";
    case ActionId::kNumberEnd:
      return line + NumberingLine(job.NumberEndStyle, job.NumberEndStartGiven, job.NumberEndStart);
    case ActionId::kNumberBeginning:
      return line + NumberingLine(job.NumberBeginningStyle, job.NumberBeginningStartGiven,
                                  job.NumberBeginningStart);
    case ActionId::kChangeExtension:
      return line + " (to '" + job.NewExtension + "')";
    case ActionId::kCapitalize:
      if (job.CapitalizeSpaces && job.CapitalizeUnderscores) {
        return line + " (Spaces & Underscores)";
      }
      return line + (job.CapitalizeUnderscores ? " (Underscores only)" : " (Spaces only)");
    default:
      return line;
  }
}

}  // namespace

void ShowSummary(const JobSettings& job, ScreenState& screen) {
  screen.lstFinal.clear();
  screen.txtFinal.clear();
  for (const auto& entry : job.lstActions) {
    if (entry.ticked) screen.lstFinal.push_back(ActionLine(job, entry));
  }
  const SelectionMethod method = job.method;
  if (method == SelectionMethod::kDone || method == SelectionMethod::kIndividual) {
    for (const auto& item : job.lstFile) screen.txtFinal += "FILE - " + item + "\r\n";
  }
  if (method == SelectionMethod::kDone || method == SelectionMethod::kExtension) {
    for (const auto& item : job.lstDir) screen.txtFinal += "DIR - " + item + "\r\n";
    for (const auto& item : job.lstExt) screen.txtFinal += "EXT - " + item + "\r\n";
  }
}

}  // namespace qtarvox
