// Turning one filename into its new filename by the ticked actions, applied in
// list order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/job.h"
#include "platform/chars.h"

namespace qtarvox {

// The ticked actions and their parameters, decoded once for a whole pass.
struct TransformPlan {
  struct Step {
    int position;  // 1-based list position
    ActionId id;
  };

  explicit TransformPlan(const JobSettings& job);

  std::vector<Step> steps;  // ticked entries, list order
  CharText replace_search;
  CharText replace_search_upper;
  CharText replace_with;
  CharText add_beginning;
  CharText add_end;
  CharText new_filename;
};

// The working state of one file.
struct WorkingName {
  CharText wn;     // working name
  std::string we;  // working extension, dot included
  bool changed = false;
};

// Told about every step while a name is transformed, in the order of the steps.
class StepObserver {
 public:
  virtual ~StepObserver() = default;
  // A name step (positions 1-10, 15-17) has run and was not terminated.
  virtual void AfterNameStep(int position, const WorkingName& state) = 0;
  // A delete step could not run because the name is too short.
  virtual void Terminated(ActionId id) = 0;
  // An attribute step (positions 11-14) is due now.
  virtual void AttributeStep(int position, ActionId id, const WorkingName& state) = 0;
};

// Splits a filename at its last dot: "report.final.txt" -> "report.final" +
// ".txt"; "README" -> "README" + ""; ".profile" -> "" + ".profile".
void SplitFilename(std::string_view filename, std::string& name, std::string& extension);

// Runs every step of the plan on (name, extension), then applies the
// empty-name fallback; the numbering steps take the run's counters.
// `observer` may be null.
void TransformName(const JobSettings& job, const RunState& run, const TransformPlan& plan,
                   std::string_view name, std::string_view extension, WorkingName& state,
                   StepObserver* observer);

// The steps' rules, exposed for reuse.
void ReplaceInName(CharText& wn, const TransformPlan& plan, bool case_sensitive);
void CapitalizeWords(CharText& wn, bool spaces, bool underscores);

}  // namespace qtarvox
