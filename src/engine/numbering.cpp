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
    {ActionId::kNumberEnd, &ChosenActions::DoNumberEnd, &Job::NumberEndStyle,
     &Job::NumberEndCounter, &Job::NumberEndWidth},
    {ActionId::kNumberBeginning, &ChosenActions::DoNumberBeginning, &Job::NumberBeginningStyle,
     &Job::NumberBeginningCounter, &Job::NumberBeginningWidth},
};

bool StartGiven(const Job& job, ActionId which) {
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

double NumberingStart(const Job& job, ActionId which) {
  if (!StartGiven(job, which)) return 1;
  return NumericValue(which == ActionId::kNumberEnd ? job.NumberEndStart
                                                    : job.NumberBeginningStart);
}

int EvenWidthForPass(const Job& job, ActionId which, NumberingPass pass, size_t individual_count) {
  const bool given = StartGiven(job, which);
  const double s = NumberingStart(job, which);
  const double file_count = job.FileCount;
  const double count = static_cast<double>(individual_count);
  double bound = 0;
  if (pass == NumberingPass::kIndividual) {
    bound = given ? s + count - 1 : count;
  } else {
    bound = given ? s + file_count : file_count;
  }
  return EvenWidth(bound);
}

void InitOperationListCounters(Job& job) {
  for (const auto& c : kCounters) {
    // Without a start number the start is 1, so the counter starts at "0".
    job.*c.counter = FormatNumber(NumberingStart(job, c.id) - 1);
  }
}

void AdvanceOperationListCounters(Job& job, bool first) {
  if (!job.chosen.DoNumberEnd && !job.chosen.DoNumberBeginning) return;
  for (const auto& c : kCounters) {
    if (!(job.chosen.*c.flag)) continue;
    if (first) job.*c.width = EvenWidthForPass(job, c.id, NumberingPass::kOperationList, 0);
    const double next = NumericValue(job.*c.counter) + 1;
    job.*c.counter = NumberText(next, job.*c.style, job.*c.width);
  }
}

void SetIndividualCounters(Job& job, size_t index, NumberingPass pass, bool first) {
  const size_t count = job.lstFile.size();
  for (const auto& c : kCounters) {
    if (!(job.chosen.*c.flag)) continue;
    if (first) job.*c.width = EvenWidthForPass(job, c.id, pass, count);
    double number = NumberingStart(job, c.id) + static_cast<double>(index);
    if (pass != NumberingPass::kIndividual) {
      number += static_cast<double>(job.FileCount) - static_cast<double>(count);
    }
    job.*c.counter = NumberText(number, job.*c.style, job.*c.width);
  }
}

}  // namespace qtarvox
