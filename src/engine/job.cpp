#include "engine/job.h"

#include <algorithm>

#include "platform/chars.h"

namespace qtarvox {

Job::Job() {
  lstActions.reserve(kActions.size());
  for (const auto& info : kActions) lstActions.push_back({info.text, info.id, false});
  txtOP.SetText(kPreviewBoxStart);
}

const char* MethodName(SelectionMethod method) {
  switch (method) {
    case SelectionMethod::kIndividual:
      return "Individual";
    case SelectionMethod::kExtension:
      return "Extension";
    case SelectionMethod::kBoth:
      return "Both";
    case SelectionMethod::kDone:
      return "Done";
    case SelectionMethod::kNone:
      break;
  }
  return "";
}

int PositionIndexOf(const JobSettings& job, ActionId id) {
  for (size_t i = 0; i < job.lstActions.size(); ++i) {
    if (job.lstActions[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

bool IsTicked(const JobSettings& job, ActionId id) {
  const int i = PositionIndexOf(job, id);
  return i >= 0 && job.lstActions[static_cast<size_t>(i)].ticked;
}

void TickPosition(JobSettings& job, int position) {
  if (position >= 1 && position <= static_cast<int>(job.lstActions.size())) {
    job.lstActions[static_cast<size_t>(position - 1)].ticked = true;
  }
}

bool IsChosen(const JobSettings& job, ActionId id) {
  const auto flag = ActionInfoOf(id).flag;
  return flag != nullptr && job.chosen.*flag;
}

void SnapshotChosenActions(JobSettings& job) {
  job.chosen = ChosenActions{};
  for (const auto& entry : job.lstActions) {
    if (!entry.ticked) continue;
    const auto flag = ActionInfoOf(entry.id).flag;
    if (flag != nullptr) job.chosen.*flag = true;
  }
}

void AddDirectory(JobSettings& job, const std::string& item) {
  const auto at = std::upper_bound(
      job.lstDir.begin(), job.lstDir.end(), item,
      [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
  job.lstDir.insert(at, item);
}

void ClearJob(Job& job) {
  for (auto& entry : job.lstActions) entry.ticked = false;
  job.lstDir.clear();
  job.lstExt.clear();
  job.txtOP.Clear();
  job.DeleteLastCount = 0;
  job.DeleteFirstCount = 0;
  job.ReplaceSearch.clear();
  job.ReplaceWith.clear();
  job.AddEndText.clear();
  job.AddBeginningText.clear();
  job.NumberEndStyle = NumberStyle::kNormal;
  job.NumberBeginningStyle = NumberStyle::kNormal;
  job.NumberEndStart.clear();
  job.NumberBeginningStart.clear();
  job.NumberEndStartGiven = false;
  job.NumberBeginningStartGiven = false;
  job.CaseSensitiveReplace = false;
  job.NewExtension.clear();
  job.NewFilename.clear();
  job.CapitalizeSpaces = false;
  job.CapitalizeUnderscores = false;
  job.chosen = ChosenActions{};
  job.method = SelectionMethod::kNone;
}

}  // namespace qtarvox
