// The command line's dry run (--preview: the perform's own path with every
// change planned, one line per file) against the window's plain preview
// (the preview box), over the same 100,000 files:
//
//   a. UPPERCASE + numbers at end, collisions "Do not rename": no name is
//      taken, so the plan only adds its look at each file and target.
//   b. The last 3 characters deleted, collisions "Add a unique number": the
//      files holiday_000000 ... holiday_000999 all become holiday_000, and
//      so on, so 999 of every 1,000 files meet a taken name and the plan
//      works out each one's number.
//
// Each job runs in rounds, preview and plan alternating on the same set
// (neither changes it); the figure is the median round. The plan's lines are
// formatted as --preview prints them and written to /dev/null.
//
// Usage: plan_bench [scale] [rounds]   (scale 0.1 = 10,000 files)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_common.h"
#include "cli/outcome_lines.h"
#include "engine/job.h"
#include "engine/ports.h"
#include "run/run_driver.h"

namespace {

using bench::Clock;
using bench::Seconds;

constexpr size_t kFiles = 100000;

class QuietPrompter : public qtarvox::Prompter {
 public:
  void Tell(const std::string&, const std::string&) override {}
  bool Ask(const std::string&, const std::string&) override { return false; }
};

class QuietView : public qtarvox::RunView {
 public:
  void ShowStatus(const std::string&) override {}
  bool StartViewer(const std::string&) override { return true; }
};

// holiday_000000.txt, holiday_000001.txt, ...: lower case (so UPPERCASE
// changes each), numbered (so none collide until job b cuts the numbers).
std::vector<std::string> MakeNames(size_t count) {
  std::vector<std::string> names;
  names.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "holiday_%06zu.txt", i);
    names.emplace_back(name);
  }
  return names;
}

qtarvox::Job MakeJob(const std::string& dir, char which) {
  qtarvox::Job job;
  if (which == 'a') {
    qtarvox::TickPosition(job, 1);  // UPPERCASE
    qtarvox::TickPosition(job, 9);  // numbers at end
    job.collision = qtarvox::CollisionOption::kDoNotRename;
  } else {
    qtarvox::TickPosition(job, 4);  // delete the last characters
    job.DeleteLastCount = 3;
    job.collision = qtarvox::CollisionOption::kAppendNumber;
    job.txtSep = "_";
  }
  qtarvox::SnapshotChosenActions(job);
  job.chkProcess = true;
  job.method = qtarvox::SelectionMethod::kExtension;
  job.lstDir = {dir};
  job.lstExt = {"*.*"};
  job.dirDir = dir;
  return job;
}

// What one measured run gave: its time, its lines (preview box lines, or
// plan lines) and whether it went as it should, and its child's peak RSS.
struct Timed {
  double seconds = 0;
  size_t lines = 0;
  bool ok = false;
  double max_rss_mib = 0;
  double cpu_seconds = 0;  // user + system, all threads
};

Timed TimePreviewHere(const std::string& dir, char which) {
  qtarvox::Job job = MakeJob(dir, which);
  QuietPrompter prompter;
  QuietView view;
  const auto start = Clock::now();
  const qtarvox::RunOutcome outcome =
      qtarvox::RunOnce(job, prompter, view, qtarvox::RunKind::kPreview);
  Timed t;
  t.seconds = Seconds(start, Clock::now());
  const std::string& text = outcome.preview->text();
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
    ++t.lines;
  }
  t.ok = outcome.started && !outcome.errors;
  return t;
}

Timed TimePlanHere(const std::string& dir, char which) {
  qtarvox::Job job = MakeJob(dir, which);
  QuietPrompter prompter;
  QuietView view;
  std::ofstream sink("/dev/null");
  qtarvox::OutcomePrinter printer(&sink, qtarvox::LineFormat::kReadable);
  const auto start = Clock::now();
  const qtarvox::RunOutcome outcome =
      qtarvox::RunOnce(job, prompter, view, qtarvox::RunKind::kPlan, nullptr, &printer);
  sink.flush();
  Timed t;
  t.seconds = Seconds(start, Clock::now());
  t.lines =
      static_cast<size_t>(printer.renamed + printer.unchanged + printer.skipped + printer.failed);
  t.ok = outcome.started && !outcome.errors && printer.failed == 0;
  return t;
}

// Runs one measurement in a forked child, so that its peak RSS is its own.
Timed InChild(Timed (*measure)(const std::string&, char), const std::string& dir, char which) {
  const bench::ChildRun run = bench::InChild([&] {
    const Timed t = measure(dir, which);
    bench::ChildReport report;
    report.seconds = t.seconds;
    report.count = static_cast<double>(t.lines);
    report.ok = t.ok ? 1 : 0;
    return report;
  });
  Timed t;
  t.seconds = run.report.seconds;
  t.lines = static_cast<size_t>(run.report.count);
  t.ok = run.exited && run.report.ok == 1;
  t.max_rss_mib = run.max_rss_mib;
  t.cpu_seconds = run.cpu_seconds;
  return t;
}

Timed TimePreview(const std::string& dir, char which) {
  return InChild(TimePreviewHere, dir, which);
}

Timed TimePlan(const std::string& dir, char which) { return InChild(TimePlanHere, dir, which); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Makes the set of `files` files in `dir` and says so.
void CreateSet(const std::string& dir, size_t files, int rounds) {
  const auto create_start = Clock::now();
  // The names are made again for the check at the end: the children that
  // measure, forked from this process, would count a list held here.
  for (const auto& name : MakeNames(files)) {
    std::ofstream(dir + "/" + name).put('x');
  }
  std::printf("plan_bench: %zu files in %s, %d rounds (created in %.2f s, not timed)\n", files,
              dir.c_str(), rounds, Seconds(create_start, Clock::now()));
}

// One job's rounds, preview and plan alternating, and its figures. False
// when a round gave an unexpected result.
bool RunJob(const std::string& dir, char which, size_t files, int rounds) {
  std::printf("\n%s\n", which == 'a' ? "a. UPPERCASE + numbers at end, collisions: do not rename"
                                     : "b. last 3 characters deleted (1,000 files per new name), "
                                       "collisions: add a unique number");
  TimePreview(dir, which);  // warm-up: the directory in the kernel's caches
  bool all_ok = true;
  std::vector<double> preview_rates, plan_rates, preview_rss, plan_rss;
  for (int r = 0; r < rounds; ++r) {
    const Timed preview = TimePreview(dir, which);
    const Timed plan = TimePlan(dir, which);
    preview_rates.push_back(static_cast<double>(files) / preview.seconds);
    plan_rates.push_back(static_cast<double>(files) / plan.seconds);
    preview_rss.push_back(preview.max_rss_mib);
    plan_rss.push_back(plan.max_rss_mib);
    const bool ok = preview.ok && plan.ok && plan.lines == files && preview.lines == files;
    all_ok = all_ok && ok;
    std::printf(
        "  round %d: preview %.3f s (%zu lines, %.1f MiB, CPU %.2f s), plan %.3f s (%zu lines, "
        "%.1f MiB, CPU %.2f s)%s\n",
        r + 1, preview.seconds, preview.lines, preview.max_rss_mib, preview.cpu_seconds,
        plan.seconds, plan.lines, plan.max_rss_mib, plan.cpu_seconds,
        ok ? "" : "  !! unexpected result");
  }
  const double preview_rate = Median(preview_rates);
  const double plan_rate = Median(plan_rates);
  std::printf("  preview %.0f files/s, plan %.0f files/s, ratio plan/preview %.3f\n", preview_rate,
              plan_rate, plan_rate / preview_rate);
  std::printf("  peak RSS: preview %.1f MiB, plan %.1f MiB (medians)\n", Median(preview_rss),
              Median(plan_rss));
  if (which == 'a') {
    std::printf("  target: plan at least 200,000 files/s (%s), peak RSS at most 32 MiB (%s)\n",
                plan_rate >= 200000 ? "met" : "missed", Median(plan_rss) <= 32 ? "met" : "missed");
  }
  return all_ok;
}

// The files of the set still under their names (the plan changed nothing).
size_t FilesPresent(const std::string& dir, size_t files) {
  size_t present = 0;
  for (const auto& name : MakeNames(files)) {
    struct stat st;
    present += lstat((dir + "/" + name).c_str(), &st) == 0;
  }
  return present;
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int rounds = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 9) : 3;
  const size_t files = std::max<size_t>(1, static_cast<size_t>(kFiles * scale));

  const std::string root = bench::MakeTempDir("qtarvox-plan-bench-");
  const std::string work = bench::MakeSubdir(root, "work");
  const std::string config = bench::MakeSubdir(root, "config");
  const std::string dir = bench::MakeSubdir(root, "set");
  setenv("QTARVOX_WORK_DIR", work.c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  CreateSet(dir, files, rounds);

  bool all_ok = true;
  for (const char which : {'a', 'b'}) all_ok = RunJob(dir, which, files, rounds) && all_ok;

  const size_t present = FilesPresent(dir, files);
  std::printf("\ncheck: %zu of %zu files still carry their names%s\n", present, files,
              present == files && all_ok ? "" : "  !! MISMATCH");
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return present == files && all_ok ? 0 : 1;
}
