// Runs the built q-tarvox executable on real folders, the way a script would:
// arguments passed exactly (no shell), a private work folder and settings
// folder, no display. Each test looks at what a user of the command line can
// see: the exit status, stdout and stderr, the files on disk and the report
// files left in the work folder.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "temp_dir.h"

extern char** environ;

namespace qtarvox {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Args = std::vector<std::string>;

constexpr const char* kProcessFile = "Q-Tarvox_Process.txt";
constexpr const char* kErrorFile = "Q-Tarvox_Err.txt";
constexpr const char* kOperationList = "Q-Tarvox_OP.tvq";
constexpr const char* kNotFoundCause =
    "Error Cause/Reason : The file to be renamed was not found. This could be due to user either "
    "moving, renaming or deleting the file after process was started.";
constexpr const char* kBadNameCause =
    "Error Cause/Reason : Could not rename file maybe because it was being worked on or was "
    "protected.";

// A hung child is killed after this long, so a hang fails the test instead of
// blocking the whole test run. It is a safety net, not a measured time.
constexpr auto kChildTimeLimit = std::chrono::seconds(30);

// ---------------------------------------------------------------------------
// Running the program

struct ChildOutcome {
  bool exited = false;  // ended by returning from main or exit(), not by a signal
  int exit_code = -1;
  int signal = 0;
  bool timed_out = false;
  std::string out;
  std::string err;
};

std::string Describe(const ChildOutcome& o) {
  std::string text =
      o.exited ? "exit " + std::to_string(o.exit_code) : "signal " + std::to_string(o.signal);
  if (o.timed_out) text += " (killed after the time limit)";
  return text + "\n--- stdout ---\n" + o.out + "\n--- stderr ---\n" + o.err;
}

// Reads whatever the pipe holds; false once the writer has closed it.
bool Drain(int fd, std::string& into) {
  char buffer[65536];
  while (true) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    return false;
  }
}

// Starts the executable with exactly `args` after the program name, in
// `cwd`, with `environment` as its whole environment; collects stdout and
// stderr (both pipes are read as data comes, so neither can fill up) and the
// way it ended.
ChildOutcome RunExecutable(const Args& args, const std::vector<std::string>& environment,
                           const std::string& cwd) {
  ChildOutcome outcome;
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls are allowed.
  std::vector<char*> argv;
  std::string program = QTARVOX_EXE;
  argv.push_back(program.data());
  Args arg_copies = args;
  for (auto& a : arg_copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_copies = environment;
  std::vector<char*> envp;
  for (auto& e : env_copies) envp.push_back(e.data());
  envp.push_back(nullptr);

  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0) return outcome;
  if (pipe2(err_pipe, O_CLOEXEC) != 0) {
    close(out_pipe[0]);
    close(out_pipe[1]);
    return outcome;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int null_in = open("/dev/null", O_RDONLY);
    if (null_in >= 0) dup2(null_in, STDIN_FILENO);
    dup2(out_pipe[1], STDOUT_FILENO);
    dup2(err_pipe[1], STDERR_FILENO);
    if (chdir(cwd.c_str()) != 0) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (pid < 0) {
    close(out_pipe[0]);
    close(err_pipe[0]);
    return outcome;
  }
  fcntl(out_pipe[0], F_SETFL, O_NONBLOCK);
  fcntl(err_pipe[0], F_SETFL, O_NONBLOCK);

  const auto deadline = std::chrono::steady_clock::now() + kChildTimeLimit;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&outcome.out, &outcome.err};
  int open_pipes = 2;
  while (open_pipes > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      outcome.timed_out = true;
      kill(pid, SIGKILL);
      break;
    }
    const int ready = poll(fds, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      if (!Drain(fds[i].fd, *sinks[i])) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
      }
    }
  }
  for (const auto& f : fds) {
    if (f.fd >= 0) close(f.fd);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    outcome.exited = true;
    outcome.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    outcome.signal = WTERMSIG(status);
  }
  return outcome;
}

// ---------------------------------------------------------------------------
// Folder trees

// A folder's content: relative path -> file bytes. Folders appear as "name/"
// with the value kDirMark; a file without its owner write bit carries
// kReadOnlyMark after its bytes; anything else (links, fifos) is kOtherMark.
using Tree = std::map<std::string, std::string>;
constexpr const char* kDirMark = "<dir>";
constexpr const char* kReadOnlyMark = "<ro>";
constexpr const char* kOtherMark = "<other>";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Tree Snapshot(const std::string& root) {
  Tree tree;
  std::vector<std::string> pending{""};
  while (!pending.empty()) {
    const std::string rel = pending.back();
    pending.pop_back();
    for (const auto& entry :
         std::filesystem::directory_iterator(rel.empty() ? root : root + "/" + rel)) {
      const std::string name = rel.empty() ? entry.path().filename().string()
                                           : rel + "/" + entry.path().filename().string();
      struct stat st {};
      if (lstat(entry.path().c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        tree[name + "/"] = kDirMark;
        pending.push_back(name);
      } else if (S_ISREG(st.st_mode)) {
        tree[name] = ReadAll(entry.path().string()) + ((st.st_mode & S_IWUSR) ? "" : kReadOnlyMark);
      } else {
        tree[name] = kOtherMark;
      }
    }
  }
  return tree;
}

// Lays out a tree, written in the form Snapshot returns, under `root`.
void Plant(const std::string& root, const Tree& tree) {
  for (const auto& [name, value] : tree) {
    const std::string path = root + "/" + name;
    if (value == kDirMark) {
      std::filesystem::create_directories(path);
      continue;
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const bool read_only = value.ends_with(kReadOnlyMark);
    std::ofstream(path, std::ios::binary)
        << (read_only ? value.substr(0, value.size() - std::strlen(kReadOnlyMark)) : value);
    if (read_only) chmod(path.c_str(), 0444);
  }
}

std::set<std::string> Names(const TempDir& dir) {
  const auto list = dir.List();
  return {list.begin(), list.end()};
}

// ---------------------------------------------------------------------------

class CliEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = files_.path(); }

  // A fresh files folder for one row of a table, and empty work and settings
  // folders, so rows cannot see each other's results.
  void StartRow(size_t row) {
    dir_ = files_.MakeDir("row" + std::to_string(row));
    for (const TempDir* folder : {&work_, &config_}) {
      for (const auto& name : folder->List()) std::filesystem::remove_all(folder->PathOf(name));
    }
  }

  // The environment of the parent, without a display and without anything
  // that could point the child at a real work folder or settings store.
  std::vector<std::string> ChildEnvironment() const {
    static const char* const kDropped[] = {"DISPLAY",         "WAYLAND_DISPLAY", "QTARVOX_WORK_DIR",
                                           "XDG_CONFIG_HOME", "XDG_STATE_HOME",  "HOME"};
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      const std::string key = entry.substr(0, entry.find('='));
      if (std::find(std::begin(kDropped), std::end(kDropped), key) == std::end(kDropped)) {
        env.push_back(entry);
      }
    }
    env.push_back("QTARVOX_WORK_DIR=" + work_.path());
    env.push_back("XDG_CONFIG_HOME=" + config_.path());
    env.push_back("XDG_STATE_HOME=" + work_.PathOf("state"));
    env.push_back("HOME=" + home_.path());
    return env;
  }

  // Replaces %D (the files folder of the row), %W (the work folder) and %H
  // (the child's working directory) in a text.
  std::string Expand(std::string text) const {
    const std::pair<const char*, const std::string*> keys[] = {
        {"%D", &dir_}, {"%W", &work_.path()}, {"%H", &home_.path()}};
    for (const auto& [key, value] : keys) {
      for (size_t at = text.find(key); at != std::string::npos;
           at = text.find(key, at + value->size())) {
        text.replace(at, 2, *value);
      }
    }
    return text;
  }

  ChildOutcome Run(const Args& args) const {
    Args expanded;
    for (const auto& a : args) expanded.push_back(Expand(a));
    return RunExecutable(expanded, ChildEnvironment(), home_.path());
  }

  // Content of a report file, or "<none>" when the run left none.
  std::string Report(const char* name) const {
    return work_.Exists(name) ? work_.ReadFile(name) : std::string("<none>");
  }

  std::string SettingsPath() const { return config_.PathOf("veltrane/q-tarvox.conf"); }

  TempDir files_;    // the files the jobs work on
  TempDir work_;     // QTARVOX_WORK_DIR: the report files
  TempDir config_;   // XDG_CONFIG_HOME: the remembered directory
  TempDir home_;     // HOME and the child's working directory
  std::string dir_;  // what %D stands for
};

#define EXPECT_EXIT_CODE(outcome, code)                                 \
  do {                                                                  \
    EXPECT_TRUE((outcome).exited && (outcome).exit_code == (code))      \
        << "expected exit " << (code) << ", got " << Describe(outcome); \
  } while (0)

// ---------------------------------------------------------------------------

TEST_F(CliEndToEnd, SilentJobsLeaveTheExpectedTreeAndReports) {
  const std::set<std::string> process_only{kProcessFile};
  const std::set<std::string> both_reports{kErrorFile, kProcessFile};
  const std::string invalid_utf8 = std::string("x\xff") + "y.txt";
  const std::string invalid_utf8_upper = std::string("X\xff") + "Y.txt";
  const std::string read_only_old = std::string("old") + kReadOnlyMark;
  const struct {
    const char* what;
    Args args;
    Tree before;
    Tree after;
    int exit_code;
    std::set<std::string> reports;  // what the work folder holds afterwards
    std::vector<std::string> stderr_has;
  } cases[] = {
      {"uppercase one file",
       {"-UC", "-FI", "%D/a.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}},
       {{"A.txt", "1"}, {"b.txt", "2"}},
       0,
       process_only,
       {}},
      {"a value with a blank after the asterisk, two files with blanks",
       {"-AB*x y", "-FI", "%D/a.txt*%D/b c.txt", "-SU"},
       {{"a.txt", "1"}, {"b c.txt", "2"}},
       {{"x ya.txt", "1"}, {"x yb c.txt", "2"}},
       0,
       process_only,
       {}},
      {"unquoted blanks in a path are joined by one blank",
       {"-UC", "-FI", "%D/b", "c.txt", "-SU"},
       {{"b c.txt", "2"}},
       {{"B C.txt", "2"}},
       0,
       process_only,
       {}},
      {"text before the first dash is a command; LOWERCASE is dropped by Step 1",
       {"UC", "-LC", "-FI", "%D/a.txt", "-SU"},
       {{"a.txt", "1"}},
       {{"A.txt", "1"}},
       0,
       process_only,
       {"Error in Action 2 : ", "Uppercase and Lowercase"}},
      {"a byte that is not UTF-8 stays as it is",
       {"-UC", "-FI", "%D/" + invalid_utf8, "-SU"},
       {{invalid_utf8, "1"}},
       {{invalid_utf8_upper, "1"}},
       0,
       process_only,
       {}},
      {"NP writes no Process file",
       {"-UC", "-NP", "-FI", "%D/a.txt", "-SU"},
       {{"a.txt", "1"}},
       {{"A.txt", "1"}},
       0,
       {},
       {}},
      {"a missing file leaves the Error file; the other file is still renamed",
       {"-UC", "-FI", "%D/missing.txt*%D/a.txt", "-SU"},
       {{"a.txt", "1"}},
       {{"A.txt", "1"}},
       1,
       both_reports,
       {"%W/Q-Tarvox_Err.txt"}},
      // Two files completely renamed to the same name, under each policy.
      {"collision, do not rename",
       {"-CR*c.txt", "-EF", "1", "-FI", "%D/a.txt*%D/b.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}},
       {{"c.txt", "1"}, {"b.txt", "2"}},
       0,
       process_only,
       {}},
      {"collision, an unknown policy number means do not rename",
       {"-CR*c.txt", "-EF", "7", "-FI", "%D/a.txt*%D/b.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}},
       {{"c.txt", "1"}, {"b.txt", "2"}},
       0,
       process_only,
       {}},
      {"collision, overwrite",
       {"-CR*c.txt", "-EF", "2", "-FI", "%D/a.txt*%D/b.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}},
       {{"c.txt", "2"}},
       0,
       process_only,
       {}},
      {"collision, overwrite refused for a read-only file",
       {"-CR*c.txt", "-EF", "2", "-FI", "%D/a.txt", "-SU"},
       {{"a.txt", "1"}, {"c.txt", read_only_old}},
       {{"a.txt", "1"}, {"c.txt", read_only_old}},
       1,
       both_reports,
       {}},
      {"collision, unique number with a separator",
       {"-CR*c.txt", "-EF", "3", "-SC*-", "-FI", "%D/a.txt*%D/b.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}},
       {{"c.txt", "1"}, {"c-1.txt", "2"}},
       0,
       process_only,
       {}},
      {"collision, unique number without a separator",
       {"-CR*c.txt", "-EF", "3", "-FI", "%D/a.txt*%D/b.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}},
       {{"c.txt", "1"}, {"c1.txt", "2"}},
       0,
       process_only,
       {}},
      {"collision, unique numbers after a file already there",
       {"-CR*c.txt", "-EF", "3", "-SC*_", "-FI", "%D/a.txt*%D/b.txt", "-SU"},
       {{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", "old"}},
       {{"c.txt", "old"}, {"c_1.txt", "1"}, {"c_2.txt", "2"}},
       0,
       process_only,
       {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.what);
    StartRow(i);
    Plant(dir_, c.before);

    const ChildOutcome outcome = Run(c.args);

    EXPECT_EXIT_CODE(outcome, c.exit_code);
    EXPECT_EQ(Snapshot(dir_), c.after);
    EXPECT_EQ(Names(work_), c.reports);
    for (const auto& text : c.stderr_has) EXPECT_THAT(outcome.err, HasSubstr(Expand(text)));
    EXPECT_EQ(outcome.out, "");
  }
}

TEST_F(CliEndToEnd, ReportFilesAreWrittenByteForByte) {
  const struct {
    const char* what;
    Args args;
    Tree before;
    int exit_code;
    std::string process;
    std::string errors;  // "<none>": no Error file is left
  } cases[] = {
      {"a clean perform",
       {"-UC", "-FI", "%D/a.txt", "-SU"},
       {{"a.txt", "1"}},
       0,
       "Current File : %D/a.txt\r\n"
       "     After performing action 1 : A.txt\r\n"
       "     Final Operation : a.txt == A.txt\r\n",
       "<none>"},
      {"an individual file that does not exist",
       {"-UC", "-FI", "%D/missing.txt", "-SU"},
       {},
       1,
       "Current File : %D/missing.txt\r\n"
       "     After performing action 1 : MISSING.txt\r\n",
       "Error in file : %D/missing.txt\r\n" + std::string(kNotFoundCause) +
           "\r\n"
           "Error Number, Description : 53-No such file or directory\r\n"},
      {"an overwrite refused by a read-only file",
       {"-CR*c.txt", "-EF", "2", "-FI", "%D/a.txt", "-SU"},
       {{"a.txt", "1"}, {"c.txt", std::string("old") + kReadOnlyMark}},
       1,
       "Current File : %D/a.txt\r\n"
       "     After performing action 17 : c.txt\r\n"
       "     Failure : Could not overwrite the file since it was in use/open or write "
       "protected.\r\n",
       "Error in file : %D/a.txt\r\n"
       "Error Cause/Reason : Could not rename file because it was in use/open or was "
       "protected.\r\n"
       "Error Number, Description : 75-Permission denied\r\n"
       "Additional Information : The file %D/c.txt could not be overwritten because it was in "
       "use/open or was protected. So, the file %D/a.txt could not be renamed to that same "
       "filename.\r\n"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.what);
    StartRow(i);
    Plant(dir_, c.before);

    const ChildOutcome outcome = Run(c.args);

    EXPECT_EXIT_CODE(outcome, c.exit_code);
    EXPECT_EQ(Report(kProcessFile), Expand(c.process));
    EXPECT_EQ(Report(kErrorFile), Expand(c.errors));
    if (c.exit_code == 1) {
      EXPECT_THAT(outcome.err, HasSubstr(work_.PathOf(kErrorFile)));
    } else {
      EXPECT_EQ(outcome.err, "");
    }
  }
}

// Directories with and without their subdirectories, two extensions, even
// numbering from 975. The numbers show the order of the walk: a directory's
// own files (by extension, then by name regardless of case), then each
// subdirectory with the deepest levels first.
TEST_F(CliEndToEnd, DirectoryWalkNumbersFilesInWalkOrder) {
  Tree before = {
      {"d/b.txt", "b"},         {"d/A.TXT", "A"},
      {"d/c.doc", "c"},         {"d/e.jpg", "e"},
      {"d/s1/deep/x.txt", "x"}, {"d/s1/y.doc", "y"},
      {"d/s2/z.txt", "z"},      {"d/.hidden/h.txt", "h"},
      {"o/sub/g.txt", "g"},     {"o/sub/deeper/k.doc", "k"},
  };
  // 6 files under d and 19 in o: 975 + 25 reaches 1000, so every number is
  // padded to four digits.
  Tree after = {
      {"d/", kDirMark},
      {"d/A0975.TXT", "A"},
      {"d/b0976.txt", "b"},
      {"d/c0977.doc", "c"},
      {"d/e.jpg", "e"},
      {"d/s1/", kDirMark},
      {"d/s1/deep/", kDirMark},
      {"d/s1/deep/x0978.txt", "x"},
      {"d/s1/y0979.doc", "y"},
      {"d/s2/", kDirMark},
      {"d/s2/z0980.txt", "z"},
      {"d/.hidden/", kDirMark},  // a hidden folder is not entered
      {"d/.hidden/h.txt", "h"},
      {"o/", kDirMark},
      {"o/sub/", kDirMark},  // o is taken without its subdirectories
      {"o/sub/g.txt", "g"},
      {"o/sub/deeper/", kDirMark},
      {"o/sub/deeper/k.doc", "k"},
  };
  std::vector<std::string> order = {"d/A.TXT",         "d/b.txt",    "d/c.doc",
                                    "d/s1/deep/x.txt", "d/s1/y.doc", "d/s2/z.txt"};
  for (int i = 0; i < 19; ++i) {
    const std::string stem = std::string("f") + static_cast<char>('a' + i);
    before["o/" + stem + ".txt"] = stem;
    after["o/" + stem + std::to_string(981 + i).insert(0, "0") + ".txt"] = stem;
    order.push_back("o/" + stem + ".txt");
  }
  Plant(dir_, before);

  const ChildOutcome outcome =
      Run({"-FE", "%D/d*Y\"%D/o*N?txt\"doc", "-NE", "E", "BN", "975", "-SU"});

  EXPECT_EXIT_CODE(outcome, 0);
  EXPECT_EQ(Snapshot(dir_), after);
  std::vector<std::string> heads;
  const std::string process = Report(kProcessFile);
  const std::string head = "Current File : " + dir_ + "/";
  for (size_t at = process.find(head); at != std::string::npos; at = process.find(head, at)) {
    at += head.size();
    heads.push_back(process.substr(at, process.find("\r\n", at) - at));
  }
  EXPECT_EQ(heads, order);
  EXPECT_EQ(Names(work_), std::set<std::string>{kProcessFile}) << "the operation list is gone";
}

TEST_F(CliEndToEnd, PreviewPrintsNewNamesAndRenamesNothing) {
  const struct {
    const char* what;
    Args args;
    Tree before;
    Tree after;  // attribute actions are carried out by a preview too
    std::string out;
  } cases[] = {
      {"two renamed files",
       {"--preview", "-LC", "-FI", "%D/A.txt*%D/B.TXT"},
       {{"A.txt", "1"}, {"B.TXT", "2"}},
       {{"A.txt", "1"}, {"B.TXT", "2"}},
       "%D/A.txt == a.txt\n%D/B.TXT == b.TXT\n"},
      {"--preview wins over -SU, wherever it stands",
       {"-UC", "-FI", "%D/a.txt", "-SU", "--preview"},
       {{"a.txt", "1"}},
       {{"a.txt", "1"}},
       "%D/a.txt == A.txt\n"},
      {"a missing file is only listed",
       {"--preview", "-UC", "-FI", "%D/missing.txt"},
       {},
       {},
       "%D/missing.txt == MISSING.txt\n"},
      // Setting the attribute of the missing file fails; in a preview that
      // is logged but does not count, so no Error file is left.
      {"attribute actions mark the lines",
       {"--preview", "-+R", "-FI", "%D/a.txt*%D/missing.txt"},
       {{"a.txt", "1"}},
       {{"a.txt", std::string("1") + kReadOnlyMark}},
       "%D/a.txt == a.txt (+r)\n%D/missing.txt == missing.txt (+r)\n"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.what);
    StartRow(i);
    Plant(dir_, c.before);

    const ChildOutcome outcome = Run(c.args);

    EXPECT_EXIT_CODE(outcome, 0);
    EXPECT_EQ(outcome.out, Expand(c.out));
    EXPECT_EQ(Snapshot(dir_), c.after);
    EXPECT_EQ(Report(kErrorFile), "<none>");
    // A preview writes only the head line of each file.
    const std::string process = Report(kProcessFile);
    EXPECT_THAT(process, HasSubstr("Current File : "));
    EXPECT_THAT(process, Not(HasSubstr("     ")));
  }
}

TEST_F(CliEndToEnd, ForbiddenSeparatorStopsTheRunBeforeAnything) {
  const struct {
    Args args;
    std::string message;  // empty: the run goes on
  } cases[] = {
      {{"-CR*new.txt", "-EF", "3", "-SC*?/", "-FI", "%D/a.txt", "-SU"},
       "The seperating character cannot contain '/'. Please remove that."},
      {{"-CR*new.txt", "-EF", "3", "-SC*a\\b", "-FI", "%D/a.txt", "-SU"},
       "The seperating character cannot contain '\\'. Please remove that."},
      {{"-CR*new.txt", "-EF", "3", "-SC*<|", "-FI", "%D/a.txt", "-SU"},
       "The seperating character cannot contain '|'. Please remove that."},
      {{"-CR*new.txt", "-EF", "3", "-SC*?/", "-FI", "%D/a.txt", "--preview"},
       "The seperating character cannot contain '/'. Please remove that."},
      // Checked only under "add a unique number"; an empty separator passes.
      {{"-CR*new.txt", "-EF", "1", "-SC*?/", "-FI", "%D/a.txt", "-SU"}, ""},
      {{"-CR*new.txt", "-EF", "3", "-SC*", "-FI", "%D/a.txt", "-SU"}, ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(testing::PrintToString(c.args));
    StartRow(i);
    Plant(dir_, {{"a.txt", "1"}});
    // An Error file of an earlier run stays as it was when the run does not start.
    work_.WriteFile(kErrorFile, "earlier");

    const ChildOutcome outcome = Run(c.args);

    if (c.message.empty()) {
      EXPECT_EXIT_CODE(outcome, 0);
      EXPECT_EQ(Snapshot(dir_), (Tree{{"new.txt", "1"}}));
      EXPECT_THAT(outcome.err, Not(HasSubstr("seperating")));
      continue;
    }
    EXPECT_EXIT_CODE(outcome, 2);
    EXPECT_THAT(outcome.err, HasSubstr(c.message));
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(Snapshot(dir_), (Tree{{"a.txt", "1"}}));
    EXPECT_EQ(Names(work_), std::set<std::string>{kErrorFile});
    EXPECT_EQ(work_.ReadFile(kErrorFile), "earlier");
    EXPECT_FALSE(std::filesystem::exists(SettingsPath())) << "the run never ended";
  }
}

TEST_F(CliEndToEnd, WithoutSuppressTheJobIsOnlySummarised) {
  const struct {
    Args args;
    std::string out;
    std::string err;
  } cases[] = {
      {{"-UC", "-FI", "%D/a.txt"},
       "1) Make filename into fully UPPERCASE\nFILE - a.txt * %D\n",
       ""},
      {{"-FE", "%D*Y?txt", "-NE", "E", "BN", "975"},
       "9) Add numbers in sequence to end of each filename (Evenly) Start=975\n"
       "DIR - %D  *Include Subdirectories*\n"
       "EXT - *.txt\n",
       ""},
      // A failing Step 1 check stops on Step 1 with its message.
      {{"-UC", "-LC", "-FI", "%D/a.txt"}, "", "Error in Action 2 : "},
      {{"-FI", "%D/a.txt"}, "", "havn't choosen any action"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(testing::PrintToString(c.args));
    StartRow(i);
    Plant(dir_, {{"a.txt", "1"}});

    const ChildOutcome outcome = Run(c.args);

    EXPECT_EXIT_CODE(outcome, 2);
    EXPECT_EQ(outcome.out, Expand(c.out));
    EXPECT_THAT(outcome.err, HasSubstr("-SU"));
    EXPECT_THAT(outcome.err, HasSubstr(c.err));
    EXPECT_EQ(Snapshot(dir_), (Tree{{"a.txt", "1"}}));
    EXPECT_EQ(Names(work_), std::set<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
  }
}

TEST_F(CliEndToEnd, HelpAndVersionEndAtOnce) {
  Plant(dir_, {{"a.txt", "1"}});
  const ChildOutcome help = Run({"--help"});
  EXPECT_EXIT_CODE(help, 0);
  for (const char* command :
       {"-UC", "-LC", "-CO", "-DL", "-DF", "-RP",       "-AB",      "-AE", "-NE",
        "-NB", "-+R", "-+H", "-+A", "-+N", "-EN",       "-CW",      "-CR", "-FI",
        "-FE", "-SU", "-EF", "-SC", "-NP", "--preview", "--version"}) {
    EXPECT_THAT(help.out, HasSubstr(command));
  }

  const ChildOutcome version = Run({"--version"});
  EXPECT_EXIT_CODE(version, 0);
  EXPECT_EQ(version.out, "Q-Tarvox Renamer 1.7.6\n");

  // Either option ends the program before the job is looked at.
  for (const char* option : {"--help", "--version"}) {
    const ChildOutcome outcome = Run({"-UC", "-FI", "%D/a.txt", "-SU", option});
    EXPECT_EXIT_CODE(outcome, 0);
    EXPECT_EQ(outcome.out, option == std::string("--help") ? help.out : version.out);
  }
  EXPECT_EQ(Snapshot(dir_), (Tree{{"a.txt", "1"}}));
  EXPECT_EQ(Names(work_), std::set<std::string>{});
}

// Nonsense on the command line must neither crash the program nor touch a
// file the job did not name: the whole files tree and the working directory
// are compared before and after.
TEST_F(CliEndToEnd, BadInputNeverCrashesNorTouchesUnnamedFiles) {
  const std::string long_text(100000, 'x');
  const Tree base = {{"a.txt", "1"}, {"b c.txt", "2"}, {"sub/", kDirMark}, {"sub/d.txt", "3"}};
  Tree a_upper = base;
  a_upper.erase("a.txt");
  a_upper["A.txt"] = "1";
  const struct {
    const char* what;
    Args args;
    Tree after;
    int exit_code;
  } cases[] = {
      {"unknown commands", {"-ZZ", "-QQ*1", "2", "-FI", "%D/a.txt", "-SU"}, base, 0},
      {"a command name that is not UTF-8",
       {"-\xff\xfe", "-UC", "-FI", "%D/a.txt", "-SU"},
       a_upper,
       0},
      {"a stray quote before a path", {"-UC", "-FI", "\"%D/a.txt", "-SU"}, base, 1},
      {"a stray quote after a path", {"-UC", "-FI", "%D/a.txt\"", "-SU"}, base, 1},
      {"quotes only in FE", {"-UC", "-FE", "\"\"\"?\"\"", "-SU"}, base, 0},
      {"a lone asterisk as the file list", {"-UC", "-FI", "*", "-SU"}, base, 0},
      {"empty pieces around a file", {"*", "-UC", "-FI", "**%D/a.txt**", "-SU", "*"}, a_upper, 0},
      {"a lone asterisk as the directory list", {"-UC", "-FE", "*", "-SU"}, base, 0},
      {"a folder with a trailing slash", {"-UC", "-FI", "%D/sub/", "-SU"}, base, 0},
      {"the root alone", {"-UC", "-FI", "/", "-SU"}, base, 0},
      {"a dash value starts a new command", {"-DL", "-5", "-FI", "%D/a.txt", "-SU"}, base, 0},
      {"a huge count", {"-DF", "1e400", "-FI", "%D/a.txt", "-SU"}, base, 0},
      {"a 100000-character added text", {"-AB*" + long_text, "-FI", "%D/a.txt", "-SU"}, base, 1},
      {"a 100000-character path", {"-UC", "-FI", "%D/" + long_text, "-SU"}, base, 1},
      {"a 100000-character command",
       {"-" + long_text, "-UC", "-FI", "%D/a.txt", "-SU"},
       a_upper,
       0},
      {"a 100000-character extension", {"-UC", "-FE", "%D*Y?" + long_text, "-SU"}, base, 0},
      // New names holding a slash are refused by the Step 1 check, so no
      // rename can leave its folder.
      {"a complete new name with a slash",
       {"-CR*../escaped.txt", "-FI", "%D/a.txt", "-SU"},
       base,
       0},
      {"added text with a slash", {"-AB*../", "-FI", "%D/a.txt", "-SU"}, base, 0},
      {"a new extension with a slash", {"-EN*x/y", "-FI", "%D/a.txt", "-SU"}, base, 0},
      {"a vertical bar in FE", {"-UC", "-FE", "%D*Y|x", "-SU"}, base, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.what);
    StartRow(i);
    Plant(dir_, base);
    const Tree home_before = Snapshot(home_.path());

    const ChildOutcome outcome = Run(c.args);

    EXPECT_EXIT_CODE(outcome, c.exit_code);
    EXPECT_EQ(Snapshot(dir_), c.after);
    EXPECT_EQ(Snapshot(home_.path()), home_before);
    EXPECT_FALSE(std::filesystem::exists(files_.PathOf("escaped.txt")));
    EXPECT_FALSE(work_.Exists(kOperationList));
  }
}

// A line break in a found name cannot go into the operation list, which has
// one path per line: the file is logged as error 52 and left alone, and
// neither half of its name is taken for another path.
TEST_F(CliEndToEnd, LineBreakInAWalkedNameIsLoggedNotRenamed) {
  const std::string invalid_utf8 = std::string("x\xff") + "y.txt";
  const std::string invalid_utf8_upper = std::string("X\xff") + "Y.txt";
  Plant(dir_,
        {{"d/a.txt", "a"}, {"d/b\nc.txt", "bc"}, {"d/b", "decoy"}, {"d/" + invalid_utf8, "x"}});
  home_.WriteFile("c.txt", "decoy");

  const ChildOutcome outcome = Run({"-UC", "-FE", "%D/d*N?txt", "-SU"});

  EXPECT_EXIT_CODE(outcome, 1);
  EXPECT_EQ(Snapshot(dir_), (Tree{{"d/", kDirMark},
                                  {"d/A.txt", "a"},
                                  {"d/b\nc.txt", "bc"},
                                  {"d/b", "decoy"},
                                  {"d/" + invalid_utf8_upper, "x"}}));
  EXPECT_EQ(Snapshot(home_.path()), (Tree{{"c.txt", "decoy"}}));
  const std::string errors = Report(kErrorFile);
  EXPECT_THAT(errors, testing::StartsWith(Expand("Error in file : %D/d/b?c.txt\r\n") +
                                          kBadNameCause + "\r\nError Number, Description : 52-"));
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 3) << errors;
  EXPECT_THAT(Report(kProcessFile), Not(HasSubstr("b\nc")));
  EXPECT_FALSE(work_.Exists(kOperationList));
}

// Every line of a report file ends in CR LF, so a line break inside a path
// given by hand must not split a report line, nor a preview line.
TEST_F(CliEndToEnd, LineBreakInAGivenPathKeepsReportLinesWhole) {
  Plant(dir_, {{"b\nc.txt", "bc"}, {"b", "decoy"}});
  home_.WriteFile("c.txt", "decoy");

  const ChildOutcome perform = Run({"-UC", "-FI", "%D/b\nc.txt", "-SU"});

  EXPECT_TRUE(perform.exited && perform.exit_code <= 1) << Describe(perform);
  const Tree after = Snapshot(dir_);
  EXPECT_EQ(after.at("b"), "decoy");
  EXPECT_EQ(after.size(), 2u) << "only the named file may change";
  EXPECT_EQ(Snapshot(home_.path()), (Tree{{"c.txt", "decoy"}}));
  for (const char* report : {kProcessFile, kErrorFile}) {
    const std::string text = work_.Exists(report) ? work_.ReadFile(report) : std::string();
    bool whole_lines = true;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      if (at == 0 || text[at - 1] != '\r') whole_lines = false;
    }
    EXPECT_TRUE(whole_lines) << report << " has a bare line feed:\n" << text;
  }

  const std::string name = after.contains("b\nc.txt") ? "b\nc.txt" : "B\nC.txt";
  const ChildOutcome preview = Run({"--preview", "-LC", "-FI", "%D/" + name});
  EXPECT_EXIT_CODE(preview, 0);
  EXPECT_EQ(std::count(preview.out.begin(), preview.out.end(), '\n'), 1)
      << "one preview entry, one line:\n"
      << preview.out;
}

TEST_F(CliEndToEnd, RunRemembersTheWorkingDirectory) {
  const std::string other = files_.MakeDir("remembered");
  const struct {
    const char* what;
    std::string stored_before;  // empty: no settings file
    Args args;
    std::string stored_after;  // empty: still no settings file
  } cases[] = {
      {"first perform stores the working directory",
       "",
       {"-UC", "-FI", "%D/a.txt", "-SU"},
       home_.path()},
      {"a preview stores it too", "", {"--preview", "-UC", "-FI", "%D/a.txt"}, home_.path()},
      {"a stored folder is put back and kept", other, {"-UC", "-FI", "%D/a.txt", "-SU"}, other},
      {"a stored folder that is gone is not put back",
       files_.PathOf("gone"),
       {"-UC", "-FI", "%D/a.txt", "-SU"},
       home_.path()},
      {"a run that does not start stores nothing",
       "",
       {"-UC", "-EF", "3", "-SC*/", "-FI", "%D/a.txt", "-SU"},
       ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.what);
    StartRow(i);
    Plant(dir_, {{"a.txt", "1"}});
    if (!c.stored_before.empty()) {
      config_.WriteFile("veltrane/q-tarvox.conf", "[General]\ndirval=" + c.stored_before + "\n");
    }

    const ChildOutcome outcome = Run(c.args);

    EXPECT_TRUE(outcome.exited) << Describe(outcome);
    if (c.stored_after.empty()) {
      EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
      continue;
    }
    ASSERT_TRUE(std::filesystem::exists(SettingsPath()));
    EXPECT_THAT(ReadAll(SettingsPath()), HasSubstr("\ndirval=" + c.stored_after + "\n"));
  }
}

}  // namespace
}  // namespace qtarvox
