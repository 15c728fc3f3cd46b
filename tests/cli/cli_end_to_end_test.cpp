// Runs the built q-tarvox executable the way a script would.
#include <limits.h>

#include "cli/cli_fixture.h"

namespace qtarvox {
namespace {

namespace fs = std::filesystem;
// The undo history, journals and all; the undo tests read it.
constexpr const char* kHistory = "Q-Tarvox_Undo/";

// Every run is judged by what a script sees.
TEST_F(CliEndToEnd, RunsLeaveTheExpectedTreeOutputAndReports) {
  const std::string bad = "x\xff";  // not UTF-8
  const std::string separator =
      "The seperating character cannot contain '/'. Please remove that.\n";
  // d is walked with its subdirectories, o without, for two extensions.
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
  // The report files a row leaves unless it says otherwise, by exit status.
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
      // Text before the first dash is a command; Step 1 drops LOWERCASE and -DL 0, the rest runs.
      {"UC|-LC|-DL|0|-AB*x|-FI|%D/a.txt|-SU", "a.txt=1", "xA.txt=1", 1, one, "",
       "q-tarvox: action dropped: Error in Action 2 : \nYou cannot ask me to make a filename "
       "Uppercase and Lowercase...thats just plain stupid! Uncheck either Uppercase or Lowercase "
       "action and then click on Proceed\nq-tarvox: action dropped: Error in Action 4 : \nYou "
       "need to enter how many characters to remove from the end of the filename. Must be a "
       "number greater than zero.\n",
       "Q-Tarvox_Process.txt=*"},
      {"-UC|-FI|%D/" + bad + ".txt|-SU", bad + ".txt=1", "X\xff.txt=1", 0, one},
      {"-CR*c.txt|-EF|3|-SC*_|-FI|%D/a.txt*%D/b.txt|-SU", "a.txt=1|b.txt=2|c.txt=0",
       "c.txt=0|c_1.txt=1|c_2.txt=2", 0, two},
      {"-UC|-FI|%D/a.txt*%D/missing.txt|-SU", "a.txt=1", "A.txt=1", 1,
       "1 renamed, 0 unchanged, 0 skipped, 1 failed", "",
       "q-tarvox: -FI: no file %D/missing.txt\n"},
      {"-FE|%D/d*Y\"%D/o*N?txt\"doc|-NE|E|BN|975|-SU", walk, walked, 0,
       "25 renamed, 0 unchanged, 0 skipped, 0 failed; 1 folder not entered: read-only or hidden"},
      // --preview wins over -SU wherever it stands.
      {"-LC|-FI|%D/A.txt*%D/B.TXT|-SU|--preview", "A.txt=1|B.TXT=2", "A.txt=1|B.TXT=2", 0,
       "preview, nothing was changed: " + two,
       "%D/A.txt == a.txt (case only)\n%D/B.TXT == b.TXT (case only)\n", "",
       "Q-Tarvox_Process.txt=Current File : %D/A.txt\r\nCurrent File : %D/B.TXT\r\n"},
      {"-CR*n|-EF|3|-SC*?/|-FI|%D/a.txt|-SU", "a.txt=1", "a.txt=1", 2, "", "", separator},
      // What was not done is said; the job goes on.
      {"-XX|-UC|-FI|%D/a.jpg|%D/b c.jpg|-SU|-q", "a.jpg=1|b c.jpg=2", "A.jpg=1|B C.jpg=2", 1, "",
       "", "q-tarvox: unknown command -XX ignored\n", "Q-Tarvox_Process.txt=*"},
      {"-UC|-FI|%D/a.txt|-SU|-v", "a.txt=1", "A.txt=1", 0, one, "%D/a.txt == A.txt (case only)\n"},
      {"-UC|-FE|%D/none*N?txt|-SU", "a.txt=1", "a.txt=1", 1,
       "0 renamed, 0 unchanged, 0 skipped, 1 failed", "",
       "q-tarvox: -FE: no directory %D/none\n"},
      // An unknown long option does nothing at all.
      {"--previw|-UC|-FI|%D/a.txt|-SU", "a.txt=1", "a.txt=1", 2, "", "",
       "q-tarvox: unknown option --previw; did you mean --preview?\n"
       "Usage: q-tarvox [OPTION]... [-COMMAND [VALUE...]]... [-- FILE...]\n"
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

TEST_F(CliEndToEnd, EachChosenFileIsTakenOnceAndCountedAsTheDiskShows) {
  const std::string twice = "2 renamed, 0 unchanged, 0 skipped, 1 failed";
  const std::string once = "1 renamed, 0 unchanged, 0 skipped, 0 failed";
  const std::string failed = "1 renamed, 0 unchanged, 0 skipped, 1 failed";
  const std::string xa = "xa.txt=one|xxa.txt=two";
  const std::tuple<std::string, std::string, std::string, int, std::string> cases[] = {
      // The walk renames xa -> a and xxa -> xa; then xa.txt is named again.
      {"-DF|1|-EF|1|-FE|%D*N?txt|-FI|%D/xa.txt|-SU", xa, "a.txt=one|xa.txt=two", 1, twice},
      {"-DF|1|-EF|2|-FE|%D*N?txt|-FI|%D/xa.txt|-SU", xa, "a.txt=one|xa.txt=two", 1, twice},
      {"-DF|1|-EF|3|-FE|%D*N?txt|-FI|%D/xa.txt|-SU", xa, "a.txt=one|xa.txt=two", 1, twice},
      {"-DF|1|-EF|2|-FI|%D/xa.txt|%D/xxa.txt|%D/xa.txt|-SU", xa, "a.txt=one|xa.txt=two", 1, twice},
      // Two patterns match one file; a folder is listed and inside a walked folder.
      {"-DF|1|-FE|%D*N?txt\"*|-SU", "xxa.txt=1", "xa.txt=1", 0, once},
      {"-UC|-NE|E|-FE|%D/s*N\"%D*Y?txt|-SU", "s/a.txt=1|b.txt=2", "s/A2.txt=1|B1.txt=2", 0,
       "2 renamed, 0 unchanged, 0 skipped, 0 failed"},
      // Overwrite onto the name the trailing dot leaves.
      {"-EN|-EF|2|-FI|%D/x.txt|-SU", "x.txt=1|x=0", "x=1", 0, once},
      // b.txt was overwritten by a.txt before its turn: not "unchanged".
      {"-CR*b.txt|-EF|2|-FI|%D/a.txt|%D/b.txt|-SU", "a.txt=1|b.txt=2", "b.txt=1", 1, failed},
      // A name with a line break cannot be listed: it fails.
      {"-UC|-FE|%D*N?txt|-SU", "a.txt=1|b\nc.txt=2", "A.txt=1|b\nc.txt=2", 1, failed},
      // Renamed, though its attribute could not be set: a link has none.
      {"-UC|-+H|-FI|%D/l.txt|-SU", "t=x|l.txt=@t", "t=x|L.txt=@t", 1, once},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& [args, before, after, code, summary] = cases[i];
    SCOPED_TRACE(args);
    StartRow(i, T(before));
    const Outcome o = Run(args + "|-SC*_");
    EXPECT_EQ(o.code, code) << o.err;
    EXPECT_EQ(Snapshot(dir_), T(after));
    EXPECT_EQ(o.err, "q-tarvox: " + summary + "; Process file: " + work_.PathOf(kProcess) +
                         (code != 0 ? "; Error file: " + work_.PathOf(kError) : "") + "\n");
  }
  // The renamed link's Process block (the last row's) ends in its Final line.
  EXPECT_NE(work_.ReadFile(kProcess).find("Final Operation : l.txt == L.txt"), std::string::npos);
}

TEST_F(CliEndToEnd, EveryFolderTheWalkCannotReadIsAnError) {
  // Deeper than a path can reach: the folder whose path is too long is named.
  StartRow(0, T("a.txt=1"));
  std::string deep = dir_, too_long;
  std::vector<int> folders{::open(dir_.c_str(), O_RDONLY | O_DIRECTORY)};
  std::vector<std::string> names;
  for (int level = 0; level < 22; ++level) {
    names.push_back("s" + std::to_string(level) + std::string(200, 'x'));
    deep += "/" + names.back();
    if (too_long.empty() && deep.size() + 1 >= PATH_MAX) too_long = deep + "/";
    ASSERT_EQ(::mkdirat(folders.back(), names.back().c_str(), 0755), 0);
    folders.push_back(::openat(folders.back(), names.back().c_str(), O_RDONLY | O_DIRECTORY));
    ::close(::openat(folders.back(), "f.txt", O_CREAT | O_WRONLY, 0644));
  }
  Outcome o = Run("-UC|-FE|%D*Y?txt|-SU");
  // Emptied from the bottom: no path reaches down there.
  for (size_t level = names.size(); level > 0; --level) {
    for (const char* file : {"f.txt", "F.txt"}) ::unlinkat(folders[level], file, 0);
    ::close(folders[level]);
    ::unlinkat(folders[level - 1], names[level - 1].c_str(), AT_REMOVEDIR);
  }
  ::close(folders[0]);
  EXPECT_EQ(o.code, 1);
  EXPECT_NE(o.err.find(" renamed, 0 unchanged, 0 skipped, 1 failed;"), std::string::npos) << o.err;
  EXPECT_EQ(work_.ReadFile(kError),
            "Error in file : " + too_long +
                "\r\nError Cause/Reason : Could not rename file maybe because it was being worked "
                "on or was protected.\r\nError Number, Description : 52-File name too long\r\n");
  EXPECT_TRUE(fs::exists(dir_ + "/A.txt"));

  // A folder this user may not list: below the chosen one, and chosen itself.
  if (geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root from listing a folder";
  StartRow(1, T("a.txt=1|u/b.txt=2"));
  ::chmod((dir_ + "/u").c_str(), 0300);
  for (const char* args : {"-UC|-FE|%D*Y?txt|-SU", "-UC|-FE|%D/u*N?txt|-SU"}) {
    SCOPED_TRACE(args);
    o = Run(args);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find(" 0 skipped, 1 failed;"), std::string::npos) << o.err;
    EXPECT_EQ(work_.ReadFile(kError).substr(0, work_.ReadFile(kError).find("\r\n")),
              "Error in file : " + dir_ + "/u/");
  }
  ::chmod((dir_ + "/u").c_str(), 0700);
  EXPECT_EQ(Snapshot(dir_), T("A.txt=1|u/b.txt=2"));
}

TEST_F(CliEndToEnd, InputPicksOnlyTheChosenFiles) {
  const std::string dashed = "\" is a file here, not a command";
  const std::tuple<std::string, std::string, std::string, int, std::string> cases[] = {
      // What `-FI *.jpg` gives: a name that reads as a command stops it all.
      {"-UC|-FI|-su.jpg|a.jpg", "-su.jpg=1|a.jpg=2", "-su.jpg=1|a.jpg=2", 2, "\"-su.jpg" + dashed},
      {"-CR*b.jpg|-SU|-FI|a.jpg|-ef 2.jpg", "-ef 2.jpg=1|a.jpg=2|b.jpg=3",
       "-ef 2.jpg=1|a.jpg=2|b.jpg=3", 2, "write ./-ef 2.jpg for it, or put the files after --"},
      {"-UC|-FI|(x).jpg|-SU|--|-su.jpg|--preview", "(x).jpg=1|-su.jpg=2|--preview=3",
       "(X).jpg=1|-SU.jpg=2|--PREVIEW=3", 0, ""},
      // An exact name is that file; anything else is trimmed.
      {"-UC|-FI|a.txt | b.txt|b.txt|c.txt |-SU", "a.txt =1| a.txt =2| b.txt=3|b.txt=4|c.txt=5",
       "A.txt =1| a.txt =2| B.txt=3|B.txt=4|C.txt=5", 0, ""},
      {"-UC|-FI|a*b.txt|x * y.txt|-SU", "a*b.txt=1|a=2|b.txt=3|x * y.txt=4|x=5| y.txt=6",
       "A*B.txt=1|a=2|b.txt=3|X * Y.txt=4|x=5| y.txt=6", 0, ""},
      // A long option with one dash, also where the window would open.
      {"-preview|-UC|-FI|a.txt|-SU", "a.txt=1", "a.txt=1", 2, "did you mean --preview?"},
      {"-UC|-SU|--files0-from|%D/none", "a.txt=1", "a.txt=1", 2, "--files0-from: cannot read"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& [args, before, after, code, err_has] = cases[i];
    SCOPED_TRACE(args);
    StartRow(i, T(before));
    const Outcome o = RunArgs(Split(Expand(args)), dir_);
    EXPECT_EQ(o.code, code) << o.err;
    EXPECT_EQ(Snapshot(dir_), T(after));
    EXPECT_NE(o.err.find(Expand(err_has)), std::string::npos) << o.err;
  }
}

TEST_F(CliEndToEnd, FilesFromStandardInputAreOneJob) {
  constexpr int kFiles = 3000;
  StartRow(0, {});
  std::string list, last;
  for (int i = kFiles; i >= 1; --i) {
    const std::string name = "f" + std::to_string(i) + (i % 2 ? " " : "*x");
    files_.WriteFile("row0/" + name, std::to_string(i));
    list += (i % 3 ? dir_ + "/" : "") + name + '\0';
  }
  io_.WriteFile("list", list);
  const Outcome o = RunArgs({"-NE", "E", "-SU", "--files0-from", "-"}, dir_, io_.PathOf("list"));
  EXPECT_EQ(o.code, 0) << o.err;
  const Tree after = Snapshot(dir_);
  ASSERT_EQ(after.size(), size_t{kFiles});
  for (int i = kFiles, n = 1; i >= 1; --i, ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", n);
    const std::string renamed = "f" + std::to_string(i) + (i % 2 ? " " : "*x") + number;
    ASSERT_EQ(after.count(renamed), 1u) << renamed;
    EXPECT_EQ(after.at(renamed), std::to_string(i));
  }
}

// --help (or -h) wins over a job and touches nothing.
TEST_F(CliEndToEnd, HelpTouchesNothing) {
  StartRow(0, T("a.txt=1"));
  const Outcome o = Run("--help|-UC|-FI|%D/a.txt|-SU");
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_NE(o.out.find("-FI"), std::string::npos);
  EXPECT_EQ(Run("-UC|-h").out, o.out);
  EXPECT_EQ(Snapshot(dir_), T("a.txt=1"));
}

}  // namespace
}  // namespace qtarvox
