// Reading a command line that names 100,000 files after -FI, as a shell's
// glob over a large folder hands them over: the program options taken out,
// the segments built and the job filled. The baseline, measured in the same
// run, is merely copying the arguments once; a parser that looks at each
// argument a fixed number of times stays within a small factor of it.
//
// Usage: parse_bench [files] [rounds]   (100000 files, 5 rounds)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_common.h"
#include "run/parse_command_line.h"
#include "engine/job.h"
#include "engine/ports.h"

namespace {

using bench::Clock;
using bench::Seconds;

class QuietPrompter final : public qtarvox::Prompter {
 public:
  void Tell(const std::string&, const std::string&) override {}
  bool Ask(const std::string&, const std::string&) override { return false; }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  // Paths as a glob gives them: absolute, some with blanks and non-ASCII
  // letters inside (never at their ends, so no argument needs a look at the
  // disk to tell a name from a list).
  bench::Rng rng(7);
  std::vector<std::string> args{"--preview", "-LC", "-FI"};
  for (size_t i = 0; i < files; ++i) {
    std::string name = "/home/me/photos/";
    for (size_t pieces = 1 + rng.Below(3); pieces > 0; --pieces) {
      name += bench::kPieces[rng.Below(std::size(bench::kPieces))];
    }
    name += "_" + std::to_string(i) + ".jpg";
    args.push_back(std::move(name));
  }

  std::vector<double> parse_times, copy_times;
  size_t entries = 0, copied = 0;
  for (int round = 0; round < rounds; ++round) {
    const Clock::time_point copy_start = Clock::now();
    const std::vector<std::string> copy = args;
    copy_times.push_back(Seconds(copy_start, Clock::now()));
    copied = copy.size();

    qtarvox::Job job;
    QuietPrompter prompter;
    qtarvox::ParseNotes notes;
    const Clock::time_point parse_start = Clock::now();
    const qtarvox::CliOptions options = qtarvox::SplitProgramOptions(args);
    qtarvox::ParseCommandLine(job, qtarvox::BuildSegments(options.rest), prompter, &notes);
    parse_times.push_back(Seconds(parse_start, Clock::now()));
    entries = job.lstFile.size();
  }

  const double parse = Median(parse_times), copy = Median(copy_times);
  std::printf("parse_bench: %zu -FI arguments, %d rounds (median)\n", files, rounds);
  std::printf("  parse (options, segments, job):  %8.4f s  (%zu files listed)\n", parse, entries);
  std::printf("  baseline (copy the arguments):   %8.4f s  (%zu arguments)\n", copy, copied);
  std::printf("  ratio parse / copy:              %8.1f\n", copy > 0 ? parse / copy : 0.0);
  std::printf("  target: well under 1 s\n");
  return 0;
}
