#include "engine/report_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace qtarvox {
namespace {

// Both ways of writing give the same file, line breaks inside a line shown as "?".
TEST(ReportFile, WrittenBehindOrNotGivesTheSameFile) {
  for (const bool behind : {false, true}) {
    TempDir dir;
    dir.WriteFile("report.txt", std::string(1 << 20, 'x'));
    ReportFile file;
    ASSERT_TRUE(file.OpenForOutput(dir.PathOf("report.txt"), behind).ok());
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
      const std::string number = std::to_string(i);
      ASSERT_TRUE(
          file.WriteLine({"line ", number, i == 77 ? "\r\n" : "", std::string(90, '.')}).ok());
      expected += "line " + number + (i == 77 ? "??" : "") + std::string(90, '.') + "\r\n";
    }
    ASSERT_TRUE(file.WriteLines("done\r\n").ok());
    ASSERT_TRUE(file.Close().ok()) << behind;
    EXPECT_EQ(dir.ReadFile("report.txt"), expected + "done\r\n") << behind;
  }
}

// A device that takes no data: the failure is reported, at the latest by Close.
TEST(ReportFile, AFailedWriteIsReported) {
  struct stat st {};
  if (stat("/dev/full", &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "no /dev/full";
  for (const bool behind : {false, true}) {
    ReportFile file;
    ASSERT_TRUE(file.Adopt(open("/dev/full", O_WRONLY | O_CLOEXEC), "/dev/full", behind).ok());
    bool failed = false;
    for (int i = 0; i < 4000; ++i) failed = !file.WriteLine(std::string(100, 'a')).ok() || failed;
    failed = !file.Close().ok() || failed;
    EXPECT_TRUE(failed) << behind;
    EXPECT_EQ(file.loss().lines, 4000u) << behind;
    EXPECT_EQ(file.loss().first_errno, ENOSPC) << behind;
  }
}

// Whatever had the report file's name is replaced, never followed or written, and let go of.
TEST(ReportFile, MakingTheFileNeverTouchesWhatHadItsName) {
  const auto open_now = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  for (const bool behind : {false, true}) {
    TempDir dir;
    const auto open_before = open_now();
    dir.WriteFile("big.txt", std::string(size_t{3} << 20, 'x'));
    const std::string victim = dir.WriteFile("victim.txt", "precious");
    const std::string linked = dir.WriteFile("linked.txt", "also precious");
    ASSERT_EQ(symlink(victim.c_str(), dir.PathOf("sym.txt").c_str()), 0);
    ASSERT_EQ(link(linked.c_str(), dir.PathOf("hard.txt").c_str()), 0);
    chmod(victim.c_str(), 0444);
    for (const char* name : {"sym.txt", "hard.txt", "big.txt"}) {
      ReportFile file;
      ASSERT_TRUE(file.OpenForOutput(dir.PathOf(name), behind).ok()) << name;
      ASSERT_TRUE(file.WriteLine("report").ok());
      ASSERT_TRUE(file.Close().ok());
      struct stat st {};
      ASSERT_EQ(lstat(dir.PathOf(name).c_str(), &st), 0);
      EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_nlink == 1) << name;
      EXPECT_EQ(dir.ReadFile(name), "report\r\n") << name;
    }
    EXPECT_EQ(dir.ReadFile("victim.txt"), "precious");
    EXPECT_EQ(dir.ReadFile("linked.txt"), "also precious");
    // Nothing but the files themselves is left behind.
    EXPECT_EQ(dir.List().size(), 5u);
    for (int i = 0; i < 500 && open_now() != open_before; ++i) usleep(10000);
    EXPECT_EQ(open_now(), open_before) << behind;
  }
}

TEST(ReportFile, LostLinesAreNotedWhereWritingGoesOn) {
  // A pipe with its reading end closed fails every write (EPIPE), until it is swapped for a file.
  TempDir dir;
  for (const bool behind : {false, true}) {
    const int out = open(dir.PathOf("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    signal(SIGPIPE, SIG_IGN);
    const int fd = dup(out);
    ReportFile file;
    ASSERT_TRUE(file.Adopt(fd, "out", behind).ok());
    ASSERT_TRUE(file.WriteLine("first").ok());
    // Everything so far goes to a dead pipe instead of the file.
    dup2(fds[1], fd);
    for (int i = 0; i < 3000; ++i) (void)file.WriteLine(std::string(200, 'x'));
    dup2(out, fd);  // room again
    // Written behind, the failure and the recovery show up a buffer later.
    for (int i = 0; i < 3000; ++i) (void)file.WriteLine(std::string(200, 'y'));
    (void)file.WriteLine("last");
    (void)file.Close();  // the loss is looked at below
    close(fds[1]);
    close(out);
    // Written behind, when each buffer reaches the descriptor is the other thread's affair.
    const std::string text = dir.ReadFile("out.txt");
    const std::string mark = "*** Q-Tarvox Renamer: ";
    uint64_t noted = 0;
    size_t notes = 0;
    for (size_t at = 0; (at = text.find(mark, at)) != std::string::npos; at += mark.size()) {
      noted += std::stoull(text.substr(at + mark.size()));
      ++notes;
    }
    size_t lines = 0;
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    const ReportLoss& loss = file.loss();
    EXPECT_EQ(noted, loss.lines) << behind;
    EXPECT_EQ(lines - notes + loss.lines, 1u + 3000u + 3000u + 1u) << behind;
    EXPECT_TRUE(text.ends_with("last\r\n")) << behind;
    if (!behind) {
      EXPECT_GT(loss.lines, 2000u);
      EXPECT_EQ(loss.first_errno, EPIPE);
    }
  }
}

}  // namespace
}  // namespace qtarvox
