// The work folder under the faults a real machine produces.
#include <sys/mount.h>

#include "program.h"

namespace qtarvox {
namespace {

namespace fs = std::filesystem;

class WorkFolderRuns : public ProgramTest {
 protected:
  Outcome Run(const std::vector<std::string>& args, const std::string& work) {
    work_dir_ = work;
    return RunArgs(args);
  }
};

// A missing work folder is made, private to the user.
TEST_F(WorkFolderRuns, MissingFolderIsMadeAndAnUnusableOneStopsTheRun) {
  const std::string folder = MakeFiles("job", 2);
  const std::string made = work_.PathOf("new/deeper");
  Outcome o = Run({"-UC", "-FE", folder + "*N?txt", "-SU"}, made);
  EXPECT_EQ(o.code, 0) << o.err;
  struct stat st {};
  ASSERT_EQ(stat(made.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(CountWith(folder, "N"), 2u);

  const std::string blocked = work_.WriteFile("plain-file") + "/sub";
  o = Run({"-LC", "-FE", folder + "*N?txt", "-SU"}, blocked);
  EXPECT_EQ(o.code, 2);
  EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
  EXPECT_NE(o.err.find("work folder"), std::string::npos) << o.err;
  EXPECT_EQ(CountWith(folder, "N"), 2u);
}

TEST_F(WorkFolderRuns, AnInstalledProgramKeepsItsWorkFilesInTheStateFolder) {
  const struct {
    const char* program;     // where the program is put, in files_
    const char* beside;      // a file put beside it, or nothing
    bool in_program_folder;  // where the Process file is expected
  } rows[] = {
      {"portable/q-tarvox", nullptr, true},
      {"prefix/bin/q-tarvox", "prefix/share/applications/q-tarvox.desktop", false},
      {"local/bin/q-tarvox", "local/share/man/man1/q-tarvox.1.gz", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program);
    const std::string exe = files_.PathOf(row.program);
    fs::create_directories(fs::path(exe).parent_path());
    fs::copy_file(QTARVOX_EXE, exe, fs::copy_options::overwrite_existing);
    if (row.beside != nullptr) files_.WriteFile(row.beside);
    const std::string folder = MakeFiles(std::string("job-") + row.program[0], 2);
    const std::string state = config_.PathOf("state/q-tarvox");
    fs::remove_all(state);
    work_dir_ = "";
    const Outcome o =
        Finish(Start({"-UC", "-FE", folder + "*N?txt", "-SU"}, "", "/dev/null", "", exe));
    EXPECT_EQ(o.code, 0) << o.err;
    const std::string beside_program = fs::path(exe).parent_path() / kProcess;
    EXPECT_EQ(fs::exists(beside_program), row.in_program_folder);
    EXPECT_EQ(fs::exists(state + "/" + kProcess), !row.in_program_folder);
  }
}

// A full work folder (a tmpfs, needs root): nothing renamed, or lost lines counted; never silent.
TEST_F(WorkFolderRuns, FullFolderNeverRenamesHalfAJobSilently) {
  const std::string mount_point = work_.MakeDir("tmpfs");
  if (mount("qtarvox-test", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  }
  const std::string fill = mount_point + "/fill";
  std::ofstream(fill) << std::string(1 << 20, 'x');  // as much as fits
  const std::string folder = MakeFiles("job", 200);
  std::string list;
  for (const auto& n : files_.List("job")) list += (list.empty() ? "" : "*") + folder + "/" + n;
  const std::vector<std::string> by_name{"-UC", "-FI", list, "-SU"};
  for (const auto& args : {std::vector<std::string>{"-UC", "-FE", folder + "*N?txt", "-SU"},
                           by_name}) {
    const Outcome o = Run(args, mount_point);
    EXPECT_EQ(o.code, 2) << o.err;
    EXPECT_EQ(CountWith(folder, "N"), 0u);
    EXPECT_NE(o.err.find("Nothing was renamed"), std::string::npos) << o.err;
  }

  // Room for the journal's intents (some 22 KiB), not for the Process file.
  struct stat st {};
  ASSERT_EQ(stat(fill.c_str(), &st), 0);
  ASSERT_EQ(truncate(fill.c_str(), st.st_size - 36 * 1024), 0);
  const Outcome o = Run(by_name, mount_point);
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_EQ(CountWith(folder, "N"), 200u);
  EXPECT_NE(o.err.find("incomplete"), std::string::npos) << o.err;
  umount2(mount_point.c_str(), MNT_DETACH);
}

TEST_F(WorkFolderRuns, ReportFilesInsideTheTreeAreNotPartOfTheJob) {
  const std::string tree = MakeFiles("tree", 3);
  const std::string work = files_.MakeDir("tree/work");
  const Outcome o =
      Run({"-CR*same.txt", "-FE", tree + "*Y?txt", "-FI", tree + "/gone.txt", "-SU"}, work);
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_TRUE(files_.Exists(std::string("tree/work/") + kProcess));
  EXPECT_TRUE(files_.Exists(std::string("tree/work/") + kError));
  EXPECT_NE(o.err.find(work + "/" + kError), std::string::npos) << o.err;
  EXPECT_EQ(CountWith(work, "same"), 0u);
  // Nor is the undo history kept there, even when named.
  EXPECT_EQ(Run({"-UC", "-FE", tree + "*Y?*", "-SU"}, work).code, 0);
  Run({"-UC", "-FI", work + "/Q-Tarvox_Undo/history", "-SU"}, work);
  EXPECT_EQ(files_.List("tree/work/Q-Tarvox_Undo"), (std::vector<std::string>{"1", "2", "history"}));
  EXPECT_TRUE(files_.Exists("tree/work/Q-Tarvox_Undo/1/Q-Tarvox_Journal.tvj"));
  // A preview says what the perform does: they are not in it.
  EXPECT_EQ(Run({"--preview", "-UC", "-FE", tree + "*Y?*"}, work).code, 0);
  EXPECT_EQ(io_.ReadFile("out").find("Q-Tarvox_Undo"), std::string::npos) << io_.ReadFile("out");
}

// One run per work folder; Ctrl-C or a hang-up stops it between two files, each in its Process file.
TEST_F(WorkFolderRuns, OneRunAtATimeAndAnInterruptedRunReportsExactlyWhatItDid) {
  constexpr size_t kFiles = 3000;
  const std::string other = MakeFiles("other", 10);
  for (const int signal_number : {SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    const std::string folder = MakeFiles("job" + std::to_string(signal_number), kFiles);
    fs::remove(work_.PathOf(kProcess));
    Held held = StartHeld({"-UC", "-FE", folder + "*N?txt", "-SU", "-v"});
    // A second run on the same work folder is refused while the first one holds it.
    const Outcome o = Run({"-UC", "-FE", other + "*N?txt", "-SU"}, work_.path());
    EXPECT_EQ(o.code, 2);
    EXPECT_NE(o.err.find("in use"), std::string::npos) << o.err;
    EXPECT_EQ(CountWith(other, "n"), 10u);
    kill(held.pid, signal_number);
    EXPECT_EQ(Release(held), 128 + signal_number) << io_.ReadFile("err");
    const size_t renamed = CountWith(folder, "N");
    EXPECT_GT(renamed, 0u);
    EXPECT_LT(renamed, kFiles);
    const std::string process = work_.ReadFile(kProcess);
    EXPECT_EQ(CountLines(process, " == N"), renamed);
    EXPECT_NE(process.find("stopped here"), std::string::npos);
    EXPECT_FALSE(work_.Exists(kError));
  }
}

}  // namespace
}  // namespace qtarvox
