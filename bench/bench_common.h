// Pieces every benchmark program shares: the clock, a fixed random sequence,
// what file names of a set are made of, and temporary folders.
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// SplitMix64: small, fast and the same sequence on every machine.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }

 private:
  uint64_t state_;
};

// The first kAsciiPieces are plain ASCII. No piece holds "-", "." or "/".
inline constexpr size_t kAsciiPieces = 15;
inline constexpr std::string_view kPieces[] = {
    "ab",
    "AB",
    "aB",
    "x",
    "file",
    "photo",
    "report",
    "data",
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
};
// The first four are the ones plain ASCII names get.
inline constexpr std::string_view kExtensions[] = {
    ".txt", ".jpg", ".tar.gz", "", ".md", ".JPEG", ".\xE6\x97\xA5" /* .日 */, ".mp3",
};

// A figure taken after a failed step would be meaningless: the program ends.
template <typename Error>
void MustWork(const Error& err, const char* what) {
  if (!err) return;
  std::fprintf(stderr, "%s: %s\n", what, err.description.c_str());
  std::exit(1);
}

inline std::string MakeTempDir(const char* prefix) {
  std::string path = std::string("/tmp/") + prefix + "XXXXXX";
  if (mkdtemp(path.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  return path;
}

inline std::string MakeSubdir(const std::string& parent, const std::string& name) {
  const std::string path = parent + "/" + name;
  if (mkdir(path.c_str(), 0755) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  return path;
}

struct ChildReport {
  double seconds = 0;  // the timed part
  double count = 0;    // files handled (or found, for a check)
  double extra = 0;    // a second figure, per measurement
  int ok = 0;
};

struct ChildRun {
  ChildReport report;
  double max_rss_mib = 0;
  double cpu_seconds = 0;  // user + system, every thread of the child
  bool exited = false;
};

// Runs `work` in a forked child and returns its report and its peak RSS.
// Children print nothing and leave with _exit, so no buffer or exit handler
// of the parent runs twice.
inline ChildRun InChild(const std::function<ChildReport()>& work) {
  std::fflush(stdout);
  std::fflush(stderr);
  int fds[2];
  if (pipe(fds) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(1);
  }
  if (pid == 0) {
    close(fds[0]);
    const ChildReport report = work();
    const ssize_t written = write(fds[1], &report, sizeof report);
    _exit(written == static_cast<ssize_t>(sizeof report) ? 0 : 1);
  }
  close(fds[1]);
  ChildRun run;
  const ssize_t got = read(fds[0], &run.report, sizeof run.report);
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.max_rss_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
  run.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.exited = got == static_cast<ssize_t>(sizeof run.report) && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
  if (!run.exited) std::printf("  !! a child process failed\n");
  return run;
}

}  // namespace bench
