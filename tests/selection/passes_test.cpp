#include "selection/passes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "engine/messages.h"
#include "engine/numbering.h"
#include "platform/xattr_helpers.h"
#include "selection/individual_files.h"
#include "selection/walk.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

using ::testing::ElementsAre;

// The lines of a CR LF text file.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t pos = 0, end; pos < text.size(); pos = end == std::string::npos ? end : end + 2) {
    end = text.find("\r\n", pos);
    lines.push_back(end == std::string::npos ? text.substr(pos) + "(no CR LF)"
                                             : text.substr(pos, end - pos));
  }
  return lines;
}

// Report files of their own, set in `context`, and a walk and operation-list pass over them.
struct Reports {
  explicit Reports(EngineContext& context) {
    EXPECT_TRUE(process.OpenForOutput(work.PathOf("process.txt")).ok());
    EXPECT_TRUE(errors.OpenForOutput(work.PathOf("err.txt")).ok());
    context.process = &process;
    context.errors = &errors;
  }
  void WalkAndPass(Job& job, RunState& run, EngineContext& context, int32_t more_files = 0) {
    ReportFile op;
    EXPECT_TRUE(op.OpenForOutput(work.PathOf("op.tvq")).ok());
    run.FileCount = 0;
    EXPECT_TRUE(DirectoryWalk(job, run, context, op).ok());
    LineReader list;
    EXPECT_TRUE(op.CloseInto(list).ok());
    run.FileCount += more_files;
    EXPECT_TRUE(OperationListPass(job, run, context, list).ok());
  }
  // The Process file, "--", the Error file and `more`, with `dir` written as DIR.
  std::string Text(const std::string& dir, const std::string& more = "") {
    EXPECT_TRUE(process.Close().ok());
    EXPECT_TRUE(errors.Close().ok());
    std::string text = work.ReadFile("process.txt") + "--\r\n" + work.ReadFile("err.txt") + more;
    for (size_t at; (at = text.find(dir)) != std::string::npos;) {
      text.replace(at, dir.size(), "DIR");
    }
    return text;
  }
  TempDir work;
  ReportFile process, errors;
};

// A job that renames each file to its number alone.
Job NumbersOnly() {
  Job job;
  TickPosition(job, 3);  // clear the name
  TickPosition(job, 9);
  SnapshotChosenActions(job);
  return job;
}

class WalkTest : public ::testing::Test {
 protected:
  // Walks with the job's lists and returns the operation list's lines.
  std::vector<std::string> Walk() {
    ReportFile op, errors;
    EXPECT_TRUE(op.OpenForOutput(work_.PathOf("op.tvq")).ok());
    EXPECT_TRUE(errors.OpenForOutput(work_.PathOf("err.txt")).ok());
    run_.FileCount = 0;
    EngineContext context;
    context.errors = &errors;
    EXPECT_TRUE(DirectoryWalk(job_, run_, context, op).ok());
    EXPECT_TRUE(op.Close().ok());
    EXPECT_TRUE(errors.Close().ok());
    return Lines(work_.ReadFile("op.tvq"));
  }

  TempDir dir_;
  TempDir work_;
  Job job_;
  RunState run_;
};

// A folder's own files, then subdirectories deepest first; hidden, read-only, links, gone: not.
TEST_F(WalkTest, ListsFilesInWalkOrderAndEntersOnlyPlainFolders) {
  for (const char* name : {"D/f.txt", "D/g.doc", "D/A/X/x.txt", "D/A/a.txt", "D/B/b.TXT",
                           "D/B/c.doc", "D/.dot/in-dot.txt", "D/ro/in-ro.txt", "D/.hidden.txt"}) {
    dir_.WriteFile(name);
  }
  ASSERT_EQ(chmod(dir_.PathOf("D/ro").c_str(), 0555), 0);
  ASSERT_EQ(symlink(dir_.PathOf("D").c_str(), dir_.PathOf("D/loop").c_str()), 0);
  ASSERT_EQ(symlink(dir_.PathOf("D/f.txt").c_str(), dir_.PathOf("D/link.txt").c_str()), 0);
  job_.lstDir = {dir_.PathOf("gone"), dir_.PathOf("D") + kIncludeSubdirsMark};
  job_.lstExt = {"*.txt", "*.doc"};
  const std::string d = dir_.PathOf("D");
  EXPECT_THAT(Walk(), ElementsAre(d + "/.hidden.txt", d + "/f.txt", d + "/g.doc", d + "/A/X/x.txt",
                                  d + "/A/a.txt", d + "/B/b.TXT", d + "/B/c.doc"));
  EXPECT_EQ(run_.FileCount, 7);
}

TEST_F(WalkTest, NameWithALineBreakIsNeverListedButLogged) {
  dir_.WriteFile("a.txt");
  dir_.WriteFile("evil\nb.txt");
  dir_.WriteFile("two\r\nlines.txt");
  job_.lstDir = {dir_.path()};
  job_.lstExt = {"*.txt"};
  const std::string d = dir_.slash();
  EXPECT_THAT(Walk(), ElementsAre(d + "a.txt"));
  EXPECT_EQ(run_.FileCount, 1);
  EXPECT_TRUE(run_.ErrorsOccurred);
  const std::vector<std::string> errors = Lines(work_.ReadFile("err.txt"));
  ASSERT_EQ(errors.size(), 6u);
  EXPECT_EQ(errors[0], "Error in file : " + d + "evil?b.txt");
  EXPECT_THAT(errors[2], ::testing::StartsWith("Error Number, Description : 52-"));
  EXPECT_EQ(errors[3], "Error in file : " + d + "two??lines.txt");
}

TEST(FileEntry, SplitsIntoDirectoryAndFilename) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"readme.txt * /home/me/docs", "/home/me/docs/", "readme.txt"},
      {"readme.txt * /", "/", "readme.txt"},
      {"a*b.txt * /d", "/d/", "a*b.txt"},
      {"/x/y.txt", "/x/", "y.txt"},
  };
  for (const auto& [entry, want_directory, want_filename] : cases) {
    std::string directory, filename;
    SplitFileEntry(entry, directory, filename);
    EXPECT_EQ(directory, want_directory) << entry;
    EXPECT_EQ(filename, want_filename) << entry;
  }
}

// The numbers the engine gives, read back from files renamed to their numbers alone.
TEST(Numbering, IndividualFilesContinueTheWalkOrStartAtTheirStartNumber) {
  TempDir dir;
  Job job = NumbersOnly();
  RunState run;
  job.NumberEndStyle = NumberStyle::kEven;
  for (int i = 0; i < 12; ++i) dir.WriteFile("w/f" + std::to_string(100 + i) + ".txt");
  for (int i = 0; i < 3; ++i) {
    dir.WriteFile("i/g" + std::to_string(i) + ".txt");
    job.lstFile.push_back("g" + std::to_string(i) + ".txt * " + dir.PathOf("i"));
  }
  job.lstDir = {dir.PathOf("w")};
  job.lstExt = {"*.txt"};
  job.method = SelectionMethod::kDone;

  EngineContext context;
  Reports reports(context);
  reports.WalkAndPass(job, run, context, static_cast<int32_t>(job.lstFile.size()));
  IndividualFilesPass(job, run, context);
  EXPECT_THAT(dir.List("w"),
              ElementsAre("01.txt", "02.txt", "03.txt", "04.txt", "05.txt", "06.txt", "07.txt",
                          "08.txt", "09.txt", "10.txt", "11.txt", "12.txt"));
  EXPECT_THAT(dir.List("i"), ElementsAre("13.txt", "14.txt", "15.txt"));
  // Chosen one by one alone, from a start number; a work file of the run
  // among them is left alone but keeps its number.
  Job alone = NumbersOnly();
  alone.NumberEndStartGiven = true;
  alone.NumberEndStart = "95";
  alone.method = SelectionMethod::kIndividual;
  for (const auto& name : dir.List("i")) alone.lstFile.push_back(name + " * " + dir.PathOf("i"));
  const std::string own = std::string("i/") + kProcessFileName;
  dir.WriteFile(own);
  context.own_files.emplace_back();
  ASSERT_TRUE(IdOfPath(dir.PathOf(own), context.own_files.back()));
  alone.lstFile.insert(alone.lstFile.begin() + 1, dir.PathOf(own));
  RunState alone_run;
  IndividualFilesPass(alone, alone_run, context);
  EXPECT_THAT(dir.List("i"), ElementsAre("95.txt", "97.txt", "98.txt", kProcessFileName));
}

TEST(OperationListPass, SystemFileIsLeftOutWhicheverSideReadsItsBit) {
  const std::tuple<const char*, NumberStyle, bool> cases[] = {
      {"read by the pass, ahead", NumberStyle::kNormal, true},
      {"read by the pass, one at a time", NumberStyle::kNormal, false},
      {"read by the walk", NumberStyle::kEven, true}};
  for (const auto& [what, style, ahead] : cases) {
    TempDir dir;
    QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
    for (const char* name : {"a.txt", "b.txt", "sys.txt", "c.txt", "evil\nsys.txt"}) {
      const std::string path = dir.WriteFile(name);
      if (std::string(name).find("sys") != std::string::npos) StoreRawDosAttrib(path, "0x4");
    }
    Job job = NumbersOnly();
    RunState run;
    job.NumberEndStyle = style;
    job.lstDir = {dir.path()};
    job.lstExt = {"*.txt"};
    EngineContext context;
    context.prepare_ahead = ahead;
    Reports reports(context);
    reports.WalkAndPass(job, run, context);
    // With the exact count of 3 files, even numbers are one digit wide.
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"1.txt", "2.txt", "3.txt", "evil\nsys.txt",
                                                     "sys.txt"}))
        << what;
    EXPECT_EQ(run.FileCount, 3) << what;
    EXPECT_EQ(run.FilesDone, 3) << what;
    EXPECT_FALSE(run.ErrorsOccurred) << what;
    EXPECT_EQ(reports.Text(dir.path()), "--\r\n") << what;
  }
}

TEST(OperationListPass, PreparingAheadGivesTheSameRunAsOneFileAtATime) {
  // What the run is, whether it numbers the names, its collision option, whether it previews.
  const std::tuple<const char*, bool, CollisionOption, bool> cases[] = {
      {"collisions left alone", false, CollisionOption::kDoNotRename, false},
      {"collisions numbered", false, CollisionOption::kAppendNumber, false},
      {"numbered names", true, CollisionOption::kDoNotRename, false},
      {"preview", true, CollisionOption::kDoNotRename, true},
  };
  for (const auto& [what, numbers, collision, preview] : cases) {
    std::vector<std::string> runs[2], names[2];
    for (int ahead = 0; ahead < 2; ++ahead) {
      TempDir dir;
      // "aaaa7" and "bbbb7" both lose their first four characters: the second collides.
      for (int i = 0; i < 240; ++i) {
        dir.WriteFile((i % 2 ? "aaaa" : "bbbb") + std::to_string(i / 2) + ".txt");
      }
      for (char letter = 'p'; letter <= 'w'; ++letter)
        dir.WriteFile(std::string(1, letter) + ".txt");
      Job job;
      RunState run;
      TickPosition(job, 1);  // UPPERCASE
      TickPosition(job, 5);  // delete the first n characters
      if (numbers) TickPosition(job, 9);
      if (preview) TickPosition(job, 15);  // extension "." (not shown in a preview)
      SnapshotChosenActions(job);
      job.NewExtension = ".";
      job.DeleteFirstCount = 4;
      job.NumberEndStyle = NumberStyle::kEven;
      job.collision = collision;
      run.Separator = "_";
      run.GenerateProcessFile = true;
      run.PreviewMode = preview;
      job.lstDir = {dir.path()};
      job.lstExt = {"*.txt"};

      EngineContext context;
      context.prepare_ahead = ahead == 1;
      context.prepare_batch = 16;  // many batches, and a queue that fills up
      Reports reports(context);
      reports.WalkAndPass(job, run, context);
      runs[ahead] = Lines(reports.Text(dir.path(), "--" + run.txtOP.text()));
      names[ahead] = dir.List();
    }
    ASSERT_GT(runs[0].size(), 480u) << what;
    const auto has = [&](const char* text) {
      return std::count(runs[0].begin(), runs[0].end(), msg::kIndent + std::string(text)) > 0;
    };
    EXPECT_EQ(has(msg::kTerminated4), !preview) << what;
    EXPECT_EQ(has(msg::kIntermediateNotRenamed),
              !numbers && !preview && collision == CollisionOption::kDoNotRename)
        << what;
    if (preview) {
      const std::string& last = runs[0].back();
      // The box's last entry has no line end of its own.
      const std::string end = "/w.txt" + std::string(msg::kFinalSep) + "W248(no CR LF)";
      EXPECT_EQ(last.substr(last.size() - std::min(last.size(), end.size())), end);
    }
    EXPECT_EQ(runs[1], runs[0]) << what;
    EXPECT_EQ(names[1], names[0]) << what;
  }
}

TEST(WalkWhileRenaming, GivesTheRunOfTheWalkBeforeTheRenames) {
  // The reports' lines, then the names the files have, then the count of files.
  const auto run = [](bool while_listing, bool overlapping) {
    TempDir dir;
    for (const char* sub : {"", "A/", "A/X/", "B/"}) {
      for (int i = 0; i < 40; ++i)
        dir.WriteFile(std::string(sub) + "ab" + std::to_string(i) + ".txt");
    }
    dir.WriteFile("B/line\nbreak.txt");
    Job job;
    RunState run;
    TickPosition(job, 1);  // UPPERCASE
    TickPosition(job, 5);  // delete the first n characters: twice would show
    TickPosition(job, 9);  // numbers at end
    SnapshotChosenActions(job);
    job.DeleteFirstCount = 1;
    job.NumberEndStyle = NumberStyle::kNormal;
    run.GenerateProcessFile = true;
    job.lstDir = {dir.path() + kIncludeSubdirsMark};
    if (overlapping) {
      job.lstDir.push_back(dir.PathOf("A"));
      job.lstDir.push_back(dir.PathOf("A") + kIncludeSubdirsMark);
    }
    job.lstExt = {"*.txt"};

    EngineContext context;
    context.prepare_batch = 16;
    Reports reports(context);
    run.FileCount = 0;
    if (while_listing) {
      EXPECT_TRUE(ListsWhileRenaming(job, run, context));
      RtError result;
      int asked = 0;
      EXPECT_TRUE(WalkWhileRenaming(
          job, run, context, [&] { return ++asked, RtError{}; }, result));
      EXPECT_TRUE(result.ok());
      EXPECT_EQ(asked, 1);
    } else {
      reports.WalkAndPass(job, run, context);
    }
    std::vector<std::string> seen = Lines(reports.Text(dir.path()));
    for (const char* sub : {"", "A", "A/X", "B"}) {
      for (const std::string& name : dir.List(sub)) seen.push_back(sub + ("/" + name));
    }
    seen.push_back(std::to_string(run.FileCount));
    return seen;
  };
  const std::vector<std::string> before = run(false, false);
  EXPECT_EQ(before.back(), "160");
  EXPECT_EQ(run(true, false), before);
  // A listed a second time lists nothing again: the same run.
  for (const bool while_listing : {true, false}) {
    EXPECT_EQ(run(while_listing, true), before) << while_listing;
  }
}

}  // namespace
}  // namespace qtarvox
