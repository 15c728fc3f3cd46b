#include "run/summary.h"

#include "engine/numeric.h"

namespace qtarvox {
namespace {

std::string NumberingLine(int style, bool start_given, const std::string& start) {
  std::string line = style == 1 ? " (Normal)" : " (Evenly)";
  if (start_given) line += " Start=" + start;
  return line;
}

std::string ActionLine(const Job& job, const ActionEntry& entry) {
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

void ShowSummary(Job& job) {
  job.lstFinal.clear();
  job.txtFinal.clear();
  for (const auto& entry : job.lstActions) {
    if (entry.ticked) job.lstFinal.push_back(ActionLine(job, entry));
  }
  const std::string& tag = job.cmdFileType_tag;
  if (tag == kTagDone || tag == kTagIndividual) {
    for (const auto& item : job.lstFile) job.txtFinal += "FILE - " + item + "\r\n";
  }
  if (tag == kTagDone || tag == kTagExtension) {
    for (const auto& item : job.lstDir) job.txtFinal += "DIR - " + item + "\r\n";
    for (const auto& item : job.lstExt) job.txtFinal += "EXT - " + item + "\r\n";
  }
}

}  // namespace qtarvox
