#include "engine/report_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "temp_dir.h"

namespace qtarvox {
namespace {

// Both ways of writing give the same file, over a larger old one, across
// many full buffers, with line breaks inside a line shown as "?".
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
    ASSERT_TRUE(file.OpenForOutput("/dev/full", behind).ok());
    bool failed = false;
    for (int i = 0; i < 4000; ++i) failed = !file.WriteLine(std::string(100, 'a')).ok() || failed;
    failed = !file.Close().ok() || failed;
    EXPECT_TRUE(failed) << behind;
  }
}

}  // namespace
}  // namespace qtarvox
