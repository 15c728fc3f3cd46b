// Step 3 as a user drives it.
#include <QRadioButton>

#include "platform/work_folder.h"
#include "program.h"
#include "run/settings.h"
#include "run/undo_history.h"
#include "run/work_files.h"
#include "ui/ui_texts.h"
#include "ui/window_ports.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

class Step3Test : public WindowTest {
 protected:
  void SetUp() override {
    RememberDirectory(Job());  // no folder of an earlier test comes back
    for (const char* name : {kErrorFileName, kProcessFileName}) {
      std::filesystem::remove(WorkFilePath(name));
    }
    std::filesystem::remove_all(HistoryFolder());  // nothing to undo yet
  }

  // A job that upper-cases `count` files f0.txt ... of a new folder `name`.
  Job UppercaseFiles(const std::string& name, int count) {
    const std::string folder = dir_.MakeDir(name);
    for (int i = 0; i < count; ++i) std::ofstream(folder + "/f" + std::to_string(i) + ".txt");
    Job job;
    TickPosition(job, 1);
    job.method = SelectionMethod::kExtension;
    job.lstDir = {folder};
    job.lstExt = {"*.txt"};
    return job;
  }

  // Opens the window over `job` and shows Step 3 as its button does.
  void OpenOnStep3(Job job = Job()) {
    Open(std::move(job));
    window_->cmdStep3_Click();
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  }

  // Does a job with the mouse up to Step 3.
  void PickJob(const std::string& folder, std::initializer_list<int> rows) {
    window_->cmdStep1_Click();
    ClickEntry(0, true);
    ClickEntry(8, true);
    Click("cmdProceed1");
    Click("optIndividual");
    Click("cmdFileType");
    OpenFolder(folder);
    Select("filFile", rows);
    Click("cmdAddFile");
    Click("cmdProceed2");
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  }

  static std::string ReadWorkFile(const char* name) {
    std::ifstream in(WorkFilePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempDir dir_;
};

TEST_F(Step3Test, OptionsReachTheJobAndTheSeparatorKeepsItsText) {
  OpenOnStep3();
  EXPECT_TRUE(Find<QRadioButton>("optDoNotRename")->isChecked());
  EXPECT_FALSE(Find("cmdOP")->isEnabled() || Find("cmdErr")->isEnabled());
  EXPECT_EQ(Focused(), "cmdPreview");
  const auto shown = [this] { return Find("lblSep")->isVisible() && Find("txtSep")->isVisible(); };
  Click("optAppendNumber");
  EXPECT_TRUE(shown());
  EXPECT_EQ(job().collision, CollisionOption::kAppendNumber);
  Type("txtSep", "_-");
  Click("optOverwrite");
  EXPECT_FALSE(shown());
  EXPECT_EQ(job().collision, CollisionOption::kOverwrite);
  Click("optAppendNumber");
  EXPECT_EQ(Text("txtSep"), "_-");
  Click("optDoNotRename");
  EXPECT_FALSE(shown());
  EXPECT_EQ(job().txtSep, "_-");
  EXPECT_EQ(job().collision, CollisionOption::kDoNotRename);
  Click("chkProcess");
  EXPECT_FALSE(job().chkProcess);
}

// A whole job with the mouse does what -SU does; Finished then leads to the Intro.
TEST_F(Step3Test, AWholeJobWithTheMouseDoesWhatTheCommandLineDoes) {
  const std::string folder = dir_.MakeDir("files");
  const auto lay_out = [&] {
    std::filesystem::remove_all(folder);
    for (const char* name : {"a file.txt", "b.txt", "c.doc"}) {
      dir_.WriteFile(std::string("files/") + name, name);
    }
  };
  TempDir silent_work;
  lay_out();
  const pid_t pid =
      StartProgram({"-UC", "-NE", "-FI", folder + "/a file.txt*" + folder + "/b.txt", "-SU"},
                   {"QTARVOX_WORK_DIR=" + silent_work.path()}, folder, silent_work.PathOf("out"),
                   silent_work.PathOf("err"));
  ASSERT_EQ(WaitProgram(pid), 0) << silent_work.ReadFile("err");
  const std::vector<std::string> renamed = dir_.List("files");
  EXPECT_EQ(renamed, (std::vector<std::string>{"A FILE1.txt", "B2.txt", "c.doc"}));

  lay_out();
  Open();
  PickJob(folder, {0, 1});
  Click("cmdPreview");
  WaitForRun();
  EXPECT_EQ(Text("txtOP").toStdString(),
            "\n" + folder + "/a file.txt == A FILE1.txt\n" + folder + "/b.txt == B2.txt");
  EXPECT_EQ(dir_.List("files"), (std::vector<std::string>{"a file.txt", "b.txt", "c.doc"}));
  {
    MessageBoxes boxes;
    Click("cmdProceed3");
    WaitForRun();
  }
  EXPECT_EQ(dir_.List("files"), renamed);
  EXPECT_EQ(ReadWorkFile(kProcessFileName), silent_work.ReadFile(kProcessFileName));
  EXPECT_EQ(Text("cmdProceed3"), "&Finished");
  EXPECT_EQ(StepButtons(), "001");
  {
    MessageBoxes boxes({QMessageBox::No});
    Click("cmdProceed3");
    EXPECT_EQ(boxes.shown.size(), 1u);
  }
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctIntro"});
  window_->cmdStep1_Click();
  EXPECT_EQ(List()->item(0)->checkState(), Qt::Unchecked);
  window_->cmdStep3_Click();
  EXPECT_TRUE(Text("txtOP").isEmpty());
}

// The undo button shows only while a perform waits to be undone.
TEST_F(Step3Test, UndoInTheWindowPutsBackWhatItCanAndKeepsTheRest) {
  const Job chosen = UppercaseFiles("files", 2);
  const std::string folder = chosen.lstDir[0];
  Open(chosen);
  auto* undo = Find<QPushButton>("cmdUndo");
  EXPECT_TRUE(undo->isHidden());
  window_->cmdStep3_Click();
  {
    MessageBoxes boxes;
    Click("cmdProceed3");
    WaitForRun();
  }
  dir_.WriteFile("files/f1.txt", "new");  // keeps F1.txt from its old name
  EXPECT_EQ(undo->accessibleName(), "Undo Last Perform");

  // Presses the button, answers with `confirm` (the question kept in `asked`); what was said.
  std::string asked;
  const auto undo_with_button = [&](const char* confirm) {
    MessageBoxes boxes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr || dialog->objectName() != "dlgUndo") return;
      answer.stop();
      asked = dialog->findChild<QPlainTextEdit*>("txtUndo")->toPlainText().toStdString();
      dialog->findChild<QPushButton*>(confirm)->click();
    });
    answer.start(5);
    Click("cmdUndo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return undo->isEnabled(); }, 60000));
    return boxes.texts();
  };

  EXPECT_TRUE(undo_with_button("cmdUndoCancel").empty());
  EXPECT_NE(asked.find(folder + "/F0.txt == f0.txt"), std::string::npos) << asked;
  EXPECT_NE(asked.find("would be left as it is: " + folder + "/F1.txt"), std::string::npos);
  EXPECT_EQ(dir_.List("files"), (std::vector<std::string>{"F0.txt", "F1.txt", "f1.txt"}));

  const std::vector<std::string> said = undo_with_button("cmdUndoConfirm");
  EXPECT_EQ(dir_.List("files"), (std::vector<std::string>{"F1.txt", "f0.txt", "f1.txt"}));
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("errors were logged in " + WorkFilePath(kErrorFileName)),
            std::string::npos);
  EXPECT_EQ(job().lstDir, std::vector<std::string>{folder});  // the job stays as it was
  EXPECT_TRUE(undo->isVisible());
  std::filesystem::remove(folder + "/f1.txt");
  undo_with_button("cmdUndoConfirm");
  EXPECT_EQ(dir_.List("files"), (std::vector<std::string>{"f0.txt", "f1.txt"}));
  EXPECT_TRUE(undo->isHidden());
}

// A command line without -SU fills the window: Step 3, or Step 1 with the files named after --.
TEST_F(Step3Test, ACommandLineStartEndsOnStep3OrOnStep1WithItsFiles) {
  const std::string a = dir_.WriteFile("a.txt");
  bool shown = false;
  window_ = std::make_unique<MainWindow>();
  window_->resize(1024, 768);
  window_->StartFromCommandLine({"-UC", "-FE", dir_.path() + "*Y?txt", "-EF", "3"}, [&] {
    shown = true;
    window_->show();
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  EXPECT_EQ(Items("lstFinal"), std::vector<std::string>{"1) Make filename into fully UPPERCASE"});
  EXPECT_EQ(Text("txtFinal").toStdString(),
            "DIR - " + dir_.path() + "  *Include Subdirectories*\nEXT - *.txt\n");
  EXPECT_TRUE(Find("txtSep")->isVisible());

  MessageBoxes boxes;
  window_ = std::make_unique<MainWindow>();
  window_->StartFromCommandLine({"--", a}, [this] { window_->show(); });
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep1"});
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(job().lstFile, std::vector<std::string>{"a.txt * " + dir_.path()});
}

TEST_F(Step3Test, LongPreviewArrivesWholeInItsBox) {
  Job chosen = UppercaseFiles(std::string(120, 'p'), 5000);
  OpenOnStep3(std::move(chosen));
  Click("cmdPreview");
  WaitForRun();
  const QString expected = ForDisplay(window_->wizard().job().txtOP.text());
  ASSERT_GT(expected.size(), 3 * 256 * 1024);
  (void)QTest::qWaitFor([&] { return Text("txtOP").size() >= expected.size(); }, 20000);
  EXPECT_TRUE(Text("txtOP") == expected) << Text("txtOP").size() << " of " << expected.size();
}

// While a run renames files nothing that could start or change a job can be pressed.
TEST_F(Step3Test, ARunLocksTheJobAndClosingAsksFirst) {
  OpenOnStep3(UppercaseFiles("many", 20000));

  MessageBoxes boxes({QMessageBox::No, QMessageBox::Yes});
  Click("cmdProceed3");
  ASSERT_TRUE(window_->wizard().screen().running);
  for (const char* name : {"cmdPreview", "cmdProceed3", "cmdCancel3", "optAppendNumber",
                           "chkProcess", "cmdOP", "cmdErr", "cmdStep1", "cmdStep2", "cmdStep3"}) {
    EXPECT_FALSE(Find(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Find("cmdHelp")->isEnabled());
  EXPECT_TRUE(Find("cmdQuit")->isEnabled());
  EXPECT_FALSE(window_->close());  // No: the window stays and the run goes on
  EXPECT_TRUE(window_->isVisible());
  if (!window_->wizard().screen().running) GTEST_SKIP() << "the run ended before the second close";
  EXPECT_TRUE(window_->close());  // Yes
  EXPECT_FALSE(window_->wizard().screen().running);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>(2, ui_text::kStopRunQuestion));
  EXPECT_TRUE(std::filesystem::exists(WorkFilePath(kProcessFileName)));
}

}  // namespace
}  // namespace qtarvox
