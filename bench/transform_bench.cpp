// Name transformation throughput: how many filenames per second the action
// chain turns into new filenames, with no disk access and no report lines.
//
// The chain: UPPERCASE (1), case-insensitive replace "ab" -> "x" (6), add at
// end (8), numbers at end in even style (9) and Capitalize Words on spaces
// (16). Each name's counter is set as the passes set it. The plan is built
// once, as a run builds it once. A decode + encode round trip of the same
// names is measured in the same run as the floor any character-based action
// has to pay.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "bench_common.h"
#include "engine/job.h"
#include "engine/numbering.h"
#include "engine/transform.h"
#include "platform/chars.h"

namespace {

using bench::Clock;
using bench::Rng;
using bench::Seconds;

constexpr size_t kNameCount = 1000000;
constexpr size_t kWarmUpCount = 100000;
constexpr int kMeasuredRuns = 3;
constexpr double kTargetPerSecond = 1000000;

// Pieces names are made of: ASCII words, separators the actions care about,
// the replace target in several cases, and 2-, 3- and 4-byte UTF-8. The
// first kAsciiPieces are plain ASCII.
constexpr size_t kAsciiPieces = 16;
constexpr std::string_view kPieces[] = {
    "ab",
    "AB",
    "aB",
    "x",
    "file",
    "photo",
    "report",
    "data",
    " ",
    " ",
    "_",
    "q",
    "z",
    "2024",
    "07",
    "holiday",
    "\xC3\xA9" /* é */,
    "\xC3\x9F" /* ß */,
    "\xC3\xBC" /* ü */,
    "\xCE\xA9" /* Ω */,
    "\xE6\x97\xA5\xE6\x9C\xAC" /* 日本 */,
    "\xE8\xAA\x9E" /* 語 */,
    "\xF0\x9F\x98\x80" /* 😀 */,
    "\xF0\x9F\x8E\x89" /* 🎉 */,
    "Stra\xC3\x9F"
    "e" /* Straße */,
    "caf\xC3\xA9" /* café */,
};

// The first four are the ones plain ASCII names get.
constexpr std::string_view kExtensions[] = {
    ".txt", ".jpg", ".tar.gz", "", ".md", ".JPEG", ".\xE6\x97\xA5" /* .日 */, ".mp3",
};

// A filename of 20 to 60 bytes; every other one (at random) is plain ASCII.
std::string MakeFilename(Rng& rng) {
  const bool ascii_only = rng.Below(2) == 0;
  const size_t piece_count = ascii_only ? kAsciiPieces : std::size(kPieces);
  const std::string_view ext = kExtensions[rng.Below(ascii_only ? 4 : std::size(kExtensions))];
  const size_t min_base = 20 - ext.size();
  const size_t target = min_base + rng.Below(60 - ext.size() - min_base + 1);
  std::string base(1, static_cast<char>('a' + rng.Below(26)));
  while (base.size() < target) {
    const std::string_view piece = kPieces[rng.Below(piece_count)];
    if (base.size() + piece.size() > target) {
      if (base.size() >= min_base) break;
      base.push_back(static_cast<char>('a' + rng.Below(26)));
    } else {
      base.append(piece);
    }
  }
  return base + std::string(ext);
}

struct Names {
  std::vector<std::string> name;
  std::vector<std::string> ext;
  size_t bytes = 0;
  size_t non_ascii_names = 0;
};

Names MakeNames(size_t count) {
  Names names;
  names.name.resize(count);
  names.ext.resize(count);
  Rng rng(20240611);
  for (size_t i = 0; i < count; ++i) {
    const std::string filename = MakeFilename(rng);
    names.bytes += filename.size();
    if (std::any_of(filename.begin(), filename.end(),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
      ++names.non_ascii_names;
    }
    qtarvox::SplitFilename(filename, names.name[i], names.ext[i]);
  }
  return names;
}

struct Result {
  double seconds = 0;
  uint64_t check = 0;  // keeps the work observable
};

// The action chain over names [0, count).
Result TransformAll(qtarvox::Job& job, const qtarvox::TransformPlan& plan, const Names& names,
                    size_t count, int width) {
  qtarvox::RunState run;
  qtarvox::WorkingName state;
  uint64_t check = 0;
  const auto start = Clock::now();
  for (size_t i = 0; i < count; ++i) {
    run.NumberEndCounter =
        qtarvox::NumberText(static_cast<double>(i + 1), qtarvox::NumberStyle::kEven, width);
    qtarvox::TransformName(job, run, plan, names.name[i], names.ext[i], state, nullptr);
    std::string filename = qtarvox::Encode(state.wn);
    filename += state.we;
    check += filename.size() + static_cast<unsigned char>(filename.front()) +
             static_cast<unsigned char>(filename.back());
  }
  return {Seconds(start, Clock::now()), check};
}

// The floor: decode every name and encode it back.
Result RoundTripAll(const Names& names, size_t count) {
  qtarvox::CharText chars;
  uint64_t check = 0;
  const auto start = Clock::now();
  for (size_t i = 0; i < count; ++i) {
    chars.clear();
    qtarvox::DecodeAppend(names.name[i], chars);
    std::string filename = qtarvox::Encode(chars);
    filename += names.ext[i];
    check += filename.size() + static_cast<unsigned char>(filename.front()) +
             static_cast<unsigned char>(filename.back());
  }
  return {Seconds(start, Clock::now()), check};
}

// A job with the benchmark's parameters and the given positions ticked.
qtarvox::Job MakeJob(std::initializer_list<int> positions) {
  qtarvox::Job job;
  qtarvox::RunState run;
  for (int position : positions) qtarvox::TickPosition(job, position);
  // Whole strings are moved in: GCC 12 at -O3 misreports assigning a literal
  // to a std::string in an inlined function as an overlapping copy.
  job.ReplaceSearch = std::string("ab");
  job.ReplaceWith = std::string("x");
  job.CaseSensitiveReplace = false;
  job.AddEndText = std::string(" end");
  job.NumberEndStyle = qtarvox::NumberStyle::kEven;
  job.CapitalizeSpaces = true;
  qtarvox::SnapshotChosenActions(job);
  return job;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The names, generated and split, with a line on what they hold.
Names GenerateNames() {
  const auto gen_start = Clock::now();
  Names names = MakeNames(kNameCount);
  std::printf(
      "names: %zu, %.1f bytes average, %.1f%% with non-ASCII characters "
      "(generated and split in %.2f s)\n",
      kNameCount, static_cast<double>(names.bytes) / kNameCount,
      100.0 * static_cast<double>(names.non_ascii_names) / kNameCount,
      Seconds(gen_start, Clock::now()));
  return names;
}

// Three examples, to see the chain does what it should.
void PrintExamples(const qtarvox::Job& job, const qtarvox::TransformPlan& plan, const Names& names,
                   int width) {
  qtarvox::RunState run;
  for (size_t i = 0; i < 3; ++i) {
    run.NumberEndCounter =
        qtarvox::NumberText(static_cast<double>(i + 1), qtarvox::NumberStyle::kEven, width);
    qtarvox::WorkingName state;
    qtarvox::TransformName(job, run, plan, names.name[i], names.ext[i], state, nullptr);
    std::printf("  example: \"%s%s\" -> \"%s%s\"\n", names.name[i].c_str(), names.ext[i].c_str(),
                qtarvox::Encode(state.wn).c_str(), state.we.c_str());
  }
}

// The measured runs: the whole chain and the decode + encode floor, each
// run's rates.
struct Measured {
  std::vector<double> rates;
  std::vector<double> floor_rates;
  uint64_t check = 0;
};

Measured MeasureRuns(qtarvox::Job& job, const qtarvox::TransformPlan& plan, const Names& names,
                     int width) {
  Measured m;
  for (int run = 1; run <= kMeasuredRuns; ++run) {
    const Result r = TransformAll(job, plan, names, kNameCount, width);
    const Result f = RoundTripAll(names, kNameCount);
    m.check += r.check + f.check;
    m.rates.push_back(kNameCount / r.seconds);
    m.floor_rates.push_back(kNameCount / f.seconds);
    std::printf(
        "run %d: %zu names in %.3f s = %.0f names/s (decode + encode only: %.3f s = "
        "%.0f names/s)\n",
        run, kNameCount, r.seconds, m.rates.back(), f.seconds, m.floor_rates.back());
  }
  return m;
}

// The headline figures; returns the floor's median rate.
double PrintSummary(const Measured& m) {
  const double median = Median(m.rates);
  const double best = *std::max_element(m.rates.begin(), m.rates.end());
  const double floor_median = Median(m.floor_rates);
  std::printf("names per second: %.0f\n", median);
  std::printf("  (median of %d runs of %zu names; best %.0f)\n", kMeasuredRuns, kNameCount, best);
  std::printf("target: %.0f\n", kTargetPerSecond);
  std::printf("%s\n", median >= kTargetPerSecond ? "target met" : "TARGET MISSED");
  std::printf("decode + encode only: %.0f names/s; ratio transform/round-trip = %.2f\n",
              floor_median, median / floor_median);
  return floor_median;
}

// Where the time goes: each action alone, over the same names, above the
// decode + encode floor (the counter is set for every name in each case).
// Returns the runs' check value.
uint64_t EachActionAlone(const Names& names, int width, double floor_median) {
  const double floor_ns = 1e9 / floor_median;
  std::printf("each action alone (one run each), cost above the decode + encode floor:\n");
  std::printf("  decode + encode floor: %.0f ns/name\n", floor_ns);
  uint64_t check = 0;
  for (int position : {1, 6, 8, 9, 16}) {
    qtarvox::Job single = MakeJob({position});
    const qtarvox::TransformPlan single_plan(single);
    const Result r = TransformAll(single, single_plan, names, kNameCount, width);
    check += r.check;
    std::printf("  position %2d alone: %.3f s = %.0f names/s, %+.0f ns/name\n", position, r.seconds,
                kNameCount / r.seconds, 1e9 * r.seconds / kNameCount - floor_ns);
  }
  return check;
}

}  // namespace

int main() {
  const auto program_start = Clock::now();
  std::printf("transform_bench: UPPERCASE (1) + replace \"ab\" -> \"x\" ignoring case (6) +\n");
  std::printf(
      "  add \" end\" at end (8) + numbers at end, even style (9) + Capitalize Words, "
      "spaces (16)\n");
  const Names names = GenerateNames();
  qtarvox::Job job = MakeJob({1, 6, 8, 9, 16});
  const qtarvox::TransformPlan plan(job);
  const int width = qtarvox::EvenWidth(static_cast<double>(kNameCount));
  PrintExamples(job, plan, names, width);

  const Result warm = TransformAll(job, plan, names, kWarmUpCount, width);
  std::printf("warm-up: %zu names in %.3f s\n", kWarmUpCount, warm.seconds);
  const Measured measured = MeasureRuns(job, plan, names, width);
  const double floor_median = PrintSummary(measured);
  const uint64_t check = warm.check + measured.check + EachActionAlone(names, width, floor_median);
  std::printf("check value: %llu\n", static_cast<unsigned long long>(check));
  std::printf("total time: %.2f s\n", Seconds(program_start, Clock::now()));
  return 0;
}
