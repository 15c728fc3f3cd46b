// Step 1 as a user drives it: highlighting, ticking, typing, Proceed and Back.
#include <QCheckBox>
#include <QRadioButton>
#include <functional>

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

// Highlighting shows an action's controls and description and never writes into the job.
TEST_F(Step1Test, HighlightingAnEntryShowsItsControlsAndDescription) {
  const auto fields = [](const Job& j) {
    return j.NewExtension + "|" + j.NewFilename + "|" + std::to_string(j.DeleteLastCount) + "|" +
           j.NumberEndStart + "|" + j.NumberBeginningStart +
           std::to_string(j.NumberBeginningStartGiven + 2 * j.NumberEndStartGiven);
  };
  Job given;
  given.NewExtension = " x ";
  given.NewFilename = " n ";
  given.DeleteLastCount = 2.5;
  given.NumberEndStart = " 7 ";
  given.NumberBeginningStartGiven = true;
  given.NumberBeginningStart = " 8 ";
  OpenOnStep1(given);
  using Names = std::set<std::string>;
  const Names none{"lblNone"}, text{"lblAI1", "txtAI1"},
      replace{"lblAI1", "txtAI1", "lblAI2", "txtAI2", "optAI3", "optAI4"},
      numbering{"lblAI1", "optAI1", "optAI2", "chkAI3", "txtAI3"}, capitalize{"chkAI1", "chkAI2"};
  const Names shown[] = {none, none,      none, text, text, replace, text, text,      numbering,
                         numbering, none, none, none, none, text,    capitalize, text};
  for (int row = 0; row < 17; ++row) {
    SCOPED_TRACE(row + 1);
    ClickEntry(row);
    QListWidgetItem* item = List()->item(row);
    EXPECT_EQ(List()->currentRow(), row);
    EXPECT_EQ(ShownParameterControls(), shown[row]);
    EXPECT_EQ(List()->toolTip(), item->text());
    const auto id = static_cast<ActionId>(item->data(Qt::UserRole).toInt());
    EXPECT_EQ(Description(), ForDisplay(ActionDescription(id)));
    EXPECT_TRUE(Description().startsWith("This action will"));
    // The focus goes to the first text box when the action has one.
    EXPECT_EQ(Focused(), shown[row].contains("txtAI1") ? "txtAI1" : "lstActions");
    EXPECT_EQ(item->checkState(), Qt::Unchecked);
    List()->setFocus();
  }
  EXPECT_EQ(fields(job()), fields(given));
  EXPECT_EQ(Find<QLabel>("lblAI1")->text(), "Enter the new Filename : ");
  EXPECT_EQ(ActionDescription(ActionId::kUppercase),
            "This action will convert all characters present in the filename of the files that "
            "you choose into Uppercase.\r\n\r\nExample : \r\n'This is the NAME of my File.txt' == "
            "'THIS IS THE NAME OF MY FILE.txt'");
}

TEST_F(Step1Test, ControlsHandTheirValuesToTheJobAndShowThemAgain) {
  const std::tuple<int, std::function<void()>, std::function<void(const Job&)>> cases[] = {
      {3, [this] { Type("txtAI1", " 2.5x"); },
       [](const Job& j) { EXPECT_EQ(j.DeleteLastCount, 2.5); }},
      // Delete first takes whole numbers, a half going to the even neighbour.
      {4, [this] { Type("txtAI1", "2.5"); },
       [](const Job& j) { EXPECT_EQ(j.DeleteFirstCount, 2); }},
      {5, [this] { Type("txtAI1", " a "), Type("txtAI2", " b: "), Click("optAI4"); },
       [](const Job& j) {
         EXPECT_EQ(j.ReplaceSearch + "|" + j.ReplaceWith, " a | b: ");
         EXPECT_TRUE(j.CaseSensitiveReplace);
       }},
      {6, [this] { Type("txtAI1", " x"); },
       [](const Job& j) { EXPECT_EQ(j.AddBeginningText, " x"); }},
      {7, [this] { Type("txtAI1", "y "); }, [](const Job& j) { EXPECT_EQ(j.AddEndText, "y "); }},
      {8, [this] { Click("chkAI3"), Type("txtAI3", "95"), Type("txtAI3", ""), Click("optAI2"); },
       [](const Job& j) {
         EXPECT_TRUE(j.NumberEndStartGiven);
         EXPECT_EQ(j.NumberEndStart, "95");  // clearing the box keeps the number
         EXPECT_EQ(j.NumberEndStyle, NumberStyle::kEven);
         EXPECT_EQ(j.NumberBeginningStyle, NumberStyle::kNormal);
       }},
      {14, [this] { Type("txtAI1", " 7 "); },
       [](const Job& j) { EXPECT_EQ(j.NewExtension, "7"); }},
      {15, [this] { Click("chkAI2"), Click("chkAI1"), Click("chkAI1"); },
       [](const Job& j) { EXPECT_FALSE(j.CapitalizeSpaces || !j.CapitalizeUnderscores); }},
      {16, [this] { Type("txtAI1", " n.doc "); },
       [](const Job& j) { EXPECT_EQ(j.NewFilename, "n.doc"); }},
  };
  OpenOnStep1();
  for (const auto& [row, act, expect] : cases) {
    SCOPED_TRACE(row + 1);
    ClickEntry(row);
    act();
    expect(job());
  }
  ClickEntry(9);  // numbers at the beginning keep their own settings
  EXPECT_TRUE(Find<QRadioButton>("optAI1")->isChecked());
  EXPECT_FALSE(Find("txtAI3")->isEnabled());
  ClickEntry(8);
  EXPECT_TRUE(Find<QRadioButton>("optAI2")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chkAI3")->isChecked());
  EXPECT_EQ(Text("txtAI3"), "95");
  ClickEntry(3);
  EXPECT_EQ(Text("txtAI1"), "2.5");
  ClickEntry(5);
  EXPECT_TRUE(Find<QRadioButton>("optAI4")->isChecked());
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

TEST_F(Step1Test, TheArrowsWalkTheListSpaceTicksAndEnterProceeds) {
  OpenOnStep1();
  EXPECT_EQ(List()->currentRow(), -1);  // nothing until the user picks an entry
  EXPECT_EQ(ShownParameterControls(), std::set<std::string>{});
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
  MessageBoxes boxes;
  QTest::keyClick(Find("txtAI1"), Qt::Key_Return);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep2"});
  EXPECT_EQ(job().NewExtension, ".txt");
}

// A failed check is told, its action highlighted with the focus in the box to mend.
TEST_F(Step1Test, ProceedShowsTheFirstFailedCheckAndHighlightsItsAction) {
  const auto proceed_tells = [this](const std::string& start) {
    MessageBoxes boxes;
    Click("cmdProceed1");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.starts_with(start)) << boxes.shown[0].text;
    EXPECT_EQ(boxes.shown[0].caption, "Q-Tarvox");
    EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep1"});
  };
  OpenOnStep1();
  ClickEntry(8, true);
  Click("chkAI3");  // a start number asked for but not given
  ClickEntry(0);
  proceed_tells("Error in Action 9 : \nYou have");
  EXPECT_EQ(List()->currentRow(), 8);
  EXPECT_EQ(Focused(), "txtAI3");
  OpenOnStep1();
  ClickEntry(4);
  proceed_tells("Why do");  // nothing ticked: no prefix, and the highlight stays
  EXPECT_EQ(List()->currentRow(), 4);
}

}  // namespace
}  // namespace qtarvox
