// The whole run, as the run button drives it: PressRun / PressPreview over
// real directories, with do-nothing Prompter and RunView ports.
//
//   a. Perform (UPPERCASE + numbers at end, Process file on, method
//      "Extension") over one flat directory and over a tree of 100
//      subdirectories, with the journal and without it, each against a plain
//      renameat2 loop doing the same renames in the same order. Peak RSS of the perform is that of
//      a forked child, read through wait4, so nothing the parent did counts.
//   b. Preview of the flat directory with "Do not rename" on collisions.
//   c. Every file given the same new name with "Add a unique number",
//      against a plain renameat2 loop to the same final names.
//   d. Perform with an attribute action (archive), which takes every file
//      one at a time, with the journal and without it.
//   e. Part c with ten times as many files, so that the numbers run far
//      past any small integer type.
//
// Usage: run_bench [scale [rounds [parts]]]   (scale 0.1 makes every file
// count ten times smaller, for a quick check; 3 rounds unless told
// otherwise; parts are letters of "abcde", all unless told otherwise, so
// "run_bench 10 1 e" puts 1,000,000 files onto one name). Every figure is
// measured once per round on fresh sets and the median round is the
// headline, as single runs on a shared machine move by up to a tenth.
//
// All sets are created fresh, each in its own directory, before anything is
// timed, and removed at the very end: on this file system creating files
// soon after deleting many is very slow, so run the program a few minutes
// after a previous run if creation seems to crawl.

#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>
#include <vector>

#include "bench_common.h"
#include "engine/job.h"
#include "engine/ports.h"
#include "engine/transform.h"
#include "platform/chars.h"
#include "platform/dir_search.h"
#include "run/run_driver.h"

namespace {

using bench::ChildReport;
using bench::ChildRun;
using bench::Clock;
using bench::InChild;
using bench::kAsciiPieces;
using bench::kExtensions;
using bench::kPieces;
using bench::MakeSubdir;
using bench::MakeTempDir;
using bench::MustWork;
using bench::Rng;
using bench::Seconds;

constexpr size_t kFlatFiles = 100000;
constexpr size_t kTreeDirs = 100;
constexpr size_t kTreeFilesPerDir = 1000;
constexpr size_t kSameNameFiles = 10000;
constexpr size_t kArchiveFiles = 20000;
constexpr size_t kManySameNameFiles = 100000;

// Rounds of every measurement, each on fresh sets; the median round is the figure.
constexpr int kRounds = 3;

constexpr double kTargetPerformRatio = 0.85;
constexpr double kTargetRssMiB = 64;
constexpr double kTargetPreviewPerSecond = 200000;
constexpr double kTargetCollisionRatio = 0.5;

// --- File names ---------------------------------------------------------------

// File `index` of a set: a lowercase letter first (so UPPERCASE changes every
// name), 14 to 50 bytes of pieces, "-" and the index (so no two files, and no
// two new names, are the same), then the extension (".txt" when forced).
std::string FileName(size_t index, bool txt_only) {
  Rng rng(0x51A7E5EEDull ^ (index * 0x2545F4914F6CDD1Dull));
  const bool ascii_only = rng.Below(2) == 0;
  const size_t piece_count = ascii_only ? kAsciiPieces : std::size(kPieces);
  const std::string_view ext =
      txt_only ? kExtensions[0] : kExtensions[rng.Below(ascii_only ? 4 : std::size(kExtensions))];
  const size_t target = 14 + rng.Below(37);
  std::string base(1, static_cast<char>('a' + rng.Below(26)));
  while (base.size() < target) {
    const std::string_view piece = kPieces[rng.Below(piece_count)];
    if (base.size() + piece.size() > target) break;
    base.append(piece);
  }
  return base + "-" + std::to_string(index) + std::string(ext);
}

// The names of a set in the order a run lists them.
std::vector<std::string> SortedNames(size_t first, size_t count, bool txt_only) {
  std::vector<std::string> names;
  names.reserve(count);
  for (size_t i = 0; i < count; ++i) names.push_back(FileName(first + i, txt_only));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return qtarvox::CompareNames(a, b) < 0;
  });
  return names;
}

// UPPERCASE (1) then numbers at end (9, normal style) with counter `number`.
std::string UppercaseNumbered(const std::string& filename, size_t number) {
  std::string name, ext;
  qtarvox::SplitFilename(filename, name, ext);
  return qtarvox::ToUpperBytes(name) + std::to_string(number) + ext;
}

// The name "Add a unique number" gives the k-th file (0-based) that wants "same.txt".
std::string SameName(size_t k) {
  return k == 0 ? "same.txt" : "same_" + std::to_string(k) + ".txt";
}

// --- Directories -------------------------------------------------------------------

// Creates files first .. first + count - 1 as empty regular files (mknodat is
// the steadiest way to make many on this file system). Names are made one at
// a time so the parent process stays small.
void CreateFiles(const std::string& dir, size_t first, size_t count, bool txt_only) {
  const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) {
    std::perror(dir.c_str());
    std::exit(1);
  }
  for (size_t i = 0; i < count; ++i) {
    const std::string name = FileName(first + i, txt_only);
    if (mknodat(dfd, name.c_str(), S_IFREG | 0644, 0) != 0) {
      std::perror(name.c_str());
      std::exit(1);
    }
  }
  close(dfd);
}

std::string TreeSubdirName(size_t d) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "d%03zu", d);
  return buffer;
}

// Every name in a directory, by readdir.
std::unordered_set<std::string> NamesIn(const std::string& dir) {
  std::vector<qtarvox::DirEntry> entries;
  MustWork(qtarvox::ReadDirectory(dir, entries), dir.c_str());
  std::unordered_set<std::string> names;
  for (auto& e : entries) names.insert(std::move(e.name));
  return names;
}

size_t CountPresent(const std::unordered_set<std::string>& present,
                    const std::vector<std::string>& expected) {
  return static_cast<size_t>(std::count_if(expected.begin(), expected.end(),
                                           [&](const std::string& n) { return present.count(n); }));
}

// --- Ports that do nothing ------------------------------------------------------------

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

// --- Child processes ---------------------------------------------------------------------

// What a child sends back through its pipe.
// One directory of renames for a plain loop: full old and new paths.
struct RenameList {
  std::vector<std::string> from;
  std::vector<std::string> to;
};

// Renames entries [begin, end) of the list, timed.
ChildReport PlainRenames(const RenameList& list, size_t begin, size_t end) {
  size_t failed = 0;
  const auto start = Clock::now();
  for (size_t i = begin; i < end; ++i) {
    if (renameat2(AT_FDCWD, list.from[i].c_str(), AT_FDCWD, list.to[i].c_str(), RENAME_NOREPLACE) !=
        0) {
      ++failed;
    }
  }
  ChildReport report;
  report.seconds = Seconds(start, Clock::now());
  report.count = static_cast<double>(end - begin);
  report.ok = failed == 0;
  return report;
}

// The plain loop, run as two children: the first half of the renames before
// the measured run and the second half after it, so that drift of the disk
// during the run weighs on both sides alike. `make_list` builds the renames
// (untimed) without touching the files: the loop runs over fresh files, as
// nothing has looked their names up since they were made. `after`, when
// given, is timed in the second child once its renames are done.
using ListMaker = std::function<RenameList()>;

ChildRun PlainHalf(const ListMaker& make_list, int half,
                   const std::function<double()>& after = {}) {
  return InChild([&] {
    const RenameList list = make_list();
    const size_t middle = list.from.size() / 2;
    ChildReport report =
        half == 0 ? PlainRenames(list, 0, middle) : PlainRenames(list, middle, list.from.size());
    if (after) report.extra = after();
    return report;
  });
}

// The two halves as one run: times and counts added, the larger peak RSS.
ChildRun Combined(const ChildRun& first, const ChildRun& second) {
  ChildRun run;
  run.report.seconds = first.report.seconds + second.report.seconds;
  run.report.count = first.report.count + second.report.count;
  run.report.extra = second.report.extra;
  run.report.ok = first.report.ok && second.report.ok;
  run.max_rss_mib = std::max(first.max_rss_mib, second.max_rss_mib);
  run.cpu_seconds = first.cpu_seconds + second.cpu_seconds;
  run.exited = first.exited && second.exited;
  return run;
}

// The walk's own listing of one directory (readdir, attributes, sort), timed.
double ListingSeconds(const std::string& dir, const char* pattern) {
  std::vector<std::string> names;
  const auto start = Clock::now();
  MustWork(qtarvox::SearchDirectory(dir, pattern, qtarvox::SearchFilter::kFiles, names),
           dir.c_str());
  return Seconds(start, Clock::now());
}

// UPPERCASE + numbers at end; with `archive` also the archive attribute
// (position 13), which takes every file one at a time.
qtarvox::Job PerformJob(const std::string& lst_dir, const char* pattern, bool journal = true,
                        bool archive = false) {
  qtarvox::Job job;
  qtarvox::TickPosition(job, 1);  // UPPERCASE
  qtarvox::TickPosition(job, 9);  // numbers at end, normal style
  if (archive) qtarvox::TickPosition(job, 13);
  job.WriteJournal = journal;
  job.NumberEndStyle = qtarvox::NumberStyle::kNormal;
  qtarvox::SnapshotChosenActions(job);
  job.chkProcess = true;
  job.method = qtarvox::SelectionMethod::kExtension;
  job.lstDir = {lst_dir};
  job.lstExt = {std::string(pattern)};
  job.dirDir = lst_dir;
  return job;
}

ChildReport TimedPressRun(qtarvox::Job& job, size_t files) {
  QuietPrompter prompter;
  QuietView view;
  const auto start = Clock::now();
  const qtarvox::RunOutcome outcome = qtarvox::RunOnce(job, prompter, view, false);
  ChildReport report;
  report.seconds = Seconds(start, Clock::now());
  report.count = static_cast<double>(files);
  report.extra = outcome.files;
  report.ok = outcome.started && !outcome.errors;
  return report;
}

// --- Reporting ----------------------------------------------------------------------------

double Rate(const ChildRun& run) { return run.report.count / run.report.seconds; }

// The CPU time counts the whole child (also what it does around the timed
// part, such as checking names): a measure of work, not of speed.
void PrintRun(const char* label, const ChildRun& run) {
  std::printf("  %-22s %7.0f files in %7.3f s = %8.0f files/s, peak RSS %6.1f MiB, CPU %.2f s%s\n",
              label, run.report.count, run.report.seconds, Rate(run), run.max_rss_mib,
              run.cpu_seconds, run.report.ok ? "" : "  !! ERRORS");
}

void PrintCheck(const char* what, const ChildRun& check, size_t expected) {
  const auto found = static_cast<size_t>(check.report.count);
  std::printf("  check: %zu of %zu %s%s\n", found, expected, what,
              found == expected ? "" : "  !! MISMATCH");
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// The median of a few figures (the mean of the middle two for an even count).
double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Figures(const std::vector<double>& values, const char* format) {
  std::string text;
  for (double v : values) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, v);
    text += text.empty() ? "" : ", ";
    text += buffer;
  }
  return text;
}

// The sets of one round, each in its own fresh directory; only those of the
// parts asked for are made.
struct RoundSets {
  std::string flat_perform, flat_unjournalled, flat_plain;
  std::string tree_perform, tree_unjournalled, tree_plain;
  std::string same_perform, same_plain;
  std::string archive_journalled, archive_unjournalled;
  std::string many_perform, many_plain;
};

// Which parts run: "a" perform (with and without the journal), "b" preview,
// "c" same name, "d" attribute action (one file at a time, with and without
// the journal), "e" same name with ten times as many files.
struct Parts {
  bool a = false, b = false, c = false, d = false, e = false;
};

// The scale, the rounds and the parts to run from the command line; false
// when one is out of range.
bool ReadArguments(int argc, char** argv, double& scale, int& rounds, std::string& part_letters,
                   Parts& parts) {
  if (argc > 1) scale = std::atof(argv[1]);
  if (argc > 2) rounds = std::atoi(argv[2]);
  if (argc > 3) part_letters = argv[3];
  for (const char letter : part_letters) {
    parts.a |= letter == 'a';
    parts.b |= letter == 'b';
    parts.c |= letter == 'c';
    parts.d |= letter == 'd';
    parts.e |= letter == 'e';
  }
  return scale > 0 && scale <= 10 && rounds >= 1 && rounds <= 9 && argc <= 4 &&
         part_letters.find_first_not_of("abcde") == std::string::npos && !part_letters.empty();
}

RoundSets CreateRound(const std::string& root, int round, const Parts& parts, size_t flat_files,
                      size_t per_dir, size_t same_files, size_t archive_files,
                      size_t many_same_files) {
  const std::string dir = MakeSubdir(root, "round" + std::to_string(round + 1));
  RoundSets sets;
  if (parts.a || parts.b) {
    sets.flat_perform = MakeSubdir(dir, "flat-perform");
    CreateFiles(sets.flat_perform, 0, flat_files, false);
  }
  if (parts.a) {
    sets.flat_unjournalled = MakeSubdir(dir, "flat-unjournalled");
    sets.flat_plain = MakeSubdir(dir, "flat-plain");
    CreateFiles(sets.flat_unjournalled, 0, flat_files, false);
    CreateFiles(sets.flat_plain, 0, flat_files, false);
    sets.tree_perform = MakeSubdir(dir, "tree-perform");
    sets.tree_unjournalled = MakeSubdir(dir, "tree-unjournalled");
    sets.tree_plain = MakeSubdir(dir, "tree-plain");
    for (const std::string& tree : {sets.tree_perform, sets.tree_unjournalled, sets.tree_plain}) {
      for (size_t d = 0; d < kTreeDirs; ++d) {
        CreateFiles(MakeSubdir(tree, TreeSubdirName(d)), d * per_dir, per_dir, true);
      }
    }
  }
  if (parts.c) {
    sets.same_perform = MakeSubdir(dir, "same-perform");
    sets.same_plain = MakeSubdir(dir, "same-plain");
    CreateFiles(sets.same_perform, 0, same_files, true);
    CreateFiles(sets.same_plain, 0, same_files, true);
  }
  if (parts.d) {
    sets.archive_journalled = MakeSubdir(dir, "archive-journalled");
    sets.archive_unjournalled = MakeSubdir(dir, "archive-unjournalled");
    CreateFiles(sets.archive_journalled, 0, archive_files, false);
    CreateFiles(sets.archive_unjournalled, 0, archive_files, false);
  }
  if (parts.e) {
    sets.many_perform = MakeSubdir(dir, "many-perform");
    sets.many_plain = MakeSubdir(dir, "many-plain");
    CreateFiles(sets.many_perform, 0, many_same_files, true);
    CreateFiles(sets.many_plain, 0, many_same_files, true);
  }
  return sets;
}

// What the rounds of one comparison gave.
struct Series {
  std::vector<double> ratios;
  std::vector<double> engine_rates;
  std::vector<double> plain_rates;
  double max_rss_mib = 0;

  void Add(const ChildRun& engine, const ChildRun& plain) {
    ratios.push_back(Rate(engine) / Rate(plain));
    engine_rates.push_back(Rate(engine));
    plain_rates.push_back(Rate(plain));
    max_rss_mib = std::max(max_rss_mib, engine.max_rss_mib);
  }
};

// The perform of `job_of(journal)` on each of two sets, one with the
// journal and one without, in an order that changes from round to round so
// that drift of the disk weighs on both alike.
std::pair<ChildRun, ChildRun> JournalledAndNot(
    int round, size_t files, const std::function<qtarvox::Job(bool journal)>& job_of) {
  ChildRun runs[2];
  for (int k = 0; k < 2; ++k) {
    const bool journal = (k + round) % 2 == 0;
    sync();
    runs[journal ? 0 : 1] = InChild([&] {
      qtarvox::Job job = job_of(journal);
      return TimedPressRun(job, files);
    });
  }
  return {runs[0], runs[1]};
}

// Part c or e of one round: every file of `perform_dir` renamed to
// "same.txt" through the driver, against a plain loop renaming the files of
// `plain_dir` straight to the names the collisions give.
void SameNameRound(char part, const std::string& perform_dir, const std::string& plain_dir,
                   size_t files, Series& series) {
  std::printf(
      "%c. %zu files all renamed to \"same.txt\" (position 17), collisions: add a unique "
      "number, separator \"_\":\n",
      part, files);
  sync();
  const ListMaker same_list = [&] {
    const std::vector<std::string> names = SortedNames(0, files, true);
    RenameList list;
    for (size_t k = 0; k < names.size(); ++k) {
      list.from.push_back(plain_dir + "/" + names[k]);
      list.to.push_back(plain_dir + "/" + SameName(k));
    }
    return list;
  };
  const ChildRun plain_first = PlainHalf(same_list, 0);
  sync();
  const ChildRun run = InChild([&] {
    qtarvox::Job job;
    qtarvox::TickPosition(job, 17);
    qtarvox::SnapshotChosenActions(job);
    job.NewFilename = std::string("same.txt");
    job.collision = qtarvox::CollisionOption::kAppendNumber;
    job.txtSep = std::string("_");
    job.chkProcess = true;
    job.method = qtarvox::SelectionMethod::kExtension;
    job.lstDir = {perform_dir};
    job.lstExt = {std::string("*.*")};
    job.dirDir = perform_dir;
    return TimedPressRun(job, files);
  });
  sync();
  const ChildRun plain_run = Combined(plain_first, PlainHalf(same_list, 1));
  PrintRun("plain renameat2 loop:", plain_run);
  PrintRun("PressRun (perform):", run);
  const ChildRun check = InChild([&] {
    std::vector<std::string> expected;
    for (size_t k = 0; k < files; ++k) expected.push_back(SameName(k));
    return ChildReport{0, static_cast<double>(CountPresent(NamesIn(perform_dir), expected)), 0, 1};
  });
  PrintCheck("names same.txt, same_1.txt, ... present", check, files);
  series.Add(run, plain_run);
  std::printf("  ratio collisions/plain = %.3f\n", series.ratios.back());
}

// What the rounds measured, gathered for the summary.
struct Results {
  Series flat, tree, same, many_same, flat_unjournalled, tree_unjournalled;
  std::vector<double> flat_journal_cost, tree_journal_cost, archive_journal_cost;
  std::vector<double> archive_rates, archive_unjournalled_rates;
  std::vector<double> preview_rates;
  double preview_rss = 0;
};

// The file counts of every set, scaled.
struct Sizes {
  size_t flat_files, per_dir, tree_files, same_files, archive_files, many_same_files;
};

// a. The perform over the flat directory, with and without the journal,
// against the plain loop.
void FlatRound(int r, const RoundSets& sets, const Sizes& n, Results& res) {
  // --- a. Perform, flat -----------------------------------------------------------
  std::printf("a. perform, flat directory (lstExt *.*), with and without the journal:\n");
  const ListMaker flat_list = [&] {
    const std::vector<std::string> names = SortedNames(0, n.flat_files, false);
    RenameList list;
    for (size_t k = 0; k < names.size(); ++k) {
      list.from.push_back(sets.flat_plain + "/" + names[k]);
      list.to.push_back(sets.flat_plain + "/" + UppercaseNumbered(names[k], k + 1));
    }
    return list;
  };
  const ChildRun flat_plain_first = PlainHalf(flat_list, 0);
  const auto [flat_run, flat_off_run] = JournalledAndNot(r, n.flat_files, [&](bool journal) {
    return PerformJob(journal ? sets.flat_perform : sets.flat_unjournalled, "*.*", journal);
  });
  sync();
  const ChildRun flat_plain_run =
      Combined(flat_plain_first,
               PlainHalf(flat_list, 1, [&] { return ListingSeconds(sets.flat_plain, "*.*"); }));
  PrintRun("plain renameat2 loop:", flat_plain_run);
  PrintRun("PressRun, journal:", flat_run);
  PrintRun("PressRun, no journal:", flat_off_run);
  for (const std::string& set : {sets.flat_perform, sets.flat_unjournalled}) {
    const ChildRun flat_check = InChild([&] {
      const std::vector<std::string> names = SortedNames(0, n.flat_files, false);
      std::vector<std::string> expected;
      for (size_t k = 0; k < names.size(); ++k)
        expected.push_back(UppercaseNumbered(names[k], k + 1));
      return ChildReport{0, static_cast<double>(CountPresent(NamesIn(set), expected)), 0, 1};
    });
    PrintCheck("files carry their expected new name", flat_check, n.flat_files);
  }
  res.flat.Add(flat_run, flat_plain_run);
  res.flat_unjournalled.Add(flat_off_run, flat_plain_run);
  res.flat_journal_cost.push_back(Rate(flat_run) / Rate(flat_off_run));
  std::printf(
      "  ratio perform/plain = %.3f with the journal, %.3f without; for reference, the "
      "walk's listing alone (readdir, attributes, sort; warm cache) took %.3f s = %.0f%% of "
      "the perform\n",
      res.flat.ratios.back(), res.flat_unjournalled.ratios.back(), flat_plain_run.report.extra,
      100 * flat_plain_run.report.extra / flat_run.report.seconds);
}

// b. The preview of the flat directory.
void PreviewRound(const RoundSets& sets, const Sizes& n, Results& res) {
  // --- b. Preview ------------------------------------------------------------------
  std::printf("b. preview of the flat directory, collisions: do not rename:\n");
  sync();
  const ChildRun preview_run = InChild([&] {
    qtarvox::Job job = PerformJob(sets.flat_perform, "*.*");
    job.collision = qtarvox::CollisionOption::kDoNotRename;
    QuietPrompter prompter;
    QuietView view;
    const auto start = Clock::now();
    const qtarvox::RunOutcome outcome = qtarvox::RunOnce(job, prompter, view, true);
    ChildReport report;
    report.seconds = Seconds(start, Clock::now());
    report.count = static_cast<double>(n.flat_files);
    const std::string& text = outcome.preview->text();
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
      ++lines;
    }
    report.extra = static_cast<double>(lines);
    report.ok = outcome.started && !outcome.errors;
    return report;
  });
  PrintRun("PressPreview:", preview_run);
  std::printf("  check: %.0f preview lines for %zu files%s\n", preview_run.report.extra,
              n.flat_files,
              static_cast<size_t>(preview_run.report.extra) == n.flat_files ? "" : "  !! MISMATCH");
  res.preview_rates.push_back(Rate(preview_run));
  res.preview_rss = std::max(res.preview_rss, preview_run.max_rss_mib);
}

// The renames of the plain loop over the tree, in the perform's order.
RenameList TreeRenames(const std::string& tree, size_t per_dir) {
  RenameList list;
  size_t number = 0;
  for (size_t d = 0; d < kTreeDirs; ++d) {
    const std::string dir = tree + "/" + TreeSubdirName(d);
    for (const auto& name : SortedNames(d * per_dir, per_dir, true)) {
      list.from.push_back(dir + "/" + name);
      list.to.push_back(dir + "/" + UppercaseNumbered(name, ++number));
    }
  }
  return list;
}

// The files of a performed tree that carry their expected new names.
ChildRun TreeCheck(const std::string& set, size_t per_dir) {
  return InChild([&] {
    size_t found = 0;
    size_t number = 0;
    for (size_t d = 0; d < kTreeDirs; ++d) {
      std::vector<std::string> expected;
      for (const auto& name : SortedNames(d * per_dir, per_dir, true)) {
        expected.push_back(UppercaseNumbered(name, ++number));
      }
      found += CountPresent(NamesIn(set + "/" + TreeSubdirName(d)), expected);
    }
    return ChildReport{0, static_cast<double>(found), 0, 1};
  });
}

// a. The perform over the tree, with and without the journal, against the
// plain loop.
void TreeRound(int r, const RoundSets& sets, const Sizes& n, Results& res) {
  // --- a. Perform, tree ----------------------------------------------------------------
  std::printf(
      "a. perform, tree of %zu directories x %zu files (lstExt *.txt, root with \"%s\"), "
      "with and without the journal:\n",
      kTreeDirs, n.per_dir, qtarvox::kIncludeSubdirsMark);
  sync();
  const ListMaker tree_list = [&] { return TreeRenames(sets.tree_plain, n.per_dir); };
  const ChildRun tree_plain_first = PlainHalf(tree_list, 0);
  const auto [tree_run, tree_off_run] = JournalledAndNot(r, n.tree_files, [&](bool journal) {
    const std::string& set = journal ? sets.tree_perform : sets.tree_unjournalled;
    qtarvox::Job job = PerformJob(set + qtarvox::kIncludeSubdirsMark, "*.txt", journal);
    job.dirDir = set;
    return job;
  });
  sync();
  const ChildRun tree_plain_run =
      Combined(tree_plain_first, PlainHalf(tree_list, 1, [&] {
                 double seconds = 0;
                 for (size_t d = 0; d < kTreeDirs; ++d) {
                   seconds += ListingSeconds(sets.tree_plain + "/" + TreeSubdirName(d), "*.txt");
                 }
                 return seconds;
               }));
  PrintRun("plain renameat2 loop:", tree_plain_run);
  PrintRun("PressRun, journal:", tree_run);
  PrintRun("PressRun, no journal:", tree_off_run);
  for (const std::string& set : {sets.tree_perform, sets.tree_unjournalled}) {
    PrintCheck("files carry their expected new name", TreeCheck(set, n.per_dir), n.tree_files);
  }
  res.tree.Add(tree_run, tree_plain_run);
  res.tree_unjournalled.Add(tree_off_run, tree_plain_run);
  res.tree_journal_cost.push_back(Rate(tree_run) / Rate(tree_off_run));
  std::printf(
      "  ratio perform/plain = %.3f with the journal, %.3f without; for reference, the "
      "walk's listings alone took %.3f s = %.0f%% of the perform\n",
      res.tree.ratios.back(), res.tree_unjournalled.ratios.back(), tree_plain_run.report.extra,
      100 * tree_plain_run.report.extra / tree_run.report.seconds);
}

// d. The perform with an attribute action, with and without the journal.
void ArchiveRound(int r, const RoundSets& sets, const Sizes& n, Results& res) {
  // --- d. An attribute action: one file at a time ------------------------------------
  std::printf(
      "d. perform with the archive attribute, flat directory of %zu files (every file one "
      "at a time), with and without the journal:\n",
      n.archive_files);
  const auto [archive_run, archive_off_run] =
      JournalledAndNot(r, n.archive_files, [&](bool journal) {
        return PerformJob(journal ? sets.archive_journalled : sets.archive_unjournalled, "*.*",
                          journal, true);
      });
  PrintRun("PressRun, journal:", archive_run);
  PrintRun("PressRun, no journal:", archive_off_run);
  res.archive_rates.push_back(Rate(archive_run));
  res.archive_unjournalled_rates.push_back(Rate(archive_off_run));
  res.archive_journal_cost.push_back(Rate(archive_run) / Rate(archive_off_run));
  std::printf("  ratio journal/no journal = %.3f\n", res.archive_journal_cost.back());
}

// The median round of each figure, with every round's figure.
void PrintSummary(double scale, int rounds, const Parts& parts, const Sizes& n,
                  const Results& res) {
  std::printf("\nsummary (scale %g; median of %d rounds, each round's figure in brackets):\n",
              scale, rounds);
  if (parts.a) {
    for (const auto& [label, journalled, unjournalled, cost] :
         {std::tuple{"flat perform", &res.flat, &res.flat_unjournalled, &res.flat_journal_cost},
          std::tuple{"tree perform", &res.tree, &res.tree_unjournalled, &res.tree_journal_cost}}) {
      const double ratio = Median(journalled->ratios);
      std::printf("  %s: ratio perform/plain = %.3f [%s] (target %.2f: %s)\n", label, ratio,
                  Figures(journalled->ratios, "%.3f").c_str(), kTargetPerformRatio,
                  Verdict(ratio >= kTargetPerformRatio));
      std::printf("                without the journal %.3f [%s]; journal/no journal %.3f [%s]\n",
                  Median(unjournalled->ratios), Figures(unjournalled->ratios, "%.3f").c_str(),
                  Median(*cost), Figures(*cost, "%.3f").c_str());
      std::printf(
          "                %.0f files/s (%.0f without the journal) against plain %.0f files/s\n",
          Median(journalled->engine_rates), Median(unjournalled->engine_rates),
          Median(journalled->plain_rates));
      std::printf("                peak RSS %.1f MiB (target under %.0f MiB: %s)\n",
                  journalled->max_rss_mib, kTargetRssMiB,
                  Verdict(journalled->max_rss_mib < kTargetRssMiB));
    }
  }
  if (parts.b) {
    const double preview_rate = Median(res.preview_rates);
    std::printf("  flat preview: %.0f files/s [%s] (target at least %.0f: %s), peak RSS %.1f MiB\n",
                preview_rate, Figures(res.preview_rates, "%.0f").c_str(), kTargetPreviewPerSecond,
                Verdict(preview_rate >= kTargetPreviewPerSecond), res.preview_rss);
  }
  const auto print_same = [&](size_t files, const Series& series) {
    const double ratio = Median(series.ratios);
    std::printf("  same name, %zu: ratio collisions/plain = %.3f [%s] (target %.2f: %s)\n", files,
                ratio, Figures(series.ratios, "%.3f").c_str(), kTargetCollisionRatio,
                Verdict(ratio >= kTargetCollisionRatio));
    std::printf("                %.0f files/s against plain %.0f files/s, peak RSS %.1f MiB\n",
                Median(series.engine_rates), Median(series.plain_rates), series.max_rss_mib);
  };
  if (parts.c) print_same(n.same_files, res.same);
  if (parts.e) print_same(n.many_same_files, res.many_same);
  if (parts.d) {
    std::printf(
        "  attribute action: %.0f files/s with the journal, %.0f without; journal/no journal "
        "%.3f [%s]\n",
        Median(res.archive_rates), Median(res.archive_unjournalled_rates),
        Median(res.archive_journal_cost), Figures(res.archive_journal_cost, "%.3f").c_str());
  }
}

// The file counts of every set at `scale`.
Sizes ScaledSizes(double scale) {
  const auto scaled = [&](size_t n) {
    return std::max<size_t>(1, static_cast<size_t>(std::llround(static_cast<double>(n) * scale)));
  };
  Sizes n;
  n.flat_files = scaled(kFlatFiles);
  n.per_dir = scaled(kTreeFilesPerDir);
  n.tree_files = kTreeDirs * n.per_dir;
  n.same_files = scaled(kSameNameFiles);
  n.archive_files = scaled(kArchiveFiles);
  n.many_same_files = scaled(kManySameNameFiles);
  return n;
}

// Every set of every round, created before anything is timed.
std::vector<RoundSets> CreateSets(const std::string& root, int rounds, const Parts& parts,
                                  const Sizes& n) {
  const auto create_start = Clock::now();
  std::vector<RoundSets> round_sets;
  for (int r = 0; r < rounds; ++r) {
    round_sets.push_back(CreateRound(root, r, parts, n.flat_files, n.per_dir, n.same_files,
                                     n.archive_files, n.many_same_files));
  }
  std::printf("created the sets in %.2f s (not part of any figure)\n",
              Seconds(create_start, Clock::now()));
  sync();
  return round_sets;
}

// One round of every part asked for, in the order the figures are printed.
void RunRound(int r, int rounds, const RoundSets& sets, const Parts& parts, const Sizes& n,
              Results& res) {
  std::printf("\n=== round %d of %d\n", r + 1, rounds);

  if (parts.a) FlatRound(r, sets, n, res);
  if (parts.b) PreviewRound(sets, n, res);
  if (parts.a) TreeRound(r, sets, n, res);
  if (parts.c) SameNameRound('c', sets.same_perform, sets.same_plain, n.same_files, res.same);

  if (parts.d) ArchiveRound(r, sets, n, res);
  if (parts.e) {
    SameNameRound('e', sets.many_perform, sets.many_plain, n.many_same_files, res.many_same);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto program_start = Clock::now();
  double scale = 1.0;
  int rounds = kRounds;
  std::string part_letters = "abcde";
  Parts parts;
  if (!ReadArguments(argc, argv, scale, rounds, part_letters, parts)) {
    std::fprintf(stderr, "usage: %s [scale in (0, 10] [rounds 1 to 9 [parts, of abcde]]]\n",
                 argv[0]);
    return 2;
  }
  const Sizes n = ScaledSizes(scale);

  const std::string root = MakeTempDir("qtarvox-run-bench-");
  const std::string work = MakeSubdir(root, "work");
  const std::string config = MakeSubdir(root, "config");
  setenv("QTARVOX_WORK_DIR", work.c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);

  std::printf(
      "run_bench (scale %g, %d rounds, parts %s): flat %zu files, tree %zu x %zu files, same "
      "name %zu and %zu files, attribute action %zu files\n",
      scale, rounds, part_letters.c_str(), n.flat_files, kTreeDirs, n.per_dir, n.same_files,
      n.many_same_files, n.archive_files);
  std::printf("sets in %s\n", root.c_str());
  const std::vector<RoundSets> round_sets = CreateSets(root, rounds, parts, n);

  const ChildRun idle = InChild([] { return ChildReport{0, 0, 0, 1}; });
  std::printf("peak RSS of a child that does nothing: %.1f MiB (the floor of every RSS below)\n",
              idle.max_rss_mib);

  Results res;
  for (int r = 0; r < rounds; ++r) {
    RunRound(r, rounds, round_sets[static_cast<size_t>(r)], parts, n, res);
  }
  PrintSummary(scale, rounds, parts, n, res);

  const auto cleanup_start = Clock::now();
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  std::printf("removed the sets in %.2f s\n", Seconds(cleanup_start, Clock::now()));
  std::printf("total time: %.2f s\n", Seconds(program_start, Clock::now()));
  return 0;
}
