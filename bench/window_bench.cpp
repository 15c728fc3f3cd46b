// A perform in the window against the same perform from the silent command
// line, in the same run.
//
// The job: UPPERCASE and even numbers at the end, Process file on, method
// "Extension" over one flat directory of 100,000 .txt files. The window is
// the real one on Qt's offscreen platform, filled from the job's command line
// (as a start without -SU fills it), then its Perform button is clicked; the
// time runs from the click until the "renamed" message shows. The command
// line is RunCommandLine with the same arguments and -SU. While the window
// performs, it counts how often the status label was painted, how much CPU
// time the window's own thread took, and how long that thread was ever kept
// from its events while the passes ran (the longest pause between two ticks
// of a 5 ms timer). The window's browser is on the set's folder, as if the
// user had opened it there. Then its Finished button is clicked and the
// question answered Yes: the longest pause until the Intro screen shows,
// while the browser reads the run's folder, now the remembered one, again.
// Before the perform, a Preview of the same files: the longest pause from
// its click until the preview box holds every line.
//
// Before that, the browser of Step 2: the longest pause of the window's
// thread (the longest gap between two ticks of a 1 ms timer) from choosing a
// folder of 100,000 files in the folder tree until the file list shows them
// all, against choosing a folder of 33 files; and the longest pause of going
// Back from Step 3 with the large folder open.
//
// Usage: window_bench [scale [rounds]]   (scale 0.1: 10,000 files; 5 rounds
// unless told otherwise; 0 rounds: the browser alone). Each round uses fresh
// sets, made before anything is timed; the two sides take turns going first.
// The median round is the headline.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench_common.h"
#include "cli/startup.h"
#include "run/settings.h"
#include "ui/main_window.h"

namespace {

using bench::Clock;
using bench::Seconds;

constexpr size_t kFiles = 100000;
constexpr int kRounds = 5;
constexpr double kTargetRatio = 0.85;
constexpr size_t kSmallFolder = 33;
constexpr int kChoices = 3;
constexpr double kTargetPauseMs = 100;

// Empty files "<letter>...-<index>.txt", each name different.
void CreateFiles(const std::string& dir, size_t count) {
  const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) {
    std::perror(dir.c_str());
    std::exit(1);
  }
  for (size_t i = 0; i < count; ++i) {
    bench::Rng rng(0xB0A7ull ^ (i * 0x2545F4914F6CDD1Dull));
    std::string name(1, static_cast<char>('a' + rng.Below(26)));
    while (name.size() < 14 + rng.Below(20))
      name.append(bench::kPieces[rng.Below(bench::kAsciiPieces)]);
    name += "-" + std::to_string(i) + ".txt";
    if (mknodat(dfd, name.c_str(), S_IFREG | 0644, 0) != 0) {
      std::perror(name.c_str());
      std::exit(1);
    }
  }
  close(dfd);
}

// Counts the paints of a widget.
class PaintCounter final : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// CPU time of the calling thread.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

template <typename T>
T* Child(QWidget& window, const char* name) {
  T* widget = window.findChild<T*>(QString::fromLatin1(name));
  if (widget == nullptr) {
    std::fprintf(stderr, "window_bench: no %s\n", name);
    std::exit(1);
  }
  return widget;
}

// The longest pause of the window's thread, in seconds, from `act` until
// `done` holds with no message box open, and `hold` seconds more (a listing
// may still come in, and a list is painted after it is filled).
template <typename Act, typename Done>
double LongestPause(Act act, Done done, double hold) {
  QEventLoop loop;
  QTimer ticks;
  double longest = 0;
  bool acted = false;
  Clock::time_point last = Clock::now();
  Clock::time_point since{};
  Clock::time_point acted_at{};
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    longest = std::max(longest, Seconds(last, now));
    last = now;
    if (!acted) return;
    // A question on the way is answered Yes, a message OK.
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      QAbstractButton* answer = box->button(QMessageBox::Yes);
      if (answer == nullptr) answer = box->button(QMessageBox::Ok);
      if (answer != nullptr) answer->click();
      return;
    }
    if (since == Clock::time_point{} && done()) since = now;
    if (since != Clock::time_point{} && Seconds(since, now) >= hold) loop.quit();
    if (Seconds(acted_at, now) > 120) {
      std::fprintf(stderr, "window_bench: still waiting after 2 minutes\n");
      std::exit(1);
    }
  });
  ticks.start(1);
  QTimer::singleShot(20, [&] {
    acted = true;
    acted_at = Clock::now();
    act();
  });
  loop.exec();
  return longest;
}

struct WindowFigures {
  double seconds = 0;
  double window_cpu = 0;      // CPU time the window's own thread took meanwhile
  int paints = 0;             // of the status label while the run ran
  double longest_pause = 0;   // of the window's thread while the passes ran, in seconds
  double finished_pause = 0;  // of Finished, answered Yes, until the Intro screen shows
  double preview_pause = 0;   // of a Preview, until its box holds every line
  std::string last_progress;
};

// A Preview: the longest pause from its click until the preview box holds
// every line of it.
double PreviewPause(qtarvox::MainWindow& window) {
  auto* preview = Child<QPushButton>(window, "cmdPreview");
  auto* box = Child<QPlainTextEdit>(window, "txtOP");
  int64_t expected = -1;  // characters of the whole preview, once the run is through
  return LongestPause([&] { preview->click(); },
                      [&] {
                        if (window.wizard().screen().running) return false;
                        if (expected < 0) {
                          const std::string& text = window.wizard().job().txtOP.text();
                          expected =
                              static_cast<int64_t>(text.size()) -
                              static_cast<int64_t>(std::count(text.begin(), text.end(), '\r')) + 1;
                        }
                        return box->document()->characterCount() >= expected;
                      },
                      0.2);
}

// The perform, from the click of `perform` until its end-of-run message is
// answered: the figures of the window's thread while the passes ran.
void TimePerform(qtarvox::MainWindow& window, QPushButton* perform, QLabel* status,
                 const PaintCounter& counter, WindowFigures& figures) {
  // Every 5 ms: how long since the last tick, what the status says, and
  // whether the end-of-run message has come (the run is then through).
  Clock::time_point start;
  Clock::time_point last_tick;
  bool ended = false;
  QEventLoop loop;
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    // Only while the passes run: opening and closing the report files are
    // short waits of their own at the start and at the end.
    if (!window.wizard().RunDone()) {
      figures.longest_pause = std::max(figures.longest_pause, Seconds(last_tick, now));
    }
    last_tick = now;
    QString text = status->text();
    if (text.contains(QStringLiteral("Renaming..."))) {
      figures.last_progress = text.replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString();
    }
    if (ended && !window.wizard().screen().running) loop.quit();
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || ended) return;
    figures.seconds = Seconds(start, now);
    ended = true;
    box->button(QMessageBox::Ok)->click();
  });
  ticks.start(5);
  start = last_tick = Clock::now();
  const double cpu_before = ThreadSeconds();
  perform->click();
  loop.exec();
  figures.window_cpu = ThreadSeconds() - cpu_before;
  figures.paints = counter.paints;
  ticks.stop();
}

WindowFigures PerformInWindow(const std::string& dir) {
  // The browser opens on the set's folder, as after a user chose it there,
  // and no folder of a round before comes back in its place.
  qtarvox::RememberDirectory(qtarvox::Job());
  qtarvox::Job job;
  job.dirDir = dir;
  qtarvox::MainWindow window(std::move(job));
  window.resize(1024, 768);
  window.StartFromCommandLine({"-UC", "-NE", "E", "-FE", dir + "*N?txt"}, [&] { window.show(); });
  auto* perform = window.findChild<QPushButton*>(QStringLiteral("cmdProceed3"));
  auto* status = window.findChild<QLabel*>(QStringLiteral("lblStatus"));
  if (perform == nullptr || status == nullptr || !perform->isVisible()) {
    std::fprintf(stderr, "window_bench: the window did not reach Step 3\n");
    std::exit(1);
  }
  WindowFigures figures;
  // A Preview first.
  figures.preview_pause = PreviewPause(window);
  PaintCounter counter;
  status->installEventFilter(&counter);
  TimePerform(window, perform, status, counter, figures);
  // Finished, its question answered Yes: the folder of the run is the one
  // remembered, and the browser reads it again.
  figures.finished_pause = LongestPause(
      [&] { perform->click(); },
      [&] { return window.wizard().screen().step == qtarvox::WizardStep::kIntro; }, 1.5);
  return figures;
}

double PerformFromCommandLine(const std::string& dir) {
  std::ostringstream out, err;
  const Clock::time_point start = Clock::now();
  const int code =
      qtarvox::RunCommandLine({"-UC", "-NE", "E", "-FE", dir + "*N?txt", "-SU"}, out, err);
  const double seconds = Seconds(start, Clock::now());
  if (code != 0) {
    std::fprintf(stderr, "window_bench: the command line ended with %d: %s\n", code,
                 err.str().c_str());
    std::exit(1);
  }
  return seconds;
}

// Every file of the set was renamed to upper case.
bool AllRenamed(const std::string& dir, size_t count) {
  size_t renamed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    renamed += name[0] >= 'A' && name[0] <= 'Z';
  }
  return renamed == count;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct BrowserFigures {
  std::vector<double> large, small;  // pauses choosing each folder, in seconds
  double back = 0;                   // going Back from Step 3 to the large folder
};

// Step 2 of a window whose browser is in `root`, which holds the folders
// `large` (`files` files) and `small` (kSmallFolder files): each is chosen
// kChoices times from `root`, which shows no files.
BrowserFigures ChooseFolders(const std::string& root, const std::string& large,
                             const std::string& small, size_t files) {
  qtarvox::Job job;
  job.dirDir = root;
  qtarvox::MainWindow window(std::move(job));
  window.resize(1024, 768);
  window.show();
  window.cmdStep1_Click();
  Child<QListWidget>(window, "lstActions")->item(0)->setCheckState(Qt::Checked);
  Child<QPushButton>(window, "cmdProceed1")->click();
  Child<QRadioButton>(window, "optIndividual")->click();
  Child<QPushButton>(window, "cmdFileType")->click();
  auto* tree = Child<QTreeWidget>(window, "dirDir");
  auto* list = Child<QAbstractItemView>(window, "filFile");
  QTreeWidgetItem* top = tree->currentItem();
  if (top == nullptr) {
    std::fprintf(stderr, "window_bench: the folder tree shows no folder\n");
    std::exit(1);
  }
  top->setExpanded(true);
  const auto item_of = [top](const std::string& path) {
    for (int i = 0; i < top->childCount(); ++i) {
      if (top->child(i)->data(0, Qt::UserRole).toByteArray().toStdString() == path) {
        return top->child(i);
      }
    }
    std::fprintf(stderr, "window_bench: the tree does not show %s\n", path.c_str());
    std::exit(1);
  };
  const auto rows = [list] { return static_cast<size_t>(list->model()->rowCount()); };
  const auto choose = [&](QTreeWidgetItem* item, size_t count) {
    return LongestPause([&] { tree->setCurrentItem(item); }, [&] { return rows() == count; }, 0.05);
  };
  BrowserFigures figures;
  for (int i = 0; i < kChoices; ++i) {
    figures.small.push_back(choose(item_of(small), kSmallFolder));
    choose(top, 0);
    figures.large.push_back(choose(item_of(large), files));
    choose(top, 0);
  }
  choose(item_of(large), files);
  window.cmdStep3_Click();
  // The folder is read again as Step 2 comes back: some time for that.
  figures.back = LongestPause([&] { Child<QPushButton>(window, "cmdCancel3")->click(); },
                              [&] { return rows() == files; }, 1.5);
  return figures;
}

std::string Milliseconds(const std::vector<double>& values) {
  std::string text;
  for (const double value : values) {
    if (!text.empty()) text += ", ";
    text += std::to_string(static_cast<int>(value * 1000 + 0.5));
  }
  return text;
}

void BenchBrowser(const std::string& root, size_t files) {
  const std::string folders = bench::MakeSubdir(root, "browser");
  const std::string large = bench::MakeSubdir(folders, "large");
  const std::string small = bench::MakeSubdir(folders, "small");
  const Clock::time_point made = Clock::now();
  CreateFiles(large, files);
  CreateFiles(small, kSmallFolder);
  std::printf(
      "browser: choosing a folder of %zu files against one of %zu in Step 2 (%d times "
      "each; folders made in %.1f s, not timed)\n",
      files, kSmallFolder, kChoices, Seconds(made, Clock::now()));
  const BrowserFigures f = ChooseFolders(folders, large, small, files);
  const double large_ms = Median(f.large) * 1000;
  const double small_ms = Median(f.small) * 1000;
  std::printf(
      "  longest pause choosing a folder: %.0f ms (%zu files; median of [%s]); "
      "baseline %.0f ms (%zu files; [%s]); ratio %.1f; target <= %.0f ms: %s\n",
      large_ms, files, Milliseconds(f.large).c_str(), small_ms, kSmallFolder,
      Milliseconds(f.small).c_str(), large_ms / std::max(small_ms, 1.0), kTargetPauseMs,
      large_ms <= kTargetPauseMs ? "met" : "missed");
  std::printf("  longest pause going Back from Step 3 to that folder: %.0f ms\n", f.back * 1000);
  std::filesystem::remove_all(folders);
}

// The window's and the command line's set of each round, made before
// anything is timed, in the order the round runs them.
std::vector<std::pair<std::string, std::string>> MakeSets(const std::string& root, size_t files,
                                                          int rounds) {
  const Clock::time_point made = Clock::now();
  std::vector<std::pair<std::string, std::string>> sets;
  for (int r = 0; r < rounds; ++r) {
    const std::string window_dir = bench::MakeSubdir(root, "window" + std::to_string(r));
    const std::string cli_dir = bench::MakeSubdir(root, "cli" + std::to_string(r));
    if (r % 2 == 0) {
      CreateFiles(window_dir, files);
      CreateFiles(cli_dir, files);
    } else {
      CreateFiles(cli_dir, files);
      CreateFiles(window_dir, files);
    }
    sets.emplace_back(window_dir, cli_dir);
  }
  std::printf("  sets made in %.1f s (not timed)\n", Seconds(made, Clock::now()));
  return sets;
}

// What the rounds measured, one figure per round.
struct Rounds {
  std::vector<double> window_times, cli_times, ratios, preview_pauses;
};

// One round, the two sides taking turns going first. False when a set was
// not renamed whole.
bool RunRound(int r, const std::string& window_dir, const std::string& cli_dir, size_t files,
              Rounds& rounds) {
  WindowFigures w;
  double cli = 0;
  if (r % 2 == 0) {
    w = PerformInWindow(window_dir);
    cli = PerformFromCommandLine(cli_dir);
  } else {
    cli = PerformFromCommandLine(cli_dir);
    w = PerformInWindow(window_dir);
  }
  if (!AllRenamed(window_dir, files) || !AllRenamed(cli_dir, files)) {
    std::fprintf(stderr, "window_bench: round %d did not rename every file\n", r + 1);
    return false;
  }
  rounds.window_times.push_back(w.seconds);
  rounds.cli_times.push_back(cli);
  rounds.ratios.push_back(cli / w.seconds);
  std::printf(
      "  round %d: window %.3f s (its own thread busy %.3f s; status label painted %d times; "
      "longest pause of the window while the passes ran %.0f ms; last progress \"%s\"; "
      "longest pause of Finished, answered Yes, %.0f ms; longest pause of a Preview before "
      "it, until its box held every line, %.0f ms), command line %.3f s, ratio %.3f\n",
      r + 1, w.seconds, w.window_cpu, w.paints, w.longest_pause * 1000, w.last_progress.c_str(),
      w.finished_pause * 1000, w.preview_pause * 1000, cli, cli / w.seconds);
  rounds.preview_pauses.push_back(w.preview_pause);
  return true;
}

void PrintSummary(const Rounds& rounds, size_t files) {
  std::printf(
      "window %.3f s, command line %.3f s (medians); speed of the window against the "
      "command line %.3f (median of the rounds' ratios; target >= %.2f)\n",
      Median(rounds.window_times), Median(rounds.cli_times), Median(rounds.ratios), kTargetRatio);
  const double preview_ms = Median(rounds.preview_pauses) * 1000;
  std::printf(
      "longest pause during a window Preview of %zu files: %.0f ms (median of [%s]); "
      "target <= %.0f ms: %s\n",
      files, preview_ms, Milliseconds(rounds.preview_pauses).c_str(), kTargetPauseMs,
      preview_ms <= kTargetPauseMs ? "met" : "missed");
}

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : kRounds;
  const size_t files = static_cast<size_t>(static_cast<double>(kFiles) * scale);
  if (files == 0 || rounds < 0) {
    std::fprintf(stderr, "usage: window_bench [scale [rounds]]\n");
    return 2;
  }
  const std::string root = bench::MakeTempDir("qtarvox-window-bench-");
  setenv("QTARVOX_WORK_DIR", bench::MakeSubdir(root, "work").c_str(), 1);
  setenv("XDG_CONFIG_HOME", bench::MakeSubdir(root, "config").c_str(), 1);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);

  BenchBrowser(root, files);
  if (rounds == 0) {
    std::filesystem::remove_all(root);
    return 0;
  }
  std::printf(
      "window_bench: %zu files, UPPERCASE + even numbers at end, Process file on, %d round(s)\n",
      files, rounds);
  const auto sets = MakeSets(root, files, rounds);
  Rounds figures;
  for (int r = 0; r < rounds; ++r) {
    const auto& [window_dir, cli_dir] = sets[static_cast<size_t>(r)];
    if (!RunRound(r, window_dir, cli_dir, files, figures)) return 1;
  }
  PrintSummary(figures, files);
  std::filesystem::remove_all(root);
  return 0;
}
