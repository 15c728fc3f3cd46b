// The numbers the two numbering actions hand out: where they start, how wide
// even numbering pads them, and the counters each pass sets before every file.
#pragma once

#include <cstddef>
#include <string>

#include "engine/job.h"

namespace qtarvox {

enum class NumberingPass {
  kOperationList,       // files found in directories
  kIndividual,          // method "Individual"
  kCombinedIndividual,  // the individual files of the combined method, after the walk
};

// Number of decimal digits of the bound: 5 -> 1, 12 -> 2, 100 -> 3, 0 -> 1.
int EvenWidth(double bound);

// The number's text in a style: plain decimal, or even: padded with zeros to `width`.
std::string NumberText(double number, NumberStyle style, int width);

// The start value of a numbering action: its start number when given, else 1.
double NumberingStart(const JobSettings& job, ActionId which);

// The even width of a numbering action for a pass, by the pass's bound
// (the files the run has listed, or the individual files).
int EvenWidthForPass(const JobSettings& job, const RunState& run, ActionId which,
                     NumberingPass pass, size_t individual_count);

// Operation-list pass: sets both counters of the run to the start value minus one.
void InitOperationListCounters(const JobSettings& job, RunState& run);

// Operation-list pass, before each file: advances the counter of each chosen
// numbering action by one and formats it. `first` fixes the even widths.
void AdvanceOperationListCounters(const JobSettings& job, RunState& run, bool first);

// Individual-files pass: sets the counters of the chosen numbering actions
// for the entry at `index` of lstFile. `first` fixes the even widths.
void SetIndividualCounters(const JobSettings& job, RunState& run, size_t index, NumberingPass pass,
                           bool first);

}  // namespace qtarvox
