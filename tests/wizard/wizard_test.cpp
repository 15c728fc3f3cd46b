#include "wizard/wizard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <thread>

#include "fakes.h"
#include "platform/attributes.h"
#include "run/report_view.h"
#include "run/settings.h"
#include "run/work_files.h"
#include "selection/step2.h"
#include "temp_dir.h"
#include "wizard/summary.h"

namespace qtarvox {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QTARVOX_WORK_DIR", work_.path().c_str(), 1);
    wizard_.ShowStep1();
    dir_.WriteFile("d/a.txt", "a");
    dir_.WriteFile("d/b.txt", "b");
    dir_.WriteFile("d/c.doc", "c");
    TickPosition(job_, 1);
    SnapshotChosenActions(job_);
    job_.method = SelectionMethod::kExtension;
    job_.lstDir = {dir_.PathOf("d")};
    job_.lstExt = {"*.txt"};
    job_.dirDir = dir_.path();
  }

  std::string WorkFile(const char* name) { return work_.ReadFile(name); }

  TempDir dir_;
  TempDir work_;
  RecordingPrompter prompter_;
  RecordingRunView view_;
  Wizard wizard_{prompter_, view_};
  Job& job_ = wizard_.job();
};

TEST_F(WizardTest, PreviewListsNewNamesAndChangesNothing) {
  const RunOutcome outcome = wizard_.Preview();
  EXPECT_TRUE(outcome.started);
  const std::string d = dir_.PathOf("d") + "/";
  EXPECT_EQ(job_.txtOP.text(), "\r\n" + d + "a.txt == A.txt\r\n" + d + "b.txt == B.txt");
  EXPECT_THAT(dir_.List("d"), ElementsAre("a.txt", "b.txt", "c.doc"));
  EXPECT_EQ(view_.statuses.back(), "Status : Preview Generated succesfully");
  EXPECT_TRUE(prompter_.messages.empty());
  EXPECT_EQ(WorkFile("Q-Tarvox_Process.txt"),
            "Current File : " + d + "a.txt\r\nCurrent File : " + d + "b.txt\r\n");
  EXPECT_THAT(work_.List(), ElementsAre("Q-Tarvox_Process.txt"));
  EXPECT_FALSE(wizard_.screen().finished);
}

TEST_F(WizardTest, PerformRenamesAndLocksTheScreenIntoFinished) {
  const RunOutcome outcome = wizard_.PressRun();
  EXPECT_TRUE(outcome.started);
  EXPECT_FALSE(outcome.error_file_left);
  EXPECT_THAT(dir_.List("d"), ElementsAre("A.txt", "B.txt", "c.doc"));
  // No list, no Error file; the journal to undo the run by.
  EXPECT_THAT(work_.List(), ElementsAre("Q-Tarvox_Process.txt", "Q-Tarvox_Undo"));
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].text, "The files were succesfully renamed.");
  const ScreenState s = wizard_.screen();
  EXPECT_STREQ(s.cmdProceed3_caption(), "&Finished");
  EXPECT_TRUE(s.finished);
  // What the run did, below the message.
  EXPECT_EQ(s.lblStatus,
            "Status : Filename changes were performed succesfully\r\n"
            "2 renamed, 0 unchanged, 0 skipped, 0 failed");
  EXPECT_TRUE(s.cmdOP_enabled);
  EXPECT_FALSE(s.cmdErr_enabled);
  EXPECT_FALSE(s.cmdPreview_enabled || s.cmdStep1_enabled || s.cmdStep2_enabled ||
               s.cmdCancel3_enabled);
}

TEST_F(WizardTest, PerformWithErrorsKeepsTheErrorFileAndOffersIt) {
  job_.lstDir.push_back(dir_.PathOf("d/gone"));  // a folder the walk cannot read
  prompter_.answers = {true};
  const RunOutcome outcome = wizard_.PressRun();
  EXPECT_TRUE(outcome.error_file_left);
  const std::string d = dir_.PathOf("d") + "/";
  EXPECT_THAT(WorkFile("Q-Tarvox_Err.txt"),
              HasSubstr("Error in file : " + d +
                        "gone/\r\nError Cause/Reason : The file to be "
                        "renamed was not found."));
  ASSERT_EQ(prompter_.messages.size(), 2u);
  EXPECT_EQ(prompter_.messages[1].caption, "Errors");
  EXPECT_THAT(view_.viewed, ElementsAre(work_.PathOf("Q-Tarvox_Err.txt")));
  EXPECT_TRUE(wizard_.screen().cmdErr_enabled);
  EXPECT_THAT(dir_.List("d"), ElementsAre("A.txt", "B.txt", "c.doc"));
}

TEST_F(WizardTest, FinishedSequenceClearsOnNoAndKeepsOnYes) {
  for (const bool keep : {false, true}) {
    RecordingPrompter prompter;
    Wizard wizard(prompter, view_);
    Job& job = wizard.job();
    TickPosition(job, 8);
    job.AddEndText = "x";
    job.lstDir = {dir_.PathOf("d")};
    job.lstExt = {"*.none"};
    job.method = SelectionMethod::kDone;
    job.txtSep = "_";
    prompter.answers = {keep};  // nothing to rename: the run only brings the Finished state
    EXPECT_TRUE(wizard.PressRun().started);
    ASSERT_TRUE(wizard.screen().finished);
    job.lstFile = {"a * /d"};
    work_.WriteFile("Q-Tarvox_Process.txt");
    work_.WriteFile("Q-Tarvox_Err.txt");
    ASSERT_TRUE(SetFileAttributes(work_.PathOf("Q-Tarvox_Err.txt"), kAttrReadOnly));
    prompter.messages.clear();
    EXPECT_FALSE(wizard.PressRun().started);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Save Settings?");
    EXPECT_EQ(job.lstActions[7].ticked, keep);
    EXPECT_EQ(job.AddEndText, keep ? "x" : "");
    EXPECT_EQ(job.lstDir.size(), keep ? 1u : 0u);
    EXPECT_EQ(job.method, keep ? SelectionMethod::kDone : SelectionMethod::kNone);
    EXPECT_TRUE(job.lstFile.empty());
    EXPECT_EQ(job.txtSep, "_");
    const ScreenState s = wizard.screen();
    EXPECT_STREQ(s.cmdProceed3_caption(), "&Perform\r\nChanges");
    EXPECT_FALSE(s.finished);
    EXPECT_EQ(s.step, WizardStep::kIntro);
    EXPECT_TRUE(s.cmdFileType_enabled && s.cmdStep1_enabled && s.cmdPreview_enabled);
    // The read-only Error file went too; the journal of the perform stays.
    EXPECT_THAT(work_.List(), ElementsAre("Q-Tarvox_Undo"));
  }
}

TEST_F(WizardTest, ReportViewingSaysWhyItCannotShowAFile) {
  ViewReport(ReportKind::kProcess, prompter_, view_);
  ViewReport(ReportKind::kErrors, prompter_, view_);
  work_.WriteFile("Q-Tarvox_Err.txt");
  view_.viewer_works = false;
  ViewReport(ReportKind::kErrors, prompter_, view_);
  ASSERT_EQ(prompter_.messages.size(), 3u);
  EXPECT_EQ(prompter_.messages[0].text.rfind("The process file was not found.", 0), 0u);
  EXPECT_EQ(prompter_.messages[1].text.rfind("The error(s) file was not found.", 0), 0u);
  EXPECT_EQ(prompter_.messages[2].text, "Windows notepad was not found to display the text file " +
                                            work_.PathOf("Q-Tarvox_Err.txt"));
  EXPECT_THAT(view_.viewed, ElementsAre(work_.PathOf("Q-Tarvox_Err.txt")));
}

TEST_F(WizardTest, RemembersTheDirectoryAndRestoresOnlyAnExistingOne) {
  const std::string remembered = dir_.PathOf("d");
  job_.dirDir = remembered;
  wizard_.Preview();
  Job fresh;
  fresh.dirDir = "/";
  RestoreDirectory(fresh);
  EXPECT_EQ(fresh.dirDir, remembered);

  Job vanished;
  vanished.dirDir = dir_.PathOf("gone");
  RememberDirectory(vanished);
  fresh.dirDir = "/";
  RestoreDirectory(fresh);
  EXPECT_EQ(fresh.dirDir, "/");

  // The reader holds 249 bytes and a NUL.
  for (const size_t length : {250u, 249u}) {
    Job stored;
    stored.dirDir = dir_.MakeDir(std::string(length - dir_.slash().size(), 'x'));
    RememberDirectory(stored);
    fresh.dirDir = "/";
    RestoreDirectory(fresh);
    EXPECT_EQ(fresh.dirDir, length == 250 ? "/" : stored.dirDir) << length;
  }
}

TEST(WizardSteps, Step2MethodsChecksCaptionsAndBack) {
  const std::string d = "List of Directory(s) choosen : ",
                    e = "List of file extensions choosen to perform actions on : ";
  const struct {
    SelectionMethod method;
    std::vector<std::string> dirs, exts, files;
    std::vector<Step2Result> presses;  // results of successive Proceed presses
    const char* message;               // of the last press, nullptr: none
    std::string captions;              // of the directories, extensions and files, after them
  } cases[] = {
      {SelectionMethod::kExtension, {}, {}, {}, {Step2Result::kFailed}, kNoDirectories,
       d + "*0*|" + e + " *0*|List of File(s) choosen : "},
      {SelectionMethod::kExtension, {"/d"}, {}, {}, {Step2Result::kFailed}, kNoExtensions,
       d + "*1*|" + e + " *0*|List of File(s) choosen : "},
      {SelectionMethod::kExtension, {"/d"}, {"*.txt"}, {}, {Step2Result::kPassed}, nullptr,
       d + "*1*|" + e + " *1*|List of File(s) choosen : "},
      {SelectionMethod::kIndividual, {}, {}, {}, {Step2Result::kFailed}, kNoFiles,
       d + "|" + e + "|List of file(s) choosen : *0*"},
      {SelectionMethod::kBoth, {"/d"}, {}, {}, {Step2Result::kStay, Step2Result::kFailed},
       kNoSelection, d + "*1*|" + e + "*0*|List of file(s) choosen : *0*"},
      {SelectionMethod::kBoth, {}, {}, {"a * /d"}, {Step2Result::kStay, Step2Result::kPassed},
       nullptr, d + "*0*|" + e + "*0*|List of file(s) choosen : *1*"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(MethodName(c.method) + std::string(" ") + std::to_string(c.presses.size()));
    RecordingPrompter prompter;
    RecordingRunView view;
    Wizard wizard(prompter, view);
    Job& job = wizard.job();
    TickPosition(job, 1);
    ASSERT_TRUE(wizard.ProceedStep1());
    job.lstDir = c.dirs;
    job.lstExt = c.exts;
    job.lstFile = c.files;
    wizard.ChooseMethod(c.method);
    EXPECT_FALSE(wizard.screen().cmdFileType_enabled);
    wizard.ChooseMethod(SelectionMethod::kIndividual);  // ignored while disabled
    for (size_t i = 0; i < c.presses.size(); ++i) {
      EXPECT_EQ(wizard.ProceedStep2(), c.presses[i]) << i;
    }
    const ScreenState s = wizard.screen();
    EXPECT_EQ(s.lblDirList + "|" + s.lblExtList + "|" + s.lblFileList, c.captions);
    if (c.message == nullptr) {
      EXPECT_TRUE(prompter.messages.empty());
      EXPECT_EQ(s.step, WizardStep::kStep3);
      continue;
    }
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, c.message);
    EXPECT_EQ(prompter.messages[0].caption, "Q-Tarvox");
    EXPECT_EQ(s.step, WizardStep::kStep2);
    // Back: the combined method's second screen returns to its first.
    wizard.BackStep2();
    if (c.method == SelectionMethod::kBoth) {
      EXPECT_EQ(job.method, SelectionMethod::kBoth);
      EXPECT_FALSE(wizard.screen().extension_screen);
      wizard.BackStep2();
    }
    EXPECT_EQ(wizard.screen().step, WizardStep::kStep1);
  }
}

TEST(Summary, ShowsEachActionWithItsValuesAndTheFilesOfTheMethod) {
  const std::tuple<std::function<void(Job&)>, std::vector<std::string>, std::string> cases[] = {
      {[](Job& job) {
         for (int position : {2, 4, 5, 6, 7, 10, 15, 16}) TickPosition(job, position);
         job.DeleteLastCount = 2.5;
         job.DeleteFirstCount = 3;
         job.ReplaceSearch = "a";
         job.AddBeginningText = "x ";
         job.NumberBeginningStartGiven = true;
         job.NumberBeginningStart = "975";
         job.NewExtension = ".txt";
         job.CapitalizeSpaces = job.CapitalizeUnderscores = true;
         job.method = SelectionMethod::kIndividual;
         job.lstFile = {"a.txt * /d", "b c.txt * /d"};
       },
       {"2) Make filename into fully LOWERCASE",
        "4) Delete last 'n' characters from filename (Last 2.5 characters)",
        "5) Delete first 'n' characters from filename (First 3 characters)",
        "6) Replace 'string1' with 'string2' ('a' with '')",
        "7) Add string to beginning of filename ('x ')",
        "10) Add numbers in sequence to beginning of each filename (Normal) Start=975",
        "15) Change file Extension (to '.txt')", "16) Capitalize Words (Spaces & Underscores)"},
       "FILE - a.txt * /d\r\nFILE - b c.txt * /d\r\n"},
      {[](Job& job) {
         TickPosition(job, 9);
         TickPosition(job, 16);
         job.NumberEndStyle = NumberStyle::kEven;
         job.CapitalizeUnderscores = true;
         job.method = SelectionMethod::kDone;
         job.lstDir = {"/a", "/b  *Include Subdirectories*"};
         job.lstExt = {"*.txt"};
         job.lstFile = {"f * /d"};
       },
       {"9) Add numbers in sequence to end of each filename (Evenly)",
        "16) Capitalize Words (Underscores only)"},
       "FILE - f * /d\r\nDIR - /a\r\nDIR - /b  *Include Subdirectories*\r\nEXT - *.txt\r\n"},
      // The first screen of the combined method lists no file.
      {[](Job& job) {
         job.method = SelectionMethod::kBoth;
         job.lstFile = {"f * /d"};
       },
       {},
       ""},
  };
  for (const auto& [setup, lines, files] : cases) {
    Job job;
    setup(job);
    ScreenState screen;
    ShowSummary(job, screen);
    EXPECT_EQ(screen.lstFinal, lines);
    EXPECT_EQ(screen.txtFinal, files);
  }
}

TEST_F(WizardTest, PreviewWithErrorsOffersTheErrorFile) {
  dir_.WriteFile("d/line\nbreak.txt");
  prompter_.answers = {true};
  const RunOutcome outcome = wizard_.Preview();
  EXPECT_TRUE(outcome.errors);
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].text, kPreviewErrorsQuestion);
  EXPECT_EQ(prompter_.messages[0].caption, "Error");
  EXPECT_THAT(view_.viewed, ElementsAre(work_.PathOf("Q-Tarvox_Err.txt")));
}

// A perform as a task on a real folder, held by the view once 1,024 files are done.
class WizardRunTest : public WizardTest {
 protected:
  static constexpr int kFiles = 3000;
  void StartHeldRun() {
    const std::string folder = dir_.MakeDir("many");
    for (int i = 0; i < kFiles; ++i) std::ofstream(folder + "/f" + std::to_string(i) + ".txt");
    job_.lstDir = {folder};
    view_.hold_at = 1024;
    ASSERT_TRUE(wizard_.StartRun(false));
    EXPECT_TRUE(wizard_.screen().running);
    view_.WaitUntilHeld();
  }
  // The run ended between two files.
  void ExpectStoppedBetweenFiles() {
    EXPECT_FALSE(wizard_.screen().running);
    size_t renamed = 0;
    for (const auto& name : dir_.List("many")) renamed += name[0] == 'F';
    EXPECT_GE(renamed, 1024u);
    EXPECT_LT(renamed, static_cast<size_t>(kFiles));
    const std::string process = WorkFile("Q-Tarvox_Process.txt");
    size_t finals = 0;
    for (size_t at = 0; (at = process.find("Final Operation", at)) != std::string::npos; ++at) {
      ++finals;
    }
    EXPECT_EQ(finals, renamed);
    EXPECT_NE(process.find(kStoppedLine), std::string::npos);
  }
};

// Progress reaches the view from the run's thread.
TEST_F(WizardRunTest, RunAsATaskShowsProgressAndStopsBetweenFiles) {
  StartHeldRun();
  wizard_.RequestStop();
  view_.Resume();
  while (!wizard_.RunDone()) std::this_thread::yield();
  const RunOutcome outcome = wizard_.FinishRun();
  EXPECT_TRUE(outcome.performed);
  EXPECT_EQ(outcome.stopped, kStopByCaller);
  EXPECT_EQ(view_.files_listed, kFiles);
  EXPECT_THAT(view_.statuses, Contains("Status : \r\nRenaming... 1,024 of 3,000"));
  EXPECT_TRUE(wizard_.screen().finished);
  ExpectStoppedBetweenFiles();
}

TEST_F(WizardRunTest, QuitDuringARunStopsItQuietlyAndKeepsItsReports) {
  StartHeldRun();
  // Quit waits for the run: the run goes on once Quit has asked it to stop and waits for it to end.
  std::atomic<pid_t> quitter{0};
  std::thread resume([&] {
    while (quitter == 0) std::this_thread::yield();
    for (std::string wchan; wchan.find("futex") == std::string::npos;) {
      std::ifstream("/proc/self/task/" + std::to_string(quitter) + "/wchan") >> wchan;
    }
    view_.Resume();
  });
  quitter = gettid();
  wizard_.Quit();
  resume.join();
  EXPECT_TRUE(prompter_.messages.empty());
  ExpectStoppedBetweenFiles();
  // Another Quit, with no run under way, cleans up as usual.
  wizard_.Quit();
  EXPECT_THAT(work_.List(), ElementsAre("Q-Tarvox_Undo"));
}

}  // namespace
}  // namespace qtarvox
