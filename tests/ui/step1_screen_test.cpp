// Step 1 as a user drives it: highlighting, ticking, typing, Proceed and Back.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <cstdint>
#include <functional>
#include <limits>

#include "run/settings.h"
#include "temp_dir.h"
#include "ui/step1_info.h"
#include "ui/window_ports.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

constexpr const char* kParameterControls[] = {"lblNone", "lblAI1", "lblAI2", "txtAI1", "txtAI2",
                                              "txtAI3",  "optAI1", "optAI2", "optAI3", "optAI4",
                                              "chkAI1",  "chkAI2", "chkAI3"};

class Step1Test : public WindowTest {
 protected:
  void OpenOnStep1(Job job = Job()) {
    Open(std::move(job));
    window_->cmdStep1_Click();
  }

  std::set<std::string> ShownParameterControls() const {
    std::set<std::string> shown;
    for (const char* name : kParameterControls) {
      if (Find(name)->isVisible()) shown.insert(name);
    }
    return shown;
  }

  QString Description() const { return Find<QPlainTextEdit>("txtStep1Desc")->toPlainText(); }
};

TEST_F(Step1Test, HighlightingAnEntryShowsItsControlsAndDescription) {
  OpenOnStep1();
  using Names = std::set<std::string>;
  const Names none{"lblNone"}, text{"lblAI1", "txtAI1"},
      replace{"lblAI1", "txtAI1", "lblAI2", "txtAI2", "optAI3", "optAI4"},
      numbering{"lblAI1", "optAI1", "optAI2", "chkAI3", "txtAI3"}, capitalize{"chkAI1", "chkAI2"};
  const struct {
    int row;
    Names shown;
    const char* caption = nullptr;  // of lblAI1
  } cases[] = {
      {0, none},
      {1, none},
      {2, none},
      {3, text, "Enter the number of characters to be removed : "},
      {4, text, "Enter the number of characters to be removed : "},
      {5, replace, "Enter the string to search for : "},
      {6, text, "Enter the string to add : "},
      {7, text, "Enter the string to add : "},
      {8, numbering, "Choose type of numbering : "},
      {9, numbering, "Choose type of numbering : "},
      {10, none},
      {11, none},
      {12, none},
      {13, none},
      {14, text, "Enter the new file extension : \nNo preceeding *. is required"},
      {15, capitalize},
      {16, text, "Enter the new Filename : "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row + 1);
    ClickEntry(c.row);
    QListWidgetItem* item = List()->item(c.row);
    EXPECT_EQ(List()->currentRow(), c.row);
    EXPECT_EQ(ShownParameterControls(), c.shown);
    if (c.caption != nullptr) {
      EXPECT_EQ(Find<QLabel>("lblAI1")->text(), c.caption);
    }
    if (c.row == 5) {
      EXPECT_EQ(Find<QLabel>("lblAI2")->text(), "Enter the string to replace with : ");
    }
    EXPECT_EQ(List()->toolTip(), item->text());
    const auto id = static_cast<ActionId>(item->data(Qt::UserRole).toInt());
    EXPECT_EQ(Description(), ForDisplay(ActionDescription(id)));
    // The focus goes to the first text box when the action has one.
    EXPECT_EQ(Focused(), c.shown.contains("txtAI1") ? "txtAI1" : "lstActions");
    EXPECT_EQ(item->checkState(), Qt::Unchecked);
    List()->setFocus();
  }
}

TEST_F(Step1Test, TypedParametersAreStoredAtOnceForTheHighlightedAction) {
  const struct {
    int row;
    const char* box;
    QString typed;
    std::function<void(const Job&)> expect;
  } cases[] = {
      {3, "txtAI1", "3", [](const Job& j) { EXPECT_EQ(j.DeleteLastCount, 3); }},
      {3, "txtAI1", "2.5", [](const Job& j) { EXPECT_EQ(j.DeleteLastCount, 2.5); }},
      {3, "txtAI1", " 12abc", [](const Job& j) { EXPECT_EQ(j.DeleteLastCount, 12); }},
      {3, "txtAI1", "abc", [](const Job& j) { EXPECT_EQ(j.DeleteLastCount, 0); }},
      // Delete first takes whole numbers, a half going to the even neighbour.
      {4, "txtAI1", "2.5", [](const Job& j) { EXPECT_EQ(j.DeleteFirstCount, 2); }},
      {4, "txtAI1", "3.5", [](const Job& j) { EXPECT_EQ(j.DeleteFirstCount, 4); }},
      {4, "txtAI1", "99999999999",
       [](const Job& j) { EXPECT_EQ(j.DeleteFirstCount, std::numeric_limits<int32_t>::max()); }},
      {5, "txtAI1", " a ", [](const Job& j) { EXPECT_EQ(j.ReplaceSearch, " a "); }},
      {5, "txtAI2", " b: ", [](const Job& j) { EXPECT_EQ(j.ReplaceWith, " b: "); }},
      {6, "txtAI1", " x", [](const Job& j) { EXPECT_EQ(j.AddBeginningText, " x"); }},
      {7, "txtAI1", "y ", [](const Job& j) { EXPECT_EQ(j.AddEndText, "y "); }},
      {14, "txtAI1", " 7 ",
       [](const Job& j) {
         EXPECT_EQ(j.NewExtension, "7");
         EXPECT_EQ(j.DeleteLastCount, 0);
         EXPECT_EQ(j.DeleteFirstCount, 0);
       }},
      {16, "txtAI1", " n.doc ", [](const Job& j) { EXPECT_EQ(j.NewFilename, "n.doc"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row + 1);
    SCOPED_TRACE(c.typed.toStdString());
    OpenOnStep1();
    ClickEntry(c.row);
    Type(c.box, c.typed);
    c.expect(job());
  }
}

// The remaining controls, in the order a user might try them.
TEST_F(Step1Test, ValuesSurviveMovingBetweenActions) {
  OpenOnStep1();
  ClickEntry(3);  // Delete last: the stored 0 shows as an empty box
  EXPECT_EQ(Text("txtAI1"), "");
  Type("txtAI1", "3");
  ClickEntry(5);
  EXPECT_EQ(Text("txtAI1"), "");
  ClickEntry(3);
  EXPECT_EQ(Text("txtAI1"), "3");
  EXPECT_EQ(job().DeleteLastCount, 3);

  ClickEntry(8);  // Numbers at the end, no start number given
  EXPECT_TRUE(Find<QRadioButton>("optAI1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("chkAI3")->isChecked());
  EXPECT_FALSE(Find("txtAI3")->isEnabled());
  Click("chkAI3");
  EXPECT_TRUE(Find("txtAI3")->isEnabled());
  EXPECT_TRUE(job().NumberEndStartGiven);
  Type("txtAI3", "95");
  EXPECT_EQ(job().NumberEndStart, "95");
  Type("txtAI3", "");
  EXPECT_EQ(job().NumberEndStart, "95");  // clearing the box keeps the number
  Click("optAI2");
  EXPECT_EQ(job().NumberEndStyle, NumberStyle::kEven);
  EXPECT_EQ(job().NumberBeginningStyle, NumberStyle::kNormal);
  ClickEntry(9);  // Numbers at the beginning keep their own settings
  EXPECT_TRUE(Find<QRadioButton>("optAI1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("chkAI3")->isChecked());
  EXPECT_FALSE(Find("txtAI3")->isEnabled());
  EXPECT_EQ(Text("txtAI3"), "");
  ClickEntry(8);
  EXPECT_TRUE(Find<QRadioButton>("optAI2")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chkAI3")->isChecked());
  EXPECT_TRUE(Find("txtAI3")->isEnabled());
  EXPECT_EQ(Text("txtAI3"), "95");
  Click("chkAI3");
  EXPECT_FALSE(job().NumberEndStartGiven);
  EXPECT_FALSE(Find("txtAI3")->isEnabled());

  ClickEntry(5);  // Replace
  EXPECT_TRUE(Find<QRadioButton>("optAI3")->isChecked());
  Click("optAI4");
  EXPECT_TRUE(job().CaseSensitiveReplace);
  ClickEntry(0);
  ClickEntry(5);
  EXPECT_TRUE(Find<QRadioButton>("optAI4")->isChecked());

  ClickEntry(15);  // Capitalize Words
  Click("chkAI2");
  EXPECT_FALSE(job().CapitalizeSpaces);
  EXPECT_TRUE(job().CapitalizeUnderscores);
  Click("chkAI1");
  EXPECT_TRUE(job().CapitalizeSpaces);
}

TEST_F(Step1Test, ShowingAnActionNeverChangesTheJob) {
  Job given;
  given.NewExtension = " x ";
  given.NewFilename = " n ";
  given.DeleteLastCount = 2.5;
  given.DeleteFirstCount = 7;
  given.ReplaceSearch = "s";
  given.ReplaceWith = "w";
  given.CaseSensitiveReplace = true;
  given.NumberEndStyle = NumberStyle::kEven;
  given.NumberEndStart = " 7 ";
  given.NumberBeginningStartGiven = true;
  given.NumberBeginningStart = " 8 ";
  given.CapitalizeUnderscores = true;
  OpenOnStep1(given);
  for (int row = 0; row < 17; ++row) ClickEntry(row);
  const Job& now = job();
  EXPECT_EQ(now.NewExtension, " x ");
  EXPECT_EQ(now.NewFilename, " n ");
  EXPECT_EQ(now.DeleteLastCount, 2.5);
  EXPECT_EQ(now.DeleteFirstCount, 7);
  EXPECT_EQ(now.ReplaceSearch, "s");
  EXPECT_EQ(now.ReplaceWith, "w");
  EXPECT_TRUE(now.CaseSensitiveReplace);
  EXPECT_EQ(now.NumberEndStyle, NumberStyle::kEven);
  EXPECT_FALSE(now.NumberEndStartGiven);
  EXPECT_EQ(now.NumberEndStart, " 7 ");
  EXPECT_EQ(now.NumberBeginningStart, " 8 ");
  EXPECT_TRUE(now.NumberBeginningStartGiven);
  EXPECT_FALSE(now.CapitalizeSpaces);
  EXPECT_TRUE(now.CapitalizeUnderscores);
}

TEST_F(Step1Test, TheCheckBoxTicksAndHighlightsTheTextOnlyHighlights) {
  OpenOnStep1();
  ClickEntry(3, true);
  EXPECT_EQ(List()->item(3)->checkState(), Qt::Checked);
  EXPECT_EQ(List()->currentRow(), 3);
  EXPECT_TRUE(job().lstActions[3].ticked);
  EXPECT_TRUE(Find("txtAI1")->isVisible());
  ClickEntry(6);
  EXPECT_EQ(List()->currentRow(), 6);
  EXPECT_EQ(List()->item(6)->checkState(), Qt::Unchecked);
  EXPECT_TRUE(job().lstActions[3].ticked);
  ClickEntry(3, true);
  EXPECT_EQ(List()->currentRow(), 3);
  EXPECT_FALSE(job().lstActions[3].ticked);
}

TEST_F(Step1Test, NothingIsHighlightedUntilTheUserPicksAnEntry) {
  OpenOnStep1();
  EXPECT_EQ(Focused(), "lstActions");
  Find("cmdProceed1")->setFocus(Qt::OtherFocusReason);
  List()->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Focused(), "lstActions");
  EXPECT_EQ(List()->currentRow(), -1);
  EXPECT_EQ(window_->port().screen().highlighted, -1);
  EXPECT_EQ(ShownParameterControls(), std::set<std::string>{});
  EXPECT_EQ(Description(), "Click on any action and find out what it does over here.");
  EXPECT_EQ(List()->toolTip(),
            "Select the actions you want to perform by clicking the box next to the action and "
            "making sure it is checked.");
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(List()->currentRow(), 0);
}

// The keyboard alone: the arrows walk the whole list without the focus
// leaving it, Space ticks the current action and takes the focus to its box,
// and Enter there proceeds.
TEST_F(Step1Test, TheArrowsWalkTheListSpaceTicksAndEnterProceeds) {
  OpenOnStep1();
  for (int row = 0; row < List()->count(); ++row) {
    QTest::keyClick(List(), Qt::Key_Down);
    ASSERT_EQ(List()->currentRow(), row);
    ASSERT_EQ(Focused(), "lstActions");
  }
  QTest::keyClick(List(), Qt::Key_Up);
  QTest::keyClick(List(), Qt::Key_Up);  // "Change the file extension"
  QTest::keyClick(List(), Qt::Key_Space);
  EXPECT_TRUE(job().lstActions[14].ticked);
  EXPECT_EQ(Focused(), "txtAI1");
  QTest::keyClicks(Find("txtAI1"), "txt");
  MessageBoxAnswer answer(QMessageBox::Ok);
  QTest::keyClick(Find("txtAI1"), Qt::Key_Return);
  EXPECT_FALSE(answer.shown);
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep2"});
  EXPECT_EQ(job().NewExtension, ".txt");
}

TEST_F(Step1Test, ProceedShowsTheFirstFailedCheckAndHighlightsItsAction) {
  const struct {
    const char* what;
    std::function<void()> setup;
    std::string message;
    int highlighted;
    const char* focus;  // nullptr: not looked at
  } cases[] = {
      {"Uppercase with Lowercase",
       [this] {
         Tick(0);
         Tick(1);
       },
       "Error in Action 2 : \nYou cannot ask me to make a filename Uppercase and "
       "Lowercase...thats just plain stupid! Uncheck either Uppercase or Lowercase action and "
       "then click on Proceed",
       1, nullptr},
      {"Delete last highlighted, its box empty", [this] { ClickEntry(3, true); },
       "Error in Action 4 : \nYou need to enter how many characters to remove from the end of "
       "the filename. Must be a number greater than zero.",
       3, "txtAI1"},
      {"a colon in the replacing string",
       [this] {
         ClickEntry(5, true);
         Type("txtAI1", "a");
         Type("txtAI2", "b:");
         ClickEntry(0);
       },
       "Error in Action 6 : \nFilenames cannot contain the character ' : '. Please remove that "
       "from the replacing string.",
       5, "txtAI2"},
      {"start number asked for but not given",
       [this] {
         ClickEntry(8, true);
         Click("chkAI3");
         ClickEntry(0);
       },
       "Error in Action 9 : \nYou have to specify a valid starting number(greater than zero) "
       "from which to start numbering.",
       8, "txtAI3"},
      {"an asterisk in the extension",
       [this] {
         ClickEntry(14, true);
         Type("txtAI1", "*.txt");
         ClickEntry(2);
       },
       "Error in Action 15 : \nFile extensions cannot contain the character ' * '. Please "
       "remove that from the string to be added.",
       14, "txtAI1"},
      {"two failing actions: the first is reported",
       [this] {
         Tick(16);
         Tick(6);
       },
       "Error in Action 7 : \nYou need to give the string you wish to add to beginning of the "
       "filenames.",
       6, "txtAI1"},
      {"nothing ticked: no prefix, the highlight stays", [this] { ClickEntry(4); },
       "Why do you want to proceed when u havn't choosen any action to perform?", 4, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OpenOnStep1();
    c.setup();
    MessageBoxAnswer answer(QMessageBox::Ok);
    Click("cmdProceed1");
    ASSERT_TRUE(answer.shown);
    EXPECT_EQ(answer.text, c.message);
    EXPECT_EQ(answer.caption, "Q-Tarvox");
    EXPECT_EQ(answer.icon, QMessageBox::NoIcon);
    EXPECT_EQ(answer.buttons, QMessageBox::Ok);
    EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep1"});
    EXPECT_EQ(StepButtons(), "100");
    EXPECT_EQ(List()->currentRow(), c.highlighted);
    if (c.focus != nullptr) {
      EXPECT_EQ(Focused(), c.focus);
    }
  }
}

TEST_F(Step1Test, ProceedOnAPassingCheckOpensStep2) {
  TempDir remembered;
  QSettings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
            kSettingsApplication)
      .setValue(kSettingsDirKey, QString::fromStdString(remembered.path()));
  OpenOnStep1();
  Tick(0);
  Tick(2);  // Clear original filename has no flag of its own
  ClickEntry(14, true);
  Type("txtAI1", "txt");
  MessageBoxAnswer answer(QMessageBox::Ok);
  Click("cmdProceed1");
  EXPECT_FALSE(answer.shown);
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep2"});
  EXPECT_EQ(StepButtons(), "010");
  EXPECT_TRUE(job().chosen.DoUppercase);
  EXPECT_TRUE(job().chosen.DoChangeExtension);
  EXPECT_FALSE(job().chosen.DoLowercase);
  EXPECT_EQ(job().NewExtension, ".txt");
  EXPECT_EQ(job().dirDir, remembered.path());
  EXPECT_TRUE(window_->port().screen().cmdFileType_enabled);
}

TEST_F(Step1Test, BackReturnsToTheIntroScreenAndLosesNothing) {
  OpenOnStep1();
  Tick(0);
  ClickEntry(3);
  Type("txtAI1", "7");
  PressAlt(Qt::Key_B);
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctIntro"});
  EXPECT_EQ(StepButtons(), "100");
  PressAlt(Qt::Key_1);
  EXPECT_EQ(List()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(List()->currentRow(), 3);
  EXPECT_TRUE(Find("txtAI1")->isVisible());
  EXPECT_EQ(Text("txtAI1"), "7");
  EXPECT_EQ(Focused(), "lstActions");
  EXPECT_EQ(job().DeleteLastCount, 7);
}

TEST_F(Step1Test, AfterAPerformedRunStep1StandsStillUntilFinished) {
  Job finished;
  finished.SuppressedMode = true;  // a run that asks nothing
  finished.method = SelectionMethod::kIndividual;
  OpenOnStep1(finished);
  window_->port().wizard().PressRun();
  ASSERT_TRUE(window_->port().screen().finished);
  ClickEntry(3);
  EXPECT_EQ(ShownParameterControls(), std::set<std::string>{});
  EXPECT_EQ(Description(), "Click on any action and find out what it does over here.");
}

}  // namespace
}  // namespace qtarvox
