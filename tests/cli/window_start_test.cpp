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

using ::testing::IsEmpty;

TEST(CommandLineStart, EverythingButHelpVersionAndASilentRunOpensTheWindow) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{}, true}, {{"-UC", "-FI", "/a.txt"}, true}, {{"-UC", "-FI", "/a.txt", "-SU"}, false},
      {{"-su", "-UC"}, false}, {{"-UC", "--preview"}, false}, {{"--help"}, false},
      {{"--version"}, false},  {{"-XY"}, true},
      {{"SU"}, false},                // text before the first dash is read too
      {{"-CW", "su"}, true},          // a value, not the command
      {{"-UC", "--", "-SU"}, true},   // a file after "--"
      {{"-preview", "-UC"}, false},   // a usage error, said without the window
  };
  for (const auto& [args, window] : cases) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(OpensWindow(args), window) << shown;
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

// Files alone, or with directories through both screens of the combined method, reach Step 3.
TEST_F(FillTest, AJobOfFilesEndsOnStep3WithItsSummary) {
  const std::string a = dir_.WriteFile("a.txt"), b = dir_.WriteFile("b c.txt");
  Fill({"-UC", "-FI", a + "*" + b, "-EF", "3", "-SC*_"});
  const ScreenState s = wizard_.screen();
  EXPECT_TRUE(shown_);
  EXPECT_EQ(presses_, 3);  // Step 1's Proceed, OK, Step 2's Proceed
  EXPECT_EQ(s.step, WizardStep::kStep3);
  EXPECT_EQ(s.lblFileList, "List of file(s) choosen : *2*");
  EXPECT_TRUE(s.separator_shown);
  EXPECT_EQ(wizard_.job().txtSep, "_");
  EXPECT_THAT(prompter_.messages, IsEmpty());

  Wizard both(prompter_, view_);
  presses_ = 0;
  FillWizard(both, {"-LC", "-FI", a, "-FE", dir_.path() + "*Y?txt"}, prompter_, {},
             [this] { ++presses_; });
  EXPECT_EQ(presses_, 4);
  EXPECT_EQ(both.screen().step, WizardStep::kStep3);
  EXPECT_EQ(both.job().method, SelectionMethod::kDone);
  EXPECT_EQ(both.job().lstFile.size() + both.job().lstDir.size(), 2u);
}

TEST_F(FillTest, AFailedCheckStopsOnItsStepWithItsMessage) {
  const std::tuple<std::vector<std::string>, WizardStep, const char*, int> cases[] = {
      {{"-UC", "-LC"}, WizardStep::kStep1, "Error in Action 2 : \r\n", 1},
      {{"-DL3"}, WizardStep::kStep1, "Error in Action 4 : \r\n", 3},
      {{"-UC"}, WizardStep::kStep2, kNoFiles, -1},
      {{"-UC", "-FE", "/tmp*N"}, WizardStep::kStep2, kNoExtensions, -1},
  };
  for (const auto& [args, step, message_start, highlighted] : cases) {
    SCOPED_TRACE(message_start);
    RecordingPrompter prompter;
    Wizard wizard(prompter, view_);
    FillWizard(wizard, args, prompter);
    const ScreenState s = wizard.screen();
    EXPECT_EQ(s.step, step);
    EXPECT_TRUE(s.step_check_failed);
    EXPECT_EQ(s.highlighted, highlighted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.starts_with(message_start))
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
