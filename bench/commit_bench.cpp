// Commit throughput: the engine renaming files on disk (RenameFile per file,
// Process file on) against a plain loop of renameat2(RENAME_NOREPLACE) doing
// the same renames, in the same order, to the same new names.
//
// Every set of files is created fresh in its own directory before anything is
// timed; all sets are removed at the very end. Rounds alternate plain, engine,
// plain, engine... because this machine's disk timings drift by tens of
// percent from one batch to the next. The headline ratio compares the best
// (least disturbed) round of each side; the per-round ratios and their median
// are printed too.

#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "bench_common.h"
#include "engine/job.h"
#include "engine/rename_file.h"
#include "engine/report_file.h"
#include "engine/transform.h"
#include "engine/unique_number.h"
#include "platform/chars.h"
#include "platform/dir_search.h"

namespace {

using bench::Clock;
using bench::kAsciiPieces;
using bench::kExtensions;
using bench::kPieces;
using bench::MakeSubdir;
using bench::MakeTempDir;
using bench::MustWork;
using bench::Rng;
using bench::Seconds;

constexpr size_t kFileCount = 10000;
constexpr int kRounds = 5;
constexpr double kTargetRatio = 0.90;

// CPU time of this process so far, user and system, in seconds.
struct CpuTimes {
  double user = 0;
  double system = 0;
};

CpuTimes CpuNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return {static_cast<double>(usage.ru_utime.tv_sec) + usage.ru_utime.tv_usec * 1e-6,
          static_cast<double>(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec * 1e-6};
}

// File i of a set: a lowercase letter first (so UPPERCASE changes every
// name), 14 to 50 bytes of pieces, "-" and the index (so no two files, and no
// two new names, are the same), then the extension.
std::string FileName(size_t index) {
  Rng rng(0x51A7E5EEDull ^ (index * 0x2545F4914F6CDD1Dull));
  const bool ascii_only = rng.Below(2) == 0;
  const size_t piece_count = ascii_only ? kAsciiPieces : std::size(kPieces);
  const std::string_view ext = kExtensions[rng.Below(ascii_only ? 4 : std::size(kExtensions))];
  const size_t target = 14 + rng.Below(37);
  std::string base(1, static_cast<char>('a' + rng.Below(26)));
  while (base.size() < target) {
    const std::string_view piece = kPieces[rng.Below(piece_count)];
    if (base.size() + piece.size() > target) break;
    base.append(piece);
  }
  return base + "-" + std::to_string(index) + std::string(ext);
}

// Creates the empty regular files of a set (mknodat is the steadiest way to
// make many on this file system).
void CreateFiles(const std::string& dir, const std::vector<std::string>& names) {
  const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) {
    std::perror(dir.c_str());
    std::exit(1);
  }
  for (const auto& name : names) {
    if (mknodat(dfd, name.c_str(), S_IFREG | 0644, 0) != 0) {
      std::perror(name.c_str());
      std::exit(1);
    }
  }
  close(dfd);
}

// The sorted listing a pass works through.
std::vector<std::string> Listing(const std::string& dir) {
  std::vector<std::string> names;
  MustWork(qtarvox::SearchDirectory(dir, "*.*", qtarvox::SearchFilter::kFiles, names), dir.c_str());
  return names;
}

// The new filename UPPERCASE gives: the name upper-cased, the extension kept.
std::string Uppercased(const std::string& filename) {
  std::string name, ext;
  qtarvox::SplitFilename(filename, name, ext);
  return qtarvox::ToUpperBytes(name) + ext;
}

// How many of the expected names the directory now holds.
size_t CountPresent(const std::string& dir, const std::vector<std::string>& expected) {
  const std::vector<std::string> now = Listing(dir);
  const std::unordered_set<std::string> present(now.begin(), now.end());
  return static_cast<size_t>(std::count_if(expected.begin(), expected.end(),
                                           [&](const std::string& n) { return present.count(n); }));
}

struct Phase {
  double seconds = 0;
  CpuTimes cpu;  // spent inside the timed loop
  size_t files = 0;
  size_t renamed = 0;  // verified afterwards
  bool errors = false;
  double rate() const { return static_cast<double>(files) / seconds; }
};

Phase PlainLoop(const std::string& dir) {
  const std::vector<std::string> listing = Listing(dir);
  std::vector<std::string> from, to, expected;
  for (const auto& filename : listing) {
    from.push_back(dir + "/" + filename);
    expected.push_back(Uppercased(filename));
    to.push_back(dir + "/" + expected.back());
  }
  sync();
  Phase phase;
  phase.files = listing.size();
  size_t failed = 0;
  const CpuTimes cpu_start = CpuNow();
  const auto start = Clock::now();
  for (size_t i = 0; i < from.size(); ++i) {
    if (renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) != 0) {
      ++failed;
    }
  }
  phase.seconds = Seconds(start, Clock::now());
  const CpuTimes cpu_end = CpuNow();
  phase.cpu = {cpu_end.user - cpu_start.user, cpu_end.system - cpu_start.system};
  phase.errors = failed != 0;
  phase.renamed = CountPresent(dir, expected);
  return phase;
}

Phase EngineLoop(const std::string& dir, const std::string& work, int round) {
  const auto listing_start = Clock::now();
  const std::vector<std::string> listing = Listing(dir);
  const double listing_seconds = Seconds(listing_start, Clock::now());
  std::vector<std::string> expected;
  for (const auto& filename : listing) expected.push_back(Uppercased(filename));

  qtarvox::Job job;

  qtarvox::RunState run;
  qtarvox::TickPosition(job, 1);
  qtarvox::SnapshotChosenActions(job);
  run.GenerateProcessFile = true;
  qtarvox::ReportFile process;
  qtarvox::ReportFile errors;
  const std::string process_path = work + "/process-" + std::to_string(round) + ".txt";
  const std::string errors_path = work + "/errors-" + std::to_string(round) + ".txt";
  if (!process.OpenForOutput(process_path, true).ok() || !errors.OpenForOutput(errors_path).ok()) {
    std::fprintf(stderr, "cannot open the report files in %s\n", work.c_str());
    std::exit(1);
  }
  const qtarvox::TransformPlan plan(job);
  qtarvox::NameIndex names;
  qtarvox::DirectoryHandle open_directory;
  qtarvox::EngineContext context;
  context.process = &process;
  context.errors = &errors;
  context.names = &names;
  context.plan = &plan;
  context.directory = &open_directory;  // as the run driver sets it up
  const std::string directory = dir + "/";
  sync();

  Phase phase;
  phase.files = listing.size();
  std::string name, ext;
  const CpuTimes cpu_start = CpuNow();
  const auto start = Clock::now();
  for (const auto& filename : listing) {
    qtarvox::SplitFilename(filename, name, ext);
    qtarvox::RenameFile(job, run, context, directory, name, ext);
  }
  MustWork(process.Close(), "the Process file");
  MustWork(errors.Close(), "the Error file");
  phase.seconds = Seconds(start, Clock::now());
  const CpuTimes cpu_end = CpuNow();
  phase.cpu = {cpu_end.user - cpu_start.user, cpu_end.system - cpu_start.system};
  phase.errors = run.ErrorsOccurred;
  phase.renamed = CountPresent(dir, expected);
  std::printf(
      "  (engine round %d: sorted listing took %.3f s, not counted; Process file %lld "
      "bytes)\n",
      round, listing_seconds, static_cast<long long>(std::filesystem::file_size(process_path)));
  return phase;
}

void Report(const char* label, const Phase& phase) {
  std::printf(
      "%-14s %zu files in %.3f s = %.0f files/s, cpu user %.3f s + system %.3f s "
      "(%zu renamed as expected%s)\n",
      label, phase.files, phase.seconds, phase.rate(), phase.cpu.user, phase.cpu.system,
      phase.renamed, phase.errors ? ", ERRORS REPORTED" : "");
}

// Creates a plain and an engine set of `names` for every round, before
// anything is timed.
void CreateSets(const std::string& root, const std::vector<std::string>& names,
                std::vector<std::string>& plain_dirs, std::vector<std::string>& engine_dirs) {
  const auto create_start = Clock::now();
  for (int round = 1; round <= kRounds; ++round) {
    plain_dirs.push_back(MakeSubdir(root, "plain-" + std::to_string(round)));
    CreateFiles(plain_dirs.back(), names);
    engine_dirs.push_back(MakeSubdir(root, "engine-" + std::to_string(round)));
    CreateFiles(engine_dirs.back(), names);
  }
  std::printf("created %d sets of %zu files in %.2f s\n", 2 * kRounds, kFileCount,
              Seconds(create_start, Clock::now()));
}

// What the rounds found: each round's ratio, and the best rate of each side.
struct Rounds {
  std::vector<double> ratios;
  double best_plain = 0;
  double best_engine = 0;
};

Rounds RunRounds(const std::vector<std::string>& plain_dirs,
                 const std::vector<std::string>& engine_dirs, const std::string& work) {
  Rounds rounds;
  for (int round = 1; round <= kRounds; ++round) {
    std::printf("round %d:\n", round);
    const Phase plain = PlainLoop(plain_dirs[static_cast<size_t>(round - 1)]);
    Report("  plain loop:", plain);
    const Phase engine = EngineLoop(engine_dirs[static_cast<size_t>(round - 1)], work, round);
    Report("  engine:", engine);
    rounds.ratios.push_back(engine.rate() / plain.rate());
    rounds.best_plain = std::max(rounds.best_plain, plain.rate());
    rounds.best_engine = std::max(rounds.best_engine, engine.rate());
    std::printf("  ratio engine/plain = %.3f\n", rounds.ratios.back());
  }
  return rounds;
}

void PrintSummary(const Rounds& rounds) {
  std::vector<double> sorted = rounds.ratios;
  std::sort(sorted.begin(), sorted.end());
  const double ratio = rounds.best_engine / rounds.best_plain;
  std::printf("plain loop: %.0f files/s (best of %d)\n", rounds.best_plain, kRounds);
  std::printf("engine:     %.0f files/s (best of %d)\n", rounds.best_engine, kRounds);
  std::printf("ratio engine/plain = %.3f\n", ratio);
  std::printf("  (best round against best round; per-round ratios:");
  for (double r : rounds.ratios) std::printf(" %.3f", r);
  std::printf("; median %.3f, best %.3f)\n", sorted[sorted.size() / 2], sorted.back());
  std::printf("target: %.2f -> %s\n", kTargetRatio, ratio >= kTargetRatio ? "met" : "MISSED");
}

}  // namespace

int main() {
  const auto program_start = Clock::now();
  const std::string root = MakeTempDir("qtarvox-commit-bench-");
  const std::string work = MakeSubdir(root, "work");
  const std::string config = MakeSubdir(root, "config");
  setenv("QTARVOX_WORK_DIR", work.c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  std::printf("commit_bench: %zu files per set, UPPERCASE only, no collisions, Process file on\n",
              kFileCount);
  std::printf(
      "engine: RenameFile per file in sorted-listing order; plain: renameat2 "
      "(RENAME_NOREPLACE) on the same full paths\n");
  std::printf("sets in %s\n", root.c_str());

  std::vector<std::string> names;
  names.reserve(kFileCount);
  for (size_t i = 0; i < kFileCount; ++i) names.push_back(FileName(i));
  std::vector<std::string> plain_dirs, engine_dirs;
  CreateSets(root, names, plain_dirs, engine_dirs);
  PrintSummary(RunRounds(plain_dirs, engine_dirs, work));

  const auto cleanup_start = Clock::now();
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  std::printf("removed the sets in %.2f s\n", Seconds(cleanup_start, Clock::now()));
  std::printf("total time: %.2f s\n", Seconds(program_start, Clock::now()));
  return 0;
}
