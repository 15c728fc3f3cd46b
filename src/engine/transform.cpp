#include "engine/transform.h"

#include <algorithm>
#include <cmath>

#include "engine/numeric.h"

namespace qtarvox {

TransformPlan::TransformPlan(const JobSettings& job) {
  for (size_t i = 0; i < job.lstActions.size(); ++i) {
    if (job.lstActions[i].ticked) steps.push_back({static_cast<int>(i) + 1, job.lstActions[i].id});
  }
  replace_search = Decode(job.ReplaceSearch);
  replace_search_upper = replace_search;
  ToUpperInPlace(replace_search_upper);
  replace_with = Decode(job.ReplaceWith);
  add_beginning = Decode(job.AddBeginningText);
  add_end = Decode(job.AddEndText);
  new_filename = Decode(job.NewFilename);
}

void SplitFilename(std::string_view filename, std::string& name, std::string& extension) {
  const size_t dot = filename.rfind('.');
  if (dot == std::string_view::npos) {
    name.assign(filename);
    extension.clear();
  } else {
    name.assign(filename.substr(0, dot));
    extension.assign(filename.substr(dot));
  }
}

void ReplaceInName(CharText& wn, const TransformPlan& plan, bool case_sensitive) {
  const CharText& search = case_sensitive ? plan.replace_search : plan.replace_search_upper;
  const size_t s = search.size();
  if (s == 0 || wn.size() < s) return;
  // Compared in upper case when case does not count; the result keeps the
  // name's own case outside the matches.
  CharText upper;
  if (!case_sensitive) {
    upper = wn;
    ToUpperInPlace(upper);
  }
  const std::u32string_view haystack = case_sensitive ? std::u32string_view(wn) : upper;
  const std::u32string_view needle(search);
  size_t match = haystack.find(needle);
  if (match == std::u32string_view::npos) return;
  CharText result;
  result.reserve(wn.size() + plan.replace_with.size());
  size_t k = 0;
  while (match != std::u32string_view::npos) {
    result.append(wn, k, match - k);
    result.append(plan.replace_with);
    k = match + s;
    match = haystack.find(needle, k);
  }
  result.append(wn, k, std::u32string::npos);
  wn.swap(result);
}

void CapitalizeWords(CharText& wn, bool spaces, bool underscores) {
  const auto is_separator = [](char32_t c) { return c == U' ' || c == U'_'; };
  // The result is never longer than the name, so it is written in place:
  // position w never passes position i.
  const size_t length = wn.size();
  size_t w = 0;
  for (size_t i = 0; i < length; ++i) {
    const char32_t c = wn[i];
    const bool chosen = (c == U' ' && spaces) || (c == U'_' && underscores);
    if (chosen) {
      if (i + 1 < length) {
        wn[w++] = c;
        if (!is_separator(wn[i + 1])) {
          wn[w++] = ToUpperChar(wn[i + 1]);
          ++i;
        }
      }
      // A chosen separator at the very end is dropped.
    } else if (i == 0 && !is_separator(c)) {
      wn[w++] = ToUpperChar(c);
    } else {
      wn[w++] = c;
    }
  }
  wn.resize(w);
}

namespace {

void AppendCounter(CharText& out, const std::string& counter) {
  DecodeAppend(TrimBlanks(counter), out);
}

// Delete last n: the kept length is rounded half to even for a fractional n.
bool DeleteLast(CharText& wn, double n) {
  const double length = static_cast<double>(wn.size());
  if (!(length >= n)) return false;
  const double kept = RoundHalfEven(length - n);
  const double clamped = std::clamp(kept, 0.0, length);
  wn.resize(static_cast<size_t>(clamped));
  return true;
}

bool DeleteFirst(CharText& wn, int32_t n) {
  if (static_cast<int64_t>(wn.size()) < n) return false;
  if (n > 0) wn.erase(0, static_cast<size_t>(n));
  return true;
}

// What one step did to the working name.
enum class StepOutcome {
  kChanged,     // a name step that ran
  kTerminated,  // a name step that could not run (too few characters)
  kAttribute,   // an attribute step: the name is left alone
};

// Runs the step `id` on the working name (and extension).
StepOutcome ApplyStep(const JobSettings& job, const RunState& run, const TransformPlan& plan,
                      ActionId id, WorkingName& state) {
  CharText& wn = state.wn;
  switch (id) {
    case ActionId::kUppercase:
      ToUpperInPlace(wn);
      break;
    case ActionId::kLowercase:
      ToLowerInPlace(wn);
      break;
    case ActionId::kClearName:
      wn.clear();
      break;
    case ActionId::kDeleteLast:
      if (!DeleteLast(wn, job.DeleteLastCount)) return StepOutcome::kTerminated;
      break;
    case ActionId::kDeleteFirst:
      if (!DeleteFirst(wn, job.DeleteFirstCount)) return StepOutcome::kTerminated;
      break;
    case ActionId::kReplace:
      ReplaceInName(wn, plan, job.CaseSensitiveReplace);
      break;
    case ActionId::kAddBeginning:
      wn.insert(0, plan.add_beginning);
      break;
    case ActionId::kAddEnd:
      wn.append(plan.add_end);
      break;
    case ActionId::kNumberEnd:
      AppendCounter(wn, run.NumberEndCounter);
      break;
    case ActionId::kNumberBeginning: {
      CharText number;
      AppendCounter(number, run.NumberBeginningCounter);
      wn.insert(0, number);
      break;
    }
    case ActionId::kReadOnly:
    case ActionId::kHidden:
    case ActionId::kArchive:
    case ActionId::kNormal:
      return StepOutcome::kAttribute;
    case ActionId::kChangeExtension:
      state.we = job.NewExtension;
      break;
    case ActionId::kCapitalize:
      CapitalizeWords(wn, job.CapitalizeSpaces, job.CapitalizeUnderscores);
      break;
    case ActionId::kCompleteRename:
      wn = plan.new_filename;
      state.we.clear();
      break;
  }
  return StepOutcome::kChanged;
}

}  // namespace

void TransformName(const JobSettings& job, const RunState& run, const TransformPlan& plan,
                   std::string_view name, std::string_view extension, WorkingName& state,
                   StepObserver* observer) {
  state.wn.clear();
  DecodeAppend(name, state.wn);
  state.we.assign(extension);
  state.changed = false;
  for (const auto& step : plan.steps) {
    switch (ApplyStep(job, run, plan, step.id, state)) {
      case StepOutcome::kChanged:
        state.changed = true;
        if (observer != nullptr) observer->AfterNameStep(step.position, state);
        break;
      case StepOutcome::kTerminated:
        if (observer != nullptr) observer->Terminated(step.id);
        break;
      case StepOutcome::kAttribute:
        if (observer != nullptr) observer->AttributeStep(step.position, step.id, state);
        break;
    }
  }
  if (state.wn.empty()) {
    DecodeAppend(name, state.wn);
    if (state.we == extension) state.changed = false;
  }
}

}  // namespace qtarvox
