// The work folder under the faults a real machine produces: planted links, a
// folder that is missing, unusable or full, two runs at once, a folder inside
// the chosen tree, blanks at the ends of names, Ctrl-C halfway. Whatever
// happens, no file the job did not choose is touched and every failure shows
// in the exit status.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// Links planted under the work files' names (as anyone can in a shared
// folder) are replaced, never followed: their targets keep every byte, also a
// read-only one, and a planted operation list makes nobody rename a file the
// job did not choose.
TEST_F(WorkFolderRuns, PlantedLinksNeverRedirectTheWorkFiles) {
  const std::string victim = files_.WriteFile("victims/process", "keep me");
  const std::string victim2 = files_.WriteFile("victims/errors", "keep me too");
  const std::string bystander = files_.WriteFile("other/bystander.txt", "x");
  chmod(victim.c_str(), 0444);
  const std::string list = files_.WriteFile("victims/list", bystander + "\r\n");
  ASSERT_EQ(symlink(victim.c_str(), work_.PathOf(kProcess).c_str()), 0);
  ASSERT_EQ(link(victim2.c_str(), work_.PathOf(kError).c_str()), 0);
  ASSERT_EQ(symlink(list.c_str(), work_.PathOf("Q-Tarvox_OP.tvq").c_str()), 0);
  const std::string folder = MakeFiles("job", 3);
  // A missing file gives an Error file too.
  const Outcome o = Run({"-UC", "-FE", folder + "*N?txt", "-FI", folder + "/gone.txt", "-SU"},
                        work_.path());
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_EQ(files_.ReadFile("victims/process"), "keep me");
  EXPECT_EQ(files_.ReadFile("victims/errors"), "keep me too");
  EXPECT_EQ(files_.ReadFile("victims/list"), bystander + "\r\n");
  EXPECT_TRUE(files_.Exists("other/bystander.txt"));
  EXPECT_EQ(CountWith(folder, "N"), 3u);
  for (const char* name : {kProcess, kError}) {
    struct stat st {};
    ASSERT_EQ(lstat(work_.PathOf(name).c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_nlink == 1) << name;
  }
  EXPECT_NE(work_.ReadFile(kProcess).find("N00002.txt"), std::string::npos);
}

// A missing work folder is made, private to the user; one that cannot be made
// stops the run before anything is renamed, with one line on stderr.
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

// The program's own folder keeps the work files only when it is the user's
// own build or portable folder. Installed into a prefix (its manual page or
// menu entry beside its bin folder, as under /usr), the work files go to the
// user's state folder, and nothing is left in the prefix.
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
    const Outcome o = Finish(Start({"-UC", "-FE", folder + "*N?txt", "-SU"}, "", "", "/dev/null", "", exe));
    EXPECT_EQ(o.code, 0) << o.err;
    const std::string beside_program = fs::path(exe).parent_path() / kProcess;
    EXPECT_EQ(fs::exists(beside_program), row.in_program_folder);
    EXPECT_EQ(fs::exists(state + "/" + kProcess), !row.in_program_folder);
  }
}

// A full file system (a small tmpfs, so this needs root): a list that cannot
// be written, or a journal that cannot be made, renames nothing (exit 2);
// report lines that cannot be written do not stop the renames, are counted,
// and make the exit status 1.
TEST_F(WorkFolderRuns, FullFolderNeverRenamesHalfAJobSilently) {
  const std::string mount_point = work_.MakeDir("tmpfs");
  if (mount("qtarvox-test", mount_point.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  }
  const std::string fill = mount_point + "/fill";
  {
    std::ofstream out(fill);
    out << std::string(1 << 20, 'x');  // as much as fits
  }
  const std::string folder = MakeFiles("job", 200);
  std::vector<std::string> by_name{"-UC", "-FI"};
  std::string list;
  for (int i = 0; i < 200; ++i) {
    char file[32];
    snprintf(file, sizeof file, "/n%05d.txt", i);
    list += (i ? "*" : "") + folder + file;
  }
  by_name.push_back(list);
  by_name.push_back("-SU");
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

// One run per work folder: while one renames, a second one waits a moment,
// then says the folder is in use and renames nothing; the first one ends
// whole.
TEST_F(WorkFolderRuns, OneRunAtATime) {
  const std::string a = MakeFiles("a", 3000), b = MakeFiles("b", 10);
  Held first = StartHeld({"-UC", "-FE", a + "*N?txt", "-SU", "-v"});
  const Outcome o = Run({"-UC", "-FE", b + "*N?txt", "-SU"}, work_.path());
  EXPECT_EQ(o.code, 2);
  EXPECT_NE(o.err.find("in use"), std::string::npos) << o.err;
  EXPECT_EQ(CountWith(b, "n"), 10u);
  EXPECT_EQ(Release(first), 0);
  EXPECT_EQ(CountWith(a, "N"), 3000u);
  EXPECT_EQ(CountLines(work_.ReadFile(kProcess), "Final Operation"), 3000u);
}

// Blanks at the ends of a folder's or a file's name belong to it when such a
// file exists: the file named is renamed, never the one next to it.
TEST_F(WorkFolderRuns, BlanksAtTheEndsOfNamesNameThatFile) {
  const std::string d = files_.path();
  const struct {
    std::vector<std::string> files;  // made with the byte "0"
    std::vector<std::string> args;
    std::vector<std::string> after;
  } cases[] = {
      {{"x /a.txt", "x/a.txt"}, {"-UC", "-FI", d + "/x /a.txt", "-SU"}, {"x /A.txt", "x/a.txt"}},
      {{"y/a.txt ", "y/a.txt"}, {"-UC", "-FI", d + "/y/a.txt ", "-SU"}, {"y/A.txt ", "y/a.txt"}},
      {{"z/a.txt", "z/b.txt"},
       {"-UC", "-FI", d + "/z/a.txt * " + d + "/z/b.txt ", "-SU"},
       {"z/A.txt", "z/B.txt"}},
      {{"v /a.txt", "v/a.txt"}, {"-UC", "-FE", d + "/v *N?txt", "-SU"}, {"v /A.txt", "v/a.txt"}},
      {{"w /s/a.txt", "w/s/a.txt"},
       {"-UC", "-FE", d + "/w *Y?txt", "-SU"},
       {"w /s/A.txt", "w/s/a.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[2]);
    for (const auto& f : c.files) files_.WriteFile(f, "0");
    const Outcome o = Run(c.args, work_.path());
    EXPECT_EQ(o.code, 0) << o.err;
    for (const auto& f : c.after) EXPECT_TRUE(files_.Exists(f)) << f;
  }
}

// A work folder inside the chosen tree: the run never renames its own report
// files, and the Error file stderr names is there.
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

// Ctrl-C or a hang-up halfway: the run stops between two files, the Process
// file names every file renamed and ends with the stop, and the exit status
// is 128 + the signal.
TEST_F(WorkFolderRuns, InterruptedRunReportsExactlyWhatItDid) {
  constexpr size_t kFiles = 3000;
  for (const int signal_number : {SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    const std::string folder = MakeFiles("job" + std::to_string(signal_number), kFiles);
    fs::remove(work_.PathOf(kProcess));
    Held held = StartHeld({"-UC", "-FE", folder + "*N?txt", "-SU", "-v"});
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

// A verbose run whose reader goes away after the first lines (`| head -2`)
// is not cut short: every file is renamed and the Process file is whole.
TEST_F(WorkFolderRuns, AReaderThatGoesAwayDoesNotCutTheRunShort) {
  constexpr int kFiles = 3000;  // far more lines than a pipe holds
  const std::string folder = MakeFiles("piped", kFiles);
  const std::string fifo = io_.PathOf("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const pid_t pid = Start({"-UC", "-FE", folder + "*N?txt", "-SU", "-v"}, "", "", "/dev/null", fifo);
  // The first lines have come: the reader takes two of them and is gone.
  pollfd ready{reader, POLLIN, 0};
  ASSERT_EQ(poll(&ready, 1, 60000), 1);
  char two_lines[128];
  ASSERT_GT(read(reader, two_lines, sizeof two_lines), 0);
  close(reader);
  const Outcome o = Finish(pid);
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(CountWith(folder, "N"), static_cast<size_t>(kFiles));
  EXPECT_EQ(CountLines(work_.ReadFile(kProcess), " == N"), static_cast<size_t>(kFiles));
}

}  // namespace
}  // namespace qtarvox
