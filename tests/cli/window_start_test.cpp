// A command line without -SU: which ones open the window, and how it fills the wizard.
#include "wizard/window_start.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes.h"
#include "run/parse_command_line.h"
#include "run/settings.h"
#include "selection/step2.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(CommandLineStart, EverythingButHelpVersionAndASilentRunOpensTheWindow) {
  const struct {
    std::vector<std::string> args;
    bool window;
  } cases[] = {
      {{}, true}, {{"-UC", "-FI", "/a.txt"}, true}, {{"-UC", "-FI", "/a.txt", "-SU"}, false},
      {{"-su", "-UC"}, false}, {{"-UC", "--preview"}, false}, {{"--help"}, false},
      {{"--version"}, false},  {{"-XY"}, true},
      {{"SU"}, false},                // text before the first dash is read too
      {{"-CW", "su"}, true},          // a value, not the command
      {{"-UC", "--", "-SU"}, true},   // a file after "--"
      {{"-preview", "-UC"}, false},   // a usage error, said without the window
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    EXPECT_EQ(OpensWindow(c.args), c.window) << shown;
  }
}

class FillTest : public ::testing::Test {
 protected:
  void SetUp() override { RememberDirectory(Job()); }

  // Fills a fresh wizard from the arguments, counting the presses.
  void Fill(const std::vector<std::string>& args) {
    FillWizard(
        wizard_, args, prompter_, [this] { shown_ = presses_ == 0; }, [this] { ++presses_; });
  }

  TempDir dir_;
  RecordingPrompter prompter_;
  RecordingRunView view_;
  Wizard wizard_{prompter_, view_};
  bool shown_ = false;  // the window appeared before the first press
  int presses_ = 0;
};

TEST_F(FillTest, AJobOfFilesEndsOnStep3WithItsSummary) {
  const std::string a = dir_.WriteFile("a.txt"), b = dir_.WriteFile("b c.txt");
  Fill({"-UC", "-FI", a + "*" + b, "-EF", "3", "-SC*_"});
  const ScreenState s = wizard_.screen();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(presses_, 3);  // Step 1's Proceed, OK, Step 2's Proceed
  EXPECT_EQ(s.step, WizardStep::kStep3);
  EXPECT_THAT(s.lstFinal, ElementsAre("1) Make filename into fully UPPERCASE"));
  EXPECT_EQ(s.txtFinal,
            "FILE - a.txt * " + dir_.path() + "\r\nFILE - b c.txt * " + dir_.path() + "\r\n");
  EXPECT_EQ(s.lblFileList, "List of file(s) choosen : *2*");
  EXPECT_TRUE(s.separator_shown);
  EXPECT_EQ(wizard_.job().txtSep, "_");
  EXPECT_THAT(prompter_.messages, IsEmpty());
}

TEST_F(FillTest, BothKindsOfFilesPassBothScreensOfTheCombinedMethod) {
  const std::string a = dir_.WriteFile("a.txt");
  Fill({"-LC", "-FI", a, "-FE", dir_.path() + "*Y?txt"});
  const ScreenState s = wizard_.screen();
  EXPECT_EQ(presses_, 4);
  EXPECT_EQ(s.step, WizardStep::kStep3);
  EXPECT_EQ(wizard_.job().method, SelectionMethod::kDone);
  EXPECT_EQ(s.txtFinal, "FILE - a.txt * " + dir_.path() + "\r\nDIR - " + dir_.path() +
                            "  *Include Subdirectories*\r\nEXT - *.txt\r\n");
}

// A failed check leaves the wizard on its step, its message told.
TEST_F(FillTest, AFailedCheckStopsOnItsStepWithItsMessage) {
  const struct {
    std::vector<std::string> args;
    WizardStep step;
    const char* message_start;
    int highlighted;
  } cases[] = {
      {{"-UC", "-LC"}, WizardStep::kStep1, "Error in Action 2 : \r\n", 1},
      {{"-DL3"}, WizardStep::kStep1, "Error in Action 4 : \r\n", 3},
      {{"-UC"}, WizardStep::kStep2, kNoFiles, -1},
      {{"-UC", "-FE", "/tmp*N"}, WizardStep::kStep2, kNoExtensions, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message_start);
    RecordingPrompter prompter;
    Wizard wizard(prompter, view_);
    FillWizard(wizard, c.args, prompter);
    const ScreenState s = wizard.screen();
    EXPECT_EQ(s.step, c.step);
    EXPECT_TRUE(s.step_check_failed);
    EXPECT_EQ(s.highlighted, c.highlighted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.starts_with(c.message_start))
        << prompter.messages[0].text;
  }
}

// The vertical-bar note of FE is told before the window appears; the job still goes on.
TEST_F(FillTest, TheVerticalBarNoteIsToldAndTheJobGoesOn) {
  Fill({"-UC", "-FE", dir_.path() + "*Y|x*N?txt"});
  ASSERT_FALSE(prompter_.messages.empty());
  EXPECT_EQ(prompter_.messages[0].text, kPipeSeparatorNote);
  EXPECT_EQ(prompter_.messages[0].caption, "Q-Tarvox");
  EXPECT_TRUE(shown_);
}

}  // namespace
}  // namespace qtarvox
