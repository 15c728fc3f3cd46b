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
// of a 5 ms timer).
//
// Usage: window_bench [scale [rounds]]   (scale 0.1: 10,000 files; 5 rounds
// unless told otherwise). Each round uses fresh sets, made before anything
// is timed; the two sides take turns going first. The median round is the
// headline.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench_common.h"
#include "cli/startup.h"
#include "ui/main_window.h"

namespace {

using bench::Clock;
using bench::Seconds;

constexpr size_t kFiles = 100000;
constexpr int kRounds = 5;
constexpr double kTargetRatio = 0.85;

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

struct WindowFigures {
  double seconds = 0;
  double window_cpu = 0;     // CPU time the window's own thread took meanwhile
  int paints = 0;            // of the status label while the run ran
  double longest_pause = 0;  // of the window's thread while the passes ran, in seconds
  std::string last_progress;
};

WindowFigures PerformInWindow(const std::string& dir) {
  qtarvox::MainWindow window;
  window.resize(1024, 768);
  window.StartFromCommandLine({"-UC", "-NE", "E", "-FE", dir + "*N?txt"}, [&] { window.show(); });
  auto* perform = window.findChild<QPushButton*>(QStringLiteral("cmdProceed3"));
  auto* status = window.findChild<QLabel*>(QStringLiteral("lblStatus"));
  if (perform == nullptr || status == nullptr || !perform->isVisible()) {
    std::fprintf(stderr, "window_bench: the window did not reach Step 3\n");
    std::exit(1);
  }
  PaintCounter counter;
  status->installEventFilter(&counter);
  WindowFigures figures;

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
    if (!window.port().wizard().RunDone()) {
      figures.longest_pause = std::max(figures.longest_pause, Seconds(last_tick, now));
    }
    last_tick = now;
    QString text = status->text();
    if (text.contains(QStringLiteral("Renaming..."))) {
      figures.last_progress = text.replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString();
    }
    if (ended && !window.port().screen().running) loop.quit();
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

}  // namespace

int main(int argc, char** argv) {
  const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : kRounds;
  const size_t files = static_cast<size_t>(static_cast<double>(kFiles) * scale);
  if (files == 0 || rounds < 1) {
    std::fprintf(stderr, "usage: window_bench [scale [rounds]]\n");
    return 2;
  }
  const std::string root = bench::MakeTempDir("qtarvox-window-bench-");
  setenv("QTARVOX_WORK_DIR", bench::MakeSubdir(root, "work").c_str(), 1);
  setenv("XDG_CONFIG_HOME", bench::MakeSubdir(root, "config").c_str(), 1);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);

  std::printf(
      "window_bench: %zu files, UPPERCASE + even numbers at end, Process file on, %d round(s)\n",
      files, rounds);
  const Clock::time_point made = Clock::now();
  std::vector<std::pair<std::string, std::string>> sets;
  for (int r = 0; r < rounds; ++r) {
    const std::string window_dir = bench::MakeSubdir(root, "window" + std::to_string(r));
    const std::string cli_dir = bench::MakeSubdir(root, "cli" + std::to_string(r));
    // The sets of a round are made in the order the round runs them.
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

  std::vector<double> window_times, cli_times, ratios;
  for (int r = 0; r < rounds; ++r) {
    const auto& [window_dir, cli_dir] = sets[static_cast<size_t>(r)];
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
      return 1;
    }
    window_times.push_back(w.seconds);
    cli_times.push_back(cli);
    ratios.push_back(cli / w.seconds);
    std::printf(
        "  round %d: window %.3f s (its own thread busy %.3f s; status label painted %d times; "
        "longest pause of the window while the passes ran %.0f ms; last progress \"%s\"), command "
        "line %.3f s, "
        "ratio %.3f\n",
        r + 1, w.seconds, w.window_cpu, w.paints, w.longest_pause * 1000, w.last_progress.c_str(),
        cli, cli / w.seconds);
  }
  std::printf(
      "window %.3f s, command line %.3f s (medians); speed of the window against the "
      "command line %.3f (median of the rounds' ratios; target >= %.2f)\n",
      Median(window_times), Median(cli_times), Median(ratios), kTargetRatio);
  std::filesystem::remove_all(root);
  return 0;
}
