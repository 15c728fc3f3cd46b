// Runs the built q-tarvox executable the way a script would: exact arguments
// (no shell), private work, settings and home folders, no display. The tests
// look at what a user can see: exit status, stdout, stderr, the files on disk
// and the report files in the work folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_fixture.h"
#include "cli/startup.h"
#include "program.h"
#include "temp_dir.h"
#ifdef QTARVOX_WITH_WINDOW
#include "ui/ui_texts.h"
#endif

namespace qtarvox {
namespace {

namespace fs = std::filesystem;
// The undo history, journals and all; the undo tests read it.
constexpr const char* kHistory = "Q-Tarvox_Undo/";

// A job without -SU or --preview is the window's; without a display to open
// it on, the program says so. A build without the window prints the job's
// Step 3 summary instead.
#ifdef QTARVOX_WITH_WINDOW
const std::string kNotSilentOut;
const std::string kNotSilentErr = std::string(ui_text::kNoDisplay) + "\n";
#else
const std::string kNotSilentOut =
    "9) Add numbers in sequence to end of each filename (Evenly) Start=975\n"
    "DIR - %D  *Include Subdirectories*\nEXT - *.txt\n";
const std::string kNotSilentErr = std::string(kNoWindowNote) + "\n";
#endif

// Every run is judged by what a script sees: the tree, the exit status, stdout,
// stderr (ending in the summary of a run that started, which names the Error
// file it leaves) and the report files. Each row starts with an earlier Error
// file in the work folder.
TEST_F(CliEndToEnd, RunsLeaveTheExpectedTreeOutputAndReports) {
  const std::string bad = "x\xff";  // not UTF-8
  const std::string separator =
      "The seperating character cannot contain '/'. Please remove that.\n";
  // d is walked with its subdirectories, o without, for two extensions. The
  // numbers show the walk order: a directory's own files (by extension, then
  // by name regardless of case), deepest subdirectories first, hidden folders
  // never. 975 + 25 files reaches 1000, so every number has four digits.
  std::string walk =
      "d/b.txt=b|d/A.TXT=A|d/c.doc=c|d/e.jpg=e|d/s1/deep/x.txt=x|d/s1/y.doc=y|"
      "d/s2/z.txt=z|d/.hidden/h.txt=h|o/sub/g.txt=g";
  std::string walked =
      "d/A0975.TXT=A|d/b0976.txt=b|d/c0977.doc=c|d/e.jpg=e|d/s1/deep/x0978.txt=x|"
      "d/s1/y0979.doc=y|d/s2/z0980.txt=z|d/.hidden/h.txt=h|o/sub/g.txt=g";
  for (int i = 0; i < 19; ++i) {
    const std::string stem = std::string("o/f") + static_cast<char>('a' + i);
    walk += "|" + stem + ".txt=" + stem;
    walked += "|" + stem + "0" + std::to_string(981 + i) + ".txt=" + stem;
  }
  // The report files a row leaves unless it says otherwise, by exit status;
  // "*" stands for any content. A run that does not start touches nothing.
  const std::string by_code[] = {"Q-Tarvox_Process.txt=*",
                                 "Q-Tarvox_Err.txt=*|Q-Tarvox_Process.txt=*",
                                 "Q-Tarvox_Err.txt=earlier"};
  // The counts of the summary line of a run that started.
  const std::string one = "1 renamed, 0 unchanged, 0 skipped, 0 failed";
  const std::string two = "2 renamed, 0 unchanged, 0 skipped, 0 failed";
  const struct {
    std::string args, before, after;
    int code;
    std::string summary = "", out = "", err = "", work = "";
  } cases[] = {
      {"-UC|-FI|%D/a.txt|-SU", "a.txt=1|b.txt=2", "A.txt=1|b.txt=2", 0, one},
      {"-AB*x y|-FI|%D/a.txt*%D/b c.txt|-SU", "a.txt=1|b c.txt=2", "x ya.txt=1|x yb c.txt=2", 0,
       two},
      // Text before the first dash is a command; Step 1 drops LOWERCASE.
      {"UC|-LC|-FI|%D/a.txt|-SU", "a.txt=1", "A.txt=1", 0, one, "",
       "q-tarvox: action dropped: Error in Action 2 : \nYou cannot ask me to make a filename "
       "Uppercase and Lowercase...thats just plain stupid! Uncheck either Uppercase or Lowercase "
       "action and then click on Proceed\n"},
      {"-UC|-FI|%D/" + bad + ".txt|-SU", bad + ".txt=1", "X\xff.txt=1", 0, one},
      {"-CR*c.txt|-EF|1|-FI|%D/a.txt*%D/b.txt|-SU", "a.txt=1|b.txt=2", "c.txt=1|b.txt=2", 0,
       "1 renamed, 0 unchanged, 1 skipped, 0 failed"},
      {"-CR*c.txt|-EF|2|-FI|%D/a.txt*%D/b.txt|-SU", "a.txt=1|b.txt=2", "c.txt=2", 0, two},
      {"-CR*c.txt|-EF|3|-SC*_|-FI|%D/a.txt*%D/b.txt|-SU", "a.txt=1|b.txt=2|c.txt=0",
       "c.txt=0|c_1.txt=1|c_2.txt=2", 0, two},
      {"-CR*c.txt|-EF|2|-FI|%D/a.txt|-SU", "a.txt=1|c.txt=0<ro>", "a.txt=1|c.txt=0<ro>", 1,
       "0 renamed, 0 unchanged, 0 skipped, 1 failed"},
      {"-UC|-FI|%D/a.txt*%D/missing.txt|-SU", "a.txt=1", "A.txt=1", 1,
       "1 renamed, 0 unchanged, 0 skipped, 1 failed", "", "q-tarvox: -FI: no file %D/missing.txt\n",
       "Q-Tarvox_Process.txt=Current File : %D/a.txt\r\n"
       "     After performing action 1 : A.txt\r\n"
       "     Final Operation : a.txt == A.txt\r\n"
       "Current File : %D/missing.txt\r\n"
       "     After performing action 1 : MISSING.txt\r\n|"
       "Q-Tarvox_Err.txt=Error in file : %D/missing.txt\r\n"
       "Error Cause/Reason : The file to be renamed was not found. This could be due to user "
       "either moving, renaming or deleting the file after process was started.\r\n"
       "Error Number, Description : 53-No such file or directory\r\n"},
      {"-FE|%D/d*Y\"%D/o*N?txt\"doc|-NE|E|BN|975|-SU", walk, walked, 0,
       "25 renamed, 0 unchanged, 0 skipped, 0 failed"},
      // --preview wins over -SU wherever it stands.
      {"-LC|-FI|%D/A.txt*%D/B.TXT|-SU|--preview", "A.txt=1|B.TXT=2", "A.txt=1|B.TXT=2", 0,
       "preview, nothing was changed: " + two,
       "%D/A.txt == a.txt (case only)\n%D/B.TXT == b.TXT (case only)\n", "",
       "Q-Tarvox_Process.txt=Current File : %D/A.txt\r\nCurrent File : %D/B.TXT\r\n"},
      {"-CR*n|-EF|3|-SC*?/|-FI|%D/a.txt|-SU", "a.txt=1", "a.txt=1", 2, "", "", separator},
      {"-CR*n|-EF|3|-SC*?/|-FI|%D/a.txt|--preview", "a.txt=1", "a.txt=1", 2, "", "", separator},
      {"-FE|%D*Y?txt|-NE|E|BN|975", "a.txt=1", "a.txt=1", 2, "", kNotSilentOut, kNotSilentErr},
      {"-UC|-FI|%D/a.txt|-SU|--version", "a.txt=1", "a.txt=1", 0, "", "Q-Tarvox Renamer 1.7.6\n",
       "", "Q-Tarvox_Err.txt=earlier"},
      // What was not done is said; the job goes on. Each argument after -FI is
      // one file, as a shell's glob gives them; -q leaves the summary out.
      {"-XX|-UC|-FI|%D/a.jpg|%D/b c.jpg|-SU|-q", "a.jpg=1|b c.jpg=2", "A.jpg=1|B C.jpg=2", 0, "",
       "", "q-tarvox: unknown command -XX ignored\n"},
      {"-UC|-FI|%D/a.txt|-SU|-v", "a.txt=1", "A.txt=1", 0, one, "%D/a.txt == A.txt (case only)\n"},
      {"-UC|-FE|%D/none*N?txt|-SU", "a.txt=1", "a.txt=1", 1,
       "0 renamed, 0 unchanged, 0 skipped, 0 failed", "",
       "q-tarvox: -FE: no directory %D/none\nq-tarvox: no file was chosen.\n",
       "Q-Tarvox_Process.txt=*"},
      // An unknown long option does nothing at all.
      {"--previw|-UC|-FI|%D/a.txt|-SU", "a.txt=1", "a.txt=1", 2, "", "",
       "q-tarvox: unknown option --previw; did you mean --preview?\n"
       "Usage: q-tarvox [OPTION]... [-COMMAND [VALUE...]]...\n"
       "Run 'q-tarvox --help' for the options and commands.\n"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.args);
    StartRow(i, T(c.before));
    work_.WriteFile(kError, "earlier");
    const Outcome o = Run(c.args);
    EXPECT_EQ(o.code, c.code) << o.err;
    EXPECT_EQ(Snapshot(dir_), T(c.after));
    EXPECT_EQ(o.out, Expand(c.out));
    std::string summary;
    if (!c.summary.empty()) {
      summary = "q-tarvox: " + c.summary + "; Process file: " + work_.PathOf(kProcess) +
                (work_.Exists(kError) ? "; Error file: " + work_.PathOf(kError) : "") + "\n";
    }
    EXPECT_EQ(o.err, Expand(c.err) + summary);
    const Tree expected = T(Expand(c.work.empty() ? by_code[c.code] : c.work));
    Tree reports = Snapshot(work_.path());
    std::erase_if(reports, [](const auto& entry) { return entry.first.starts_with(kHistory); });
    for (auto& [name, text] : reports) {
      if (expected.contains(name) && expected.at(name) == "*") text = "*";
    }
    EXPECT_EQ(reports, expected);
  }
}

// Nonsense must neither crash the program nor touch a file the job did not
// name, and every report line must end in CR LF even when a path holds a line
// feed.
TEST_F(CliEndToEnd, BadInputNeverCrashesNorTouchesUnnamedFiles) {
  const std::string long_text(100000, 'x');
  const Tree base = T("a.txt=1|b\nc.txt=bc|b=decoy|sub/d.txt=3");
  const struct {
    std::string args;
    int code;
    std::string may_change;
  } cases[] = {
      {"-ZZ|-QQ*1|2|-FI|%D/a.txt|-SU", 0, ""},
      {"-UC|-FI|\"%D/a.txt*%D/a.txt\"|-SU", 1, ""},
      {"-UC|-FI|*|-FE|*|-SU", 0, ""},
      {"-" + long_text + "|-AB*" + long_text + "|-FI|%D/a.txt|-SU", 1, "a.txt"},
      {"-UC|-FI|%D/" + long_text + "|-SU", 1, ""},
      {"-CR*../escaped.txt|-FI|%D/a.txt|-SU", 0, ""},
      {"-UC|-FI|%D/b\nc.txt|-SU", 0, "b\nc.txt"},
      {"-UC|-FE|%D*N?txt|-SU", 1, "a.txt|b\nc.txt"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.args.substr(0, 200));
    StartRow(i, base);
    home_.WriteFile("c.txt", "decoy");
    const Outcome o = Run(c.args);
    EXPECT_EQ(o.code, c.code) << o.err.substr(0, 2000);
    Tree after = Snapshot(dir_), kept = base;
    EXPECT_EQ(after.size(), base.size());
    for (const auto& name : Split(c.may_change)) kept.erase(name);
    for (const auto& [name, bytes] : kept) EXPECT_EQ(after[name], bytes) << name;
    EXPECT_EQ(Snapshot(home_.path()), T("c.txt=decoy"));
    EXPECT_FALSE(fs::exists(files_.PathOf("escaped.txt")));
    const auto bare_line_feed = [](char a, char b) { return a != '\r' && b == '\n'; };
    for (const auto& [report, text] : Snapshot(work_.path())) {
      if (report.starts_with(kHistory)) continue;
      EXPECT_EQ(std::ranges::adjacent_find(text, bare_line_feed) - text.begin(), std::ssize(text))
          << report;
    }
  }
}

// --help (or -h) names every command and touches nothing.
TEST_F(CliEndToEnd, HelpNamesEveryCommand) {
  StartRow(0, T("a.txt=1"));
  const Outcome o = Run("--help|-UC|-FI|%D/a.txt|-SU");
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(Run("-UC|-h").out, o.out);
  for (const char* command : {"UC", "LC", "CO", "DL", "DF", "RP", "AB", "AE", "NE", "NB", "+R",
                              "+H", "+A", "+N", "EN", "CW", "CR", "FI", "FE", "SU", "EF", "SC",
                              "NP"}) {
    EXPECT_NE(o.out.find(std::string("-") + command), std::string::npos) << command;
  }
  EXPECT_EQ(Snapshot(dir_), T("a.txt=1"));
}

}  // namespace
}  // namespace qtarvox
