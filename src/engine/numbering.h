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

// The numbering counters of one pass, the only writer of the run's counters
// while it lasts. An operation-list pass counts up from the start value
// minus one; an individual-files pass numbers each lstFile entry by its index.
class PassCounters {
 public:
  PassCounters(const JobSettings& job, RunState& run, NumberingPass pass);

  // Sets the counters of the chosen numbering actions for the pass's next
  // file, in order (a file the pass skips counts all the same). The first
  // file fixes the even widths.
  void Next();

 private:
  const JobSettings& job_;
  RunState& run_;
  const NumberingPass pass_;
  size_t index_ = 0;
};

}  // namespace qtarvox
