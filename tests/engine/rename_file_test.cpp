#include "engine/rename_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "engine/engine_fixture.h"
#include "platform/attributes.h"
#include "platform/xattr_helpers.h"

namespace qtarvox {
namespace {

using ::testing::HasSubstr;

TEST_F(EngineTest, ProcessFileOfTwoFilesMatchesByteForByte) {
  Tick({1, 9, 11});
  dir_.WriteFile("report.txt");
  dir_.WriteFile("Old.TXT");
  run_.NumberEndCounter = "1";
  Rename("report.txt");
  run_.NumberEndCounter = "2";
  Rename("Old.TXT");
  const std::string d = dir_.slash();
  EXPECT_EQ(ProcessText(),
            "Current File : " + d +
                "report.txt\r\n"
                "     After performing action 1 : REPORT.txt\r\n"
                "     After performing action 9 : REPORT1.txt\r\n"
                "     After performing action 11 : REPORT1.txt is set as readonly(+r)\r\n"
                "     Final Operation : report.txt == REPORT1.txt\r\n"
                "Current File : " +
                d +
                "Old.TXT\r\n"
                "     After performing action 1 : OLD.TXT\r\n"
                "     After performing action 9 : OLD2.TXT\r\n"
                "     After performing action 11 : OLD2.TXT is set as readonly(+r)\r\n"
                "     Final Operation : Old.TXT == OLD2.TXT\r\n");
  EXPECT_EQ(dir_.List(), (std::vector<std::string>{"OLD2.TXT", "REPORT1.txt"}));
  EXPECT_EQ(GetFileAttributes(dir_.PathOf("OLD2.TXT")) & kAttrReadOnly, kAttrReadOnly);
  EXPECT_EQ(ErrorText(), "");
  EXPECT_FALSE(run_.ErrorsOccurred);
}

TEST_F(EngineTest, SameNameWritesNoChangesMadeAndAnErrorStopsOnlyItsFile) {
  Tick({1});
  dir_.WriteFile("ABC.TXT");
  dir_.WriteFile("ok.txt");
  Rename("gone.txt");
  Rename("ABC.TXT");
  Rename("ok.txt");
  EXPECT_TRUE(run_.ErrorsOccurred);
  EXPECT_THAT(ProcessText(), HasSubstr("ABC.TXT\r\n     After performing action 1 : ABC.TXT\r\n"
                                       "     No changes made\r\nCurrent File : " + dir_.slash() +
                                       "ok.txt\r\n     After performing action 1 : OK.txt\r\n"
                                       "     Final Operation : ok.txt == OK.txt\r\n"));
}

TEST_F(EngineTest, TakenNameUnderEachCollisionOption) {
  const std::tuple<CollisionOption, std::string, std::vector<std::string>> cases[] = {
      {CollisionOption::kDoNotRename,
       "17 : c.txt\r\n     Intermediate Operation : File was not renamed as requested since there "
       "already exists a file with the same name.\r\n"
       "     Final Operation : a.txt == c.txt was not performed because of the reason stated in "
       "the previous Intermediate Operation!\r\n",
       {"a.txt", "c.txt"}},
      {CollisionOption::kOverwrite,
       "17 : c.txt\r\n     Intermediate Operation : c.txt was overwritten with a.txt\r\n"
       "     Final Operation : a.txt == c.txt\r\n",
       {"c.txt"}},
  };
  Tick({17});
  job_.NewFilename = "c.txt";
  for (const auto& [option, lines, left] : cases) {
    const std::string folder = std::to_string(static_cast<int>(option));
    dir_.WriteFile(folder + "/a.txt", "moved");
    dir_.WriteFile(folder + "/c.txt", "old");
    job_.collision = option;
    Rename("a.txt", dir_.PathOf(folder) + "/");
    EXPECT_EQ(dir_.List(folder), left);
    EXPECT_EQ(dir_.ReadFile(folder + "/c.txt"), left.size() == 1 ? "moved" : "old");
  }
  const std::string process = ProcessText();
  for (const auto& [option, lines, left] : cases) EXPECT_THAT(process, HasSubstr(lines));
  EXPECT_FALSE(run_.ErrorsOccurred);
}

TEST_F(EngineTest, OverwriteOfAReadOnlyFileIsRefusedAndNothingChanges) {
  Tick({17});
  job_.NewFilename = "c.txt";
  job_.collision = CollisionOption::kOverwrite;
  dir_.WriteFile("a.txt", "A");
  dir_.WriteFile("c.txt", "C");
  ASSERT_TRUE(SetFileAttributes(dir_.PathOf("c.txt"), kAttrReadOnly));
  Rename("a.txt");
  EXPECT_EQ(dir_.ReadFile("a.txt"), "A");
  EXPECT_EQ(dir_.ReadFile("c.txt"), "C");
  const std::string d = dir_.slash();
  const std::string errors = ErrorText();
  EXPECT_EQ(errors.rfind("Error in file : " + d + "a.txt\r\n", 0), 0u);
  EXPECT_THAT(errors, HasSubstr("Error Number, Description : 75-"));
  EXPECT_THAT(errors, HasSubstr("\r\nAdditional Information : The file " + d +
                                "c.txt could not be overwritten because it was in use/open or "
                                "was protected. So, the file " +
                                d + "a.txt could not be renamed to that same filename.\r\n"));
  const std::string process = ProcessText();
  EXPECT_THAT(process, HasSubstr("     Failure : Could not overwrite the file since it was in "
                                 "use/open or write protected.\r\n"));
  EXPECT_THAT(process, ::testing::Not(HasSubstr("Final Operation")));
  EXPECT_TRUE(run_.ErrorsOccurred);
}

TEST_F(EngineTest, AppendedNumberThatIsStillTakenTriesTheNextAndReportsTheRealName) {
  // The search uses the old extension, so c-1.doc is not seen as a used number.
  Tick({15});
  job_.NewExtension = ".doc";
  job_.collision = CollisionOption::kAppendNumber;
  run_.Separator = "-";
  dir_.WriteFile("c.txt", "new");
  dir_.WriteFile("c.doc", "old");
  dir_.WriteFile("c-1.doc", "old1");
  Rename("c.txt");
  EXPECT_EQ(dir_.ReadFile("c-2.doc"), "new");
  EXPECT_EQ(dir_.ReadFile("c-1.doc"), "old1");
  EXPECT_THAT(ProcessText(), HasSubstr("Final Operation : c.txt == c-2.doc\r\n"));
}

TEST_F(EngineTest, ErrorFileBlocksForAVanishedFileAndARefusedRename) {
  Tick({1});
  dir_.WriteFile("busy.txt");
  const std::string locked = dir_.MakeDir("locked");
  dir_.WriteFile("locked/busy.txt");
  if (std::system(("chattr +i '" + locked + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "cannot make a folder immutable here";
  }
  Rename("gone.txt");
  Rename("busy.txt", locked + "/");
  std::system(("chattr -i '" + locked + "'").c_str());
  const std::string d = dir_.slash();
  EXPECT_EQ(ErrorText(),
            "Error in file : " + d +
                "gone.txt\r\n"
                "Error Cause/Reason : The file to be renamed was not found. This could be due to "
                "user either moving, renaming or deleting the file after process was started.\r\n"
                "Error Number, Description : 53-No such file or directory\r\n"
                "Error in file : " + locked + "/busy.txt\r\n"
                "Error Cause/Reason : Could not rename file because it was in use/open or was "
                "protected.\r\n"
                "Error Number, Description : 75-Operation not permitted\r\n");
  EXPECT_TRUE(run_.ErrorsOccurred);
  // Neither file got a Final line, and the run went on with the second file.
  EXPECT_THAT(ProcessText(), ::testing::Not(HasSubstr("Final Operation")));
}

TEST_F(EngineTest, AttributeActionsLogTheirLinesAndError200) {
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir_);
  Tick({12, 13});
  dir_.WriteFile("a.txt");
  Rename("a.txt");
  EXPECT_EQ(GetFileAttributes(dir_.PathOf("a.txt")), kAttrHidden | kAttrArchive);
  Rename("gone.txt");
  const std::string d = dir_.slash();
  EXPECT_EQ(
      ProcessText(),
      "Current File : " + d +
          "a.txt\r\n"
          "     After performing action 12 : a.txt is set as hidden(+h)\r\n"
          "     After performing action 13 : a.txt is set as archive(+a)\r\n"
          "Current File : " +
          d +
          "gone.txt\r\n"
          "     After performing action 12 : No changes made as setting +h was unsuccesful\r\n"
          "     After performing action 13 : No changes made as setting +a was unsuccesful\r\n");
  EXPECT_THAT(ErrorText(), HasSubstr("\r\nError Number, Description : 200-"));
  EXPECT_TRUE(run_.ErrorsOccurred);
}

TEST_F(EngineTest, PreviewLineRules) {
  constexpr auto kKeep = CollisionOption::kDoNotRename;
  // Ticked actions, collision option, files present, what a.txt's line shows (empty: no line).
  const std::tuple<std::vector<int>, CollisionOption, std::vector<std::string>, const char*>
      cases[] = {
          {{17}, kKeep, {"a.txt", "new.txt"}, ""},
          {{17}, CollisionOption::kOverwrite, {"a.txt", "new.txt"}, "new.txt"},
          {{17}, kKeep, {"a.txt"}, "new.txt"},
          {{1, 17}, kKeep, {"a.txt", "NEW.TXT"}, "new.txt"},
          {{15}, kKeep, {"a.txt"}, "a"},
          {{11, 12}, kKeep, {"a.txt"}, "a.txt (+r) (+h)"},
          {{13}, kKeep, {"a.txt"}, ""},
      };
  for (const auto& [ticked, option, present, shown] : cases) {
    TempDir dir;
    for (const auto& name : present) dir.WriteFile(name);
    Job job;
    RunState run;
    for (int p : ticked) TickPosition(job, p);
    SnapshotChosenActions(job);
    job.NewFilename = "new.txt";
    job.NewExtension = ".";
    job.collision = option;
    run.PreviewMode = true;
    run.txtOP.Clear();
    NameIndex index;
    EngineContext context;
    context.names = &index;
    RenameFile(job, run, context, dir.slash(), "a", ".txt");
    const std::string expected =
        std::string(shown).empty() ? "" : "\r\n" + dir.slash() + "a.txt == " + shown;
    EXPECT_EQ(run.txtOP.text(), expected) << ticked[0] << " " << shown;
    EXPECT_TRUE(dir.Exists("a.txt"));
  }
}

TEST_F(EngineTest, FullPreviewBoxLogsError7AndGoesOn) {
  Tick({1});
  run_.PreviewMode = true;
  run_.txtOP = PreviewBox(10);
  Rename("long-name.txt");
  EXPECT_EQ(run_.txtOP.text(), "");
  EXPECT_THAT(ErrorText(), HasSubstr("\r\nError Number, Description : 7-"));
  EXPECT_FALSE(run_.ErrorsOccurred);
}

}  // namespace
}  // namespace qtarvox
