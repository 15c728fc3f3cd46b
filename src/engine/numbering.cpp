#include "engine/numbering.h"

#include <cmath>

#include "engine/numeric.h"

namespace qtarvox {
namespace {

struct CounterRefs {
  ActionId id;
  bool ChosenActions::*flag;
  NumberStyle JobSettings::*style;
  std::string RunState::*counter;
  int RunState::*width;
};

constexpr CounterRefs kCounters[] = {
    {ActionId::kNumberEnd, &ChosenActions::DoNumberEnd, &JobSettings::NumberEndStyle,
     &RunState::NumberEndCounter, &RunState::NumberEndWidth},
    {ActionId::kNumberBeginning, &ChosenActions::DoNumberBeginning,
     &JobSettings::NumberBeginningStyle, &RunState::NumberBeginningCounter,
     &RunState::NumberBeginningWidth},
};

bool StartGiven(const JobSettings& job, ActionId which) {
  return which == ActionId::kNumberEnd ? job.NumberEndStartGiven : job.NumberBeginningStartGiven;
}

}  // namespace

int EvenWidth(double bound) {
  double p = 10;
  int digits = 1;
  while (std::isfinite(bound) && bound / p >= 1 && digits < 400) {
    p *= 10;
    ++digits;
  }
  return digits;
}

std::string NumberText(double number, NumberStyle style, int width) {
  const std::string text = FormatNumber(number);
  if (style != NumberStyle::kEven || static_cast<int>(text.size()) >= width) return text;
  std::string padded(static_cast<size_t>(width) - text.size(), '0');
  padded += text;
  return padded;
}

double NumberingStart(const JobSettings& job, ActionId which) {
  if (!StartGiven(job, which)) return 1;
  return NumericValue(which == ActionId::kNumberEnd ? job.NumberEndStart
                                                    : job.NumberBeginningStart);
}

int EvenWidthForPass(const JobSettings& job, const RunState& run, ActionId which,
                     NumberingPass pass, size_t individual_count) {
  const bool given = StartGiven(job, which);
  const double s = NumberingStart(job, which);
  const double file_count = run.FileCount;
  const double count = static_cast<double>(individual_count);
  double bound = 0;
  if (pass == NumberingPass::kIndividual) {
    bound = given ? s + count - 1 : count;
  } else {
    bound = given ? s + file_count : file_count;
  }
  return EvenWidth(bound);
}

PassCounters::PassCounters(const JobSettings& job, RunState& run, NumberingPass pass)
    : job_(job), run_(run), pass_(pass) {
  if (pass_ != NumberingPass::kOperationList) return;
  for (const auto& c : kCounters) {
    // Without a start number the start is 1, so the counter starts at "0".
    run_.*c.counter = FormatNumber(NumberingStart(job_, c.id) - 1);
  }
}

void PassCounters::Next() {
  const bool first = index_ == 0;
  const size_t index = index_++;
  if (!job_.chosen.DoNumberEnd && !job_.chosen.DoNumberBeginning) return;
  const size_t count = job_.lstFile.size();
  for (const auto& c : kCounters) {
    if (!(job_.chosen.*c.flag)) continue;
    if (first) run_.*c.width = EvenWidthForPass(job_, run_, c.id, pass_, count);
    double number;
    if (pass_ == NumberingPass::kOperationList) {
      number = NumericValue(run_.*c.counter) + 1;
    } else {
      number = NumberingStart(job_, c.id) + static_cast<double>(index);
      if (pass_ != NumberingPass::kIndividual) {
        number += static_cast<double>(run_.FileCount) - static_cast<double>(count);
      }
    }
    run_.*c.counter = NumberText(number, job_.*c.style, run_.*c.width);
  }
}

}  // namespace qtarvox
