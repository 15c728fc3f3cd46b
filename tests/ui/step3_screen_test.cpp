// Step 3 as a user drives it: its controls, the summary, the separator field,
// a whole job with the mouse (preview, perform, Finished), the undo of a
// perform, the command-line start, and a run that keeps the window alive.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "platform/work_folder.h"
#include "program.h"
#include "run/settings.h"
#include "run/undo_history.h"
#include "run/work_files.h"
#include "temp_dir.h"
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

  // Opens the window over `job` and shows Step 3 as its button does.
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

  void OpenOnStep3(Job job = Job()) {
    Open(std::move(job));
    window_->cmdStep3_Click();
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  }

  // Does a job with the mouse up to Step 3: Uppercase and numbers at the
  // end, on the files of `folder` at the given rows of the file list.
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

TEST_F(Step3Test, ControlsStartWithTheirCaptionsTooltipsAndStates) {
  OpenOnStep3();
  const struct {
    const char* name;
    const char* text;
    const char* tooltip;
    bool enabled, shown;
  } controls[] = {
      {"lblActionsFinal", "&List of actions that will be performed : ", "", true, true},
      {"lstFinal", "", "Displays a list of actions that you have choosen", true, true},
      {"lblFilesFinal",
       "List of files and/or directories and e&xtenssions choosen to be worked on : ", "", true,
       true},
      {"txtFinal", "", "Displays a list of Files/Directories/Extensions you have choosen", true,
       true},
      {"lblExisting", "If filename is not unique, what should be done? :", "", true, true},
      {"optDoNotRename", "Do &Not Rename", "", true, true},
      {"optOverwrite", "&Overwrite File", "", true, true},
      {"optAppendNumber", "&Add a unique number", "", true, true},
      {"lblSep", "Enter &seperating character to use for adding unique number :", "", true, false},
      {"txtSep", "", "", true, false},
      {"cmdPreview", "Click here to pre&view the changes that will take place : ",
       "Click here to view a preview of changes that will occur to the choosen files", true, true},
      {"chkProcess", "Automatically &generate Process File?", "", true, true},
      {"cmdOP", "View Process F&ile",
       "Click here to view the process file containing what was done to what file", false, true},
      {"cmdErr", "View &Error File",
       "Click here to view the error file containing list of errors that occurred and reasons",
       false, true},
      {"cmdCancel3", "&Back", "Click here to go back to selection of files.", true, true},
      {"cmdProceed3", "&Perform\nChanges", "Click here to perform the actions on the files", true,
       true},
      {"lblStatus", "Status : \nReady...waiting for you to either preview or perform the changes.",
       "", true, true},
      {"lblPreview", "Preview of &changes that will take place : ", "", true, true},
      {"txtOP",
       "<--- Click the button to the left to generate the preview of changes that will take "
       "place.\n",
       "Displays the preview of changes that will occur to the files", true, true},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* w = Find(c.name);
    EXPECT_EQ(Text(c.name), QString::fromLatin1(c.text));
    EXPECT_EQ(w->toolTip(), QString::fromLatin1(c.tooltip));
    EXPECT_EQ(w->isEnabled(), c.enabled);
    EXPECT_EQ(w->isVisible(), c.shown);
  }
  EXPECT_TRUE(Find<QRadioButton>("optDoNotRename")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chkProcess")->isChecked());
  EXPECT_EQ(Focused(), "cmdPreview");
}

// The summary: one line per ticked action by its identifier, and the files,
// directories and extensions by the method.
TEST_F(Step3Test, TheSummaryShowsEveryActionLineAndTheFilesOfTheMethod) {
  const struct {
    const char* what;
    std::function<void(Job&)> setup;
    std::vector<std::string> lines;
    std::string files;
  } cases[] = {
      {"every action",
       [](Job& job) {
         for (int position = 1; position <= 17; ++position) TickPosition(job, position);
         job.DeleteLastCount = 2.5;
         job.DeleteFirstCount = 3;
         job.ReplaceSearch = "a";
         job.ReplaceWith = "";
         job.AddBeginningText = "x ";
         job.AddEndText = "_e";
         job.NumberEndStyle = NumberStyle::kEven;
         job.NumberBeginningStartGiven = true;
         job.NumberBeginningStart = "975";
         job.NewExtension = ".txt";
         job.CapitalizeSpaces = job.CapitalizeUnderscores = true;
         job.NewFilename = "n.txt";
         job.method = SelectionMethod::kIndividual;
         job.lstFile = {"a.txt * /d", "b c.txt * /d"};
       },
       {"1) Make filename into fully UPPERCASE", "2) Make filename into fully LOWERCASE",
        "3) Clear original filename",
        "4) Delete last 'n' characters from filename (Last 2.5 characters)",
        "5) Delete first 'n' characters from filename (First 3 characters)",
        "6) Replace 'string1' with 'string2' ('a' with '')",
        "7) Add string to beginning of filename ('x ')", "8) Add string to end of filename ('_e')",
        "9) Add numbers in sequence to end of each filename (Evenly)",
        "10) Add numbers in sequence to beginning of each filename (Normal) Start=975",
        "11) Add read only attribute(+r) to all files", "12) Add hidden attribute(+h) to all files",
        "13) Add archive attribute(+a) to all files",
        "14) Remove all attributes and make file normal (-r -h -a)",
        "15) Change file Extension (to '.txt')", "16) Capitalize Words (Spaces & Underscores)",
        "17) Completely rename Filename"},
       "FILE - a.txt * /d\nFILE - b c.txt * /d\n"},
      {"a start number at the end, words after underscores, directories",
       [](Job& job) {
         TickPosition(job, 9);
         TickPosition(job, 16);
         job.NumberEndStartGiven = true;
         job.NumberEndStart = "5";
         job.CapitalizeUnderscores = true;
         job.method = SelectionMethod::kExtension;
         job.lstDir = {"/a", "/b  *Include Subdirectories*"};
         job.lstExt = {"*.txt"};
         job.lstFile = {"left * /out"};
       },
       {"9) Add numbers in sequence to end of each filename (Normal) Start=5",
        "16) Capitalize Words (Underscores only)"},
       "DIR - /a\nDIR - /b  *Include Subdirectories*\nEXT - *.txt\n"},
      {"no separator for words, both kinds of files",
       [](Job& job) {
         TickPosition(job, 16);
         job.method = SelectionMethod::kDone;
         job.lstDir = {"/a"};
         job.lstExt = {"*.doc"};
         job.lstFile = {"f * /d"};
       },
       {"16) Capitalize Words (Spaces only)"},
       "FILE - f * /d\nDIR - /a\nEXT - *.doc\n"},
      {"the first screen of the combined method lists no file",
       [](Job& job) {
         TickPosition(job, 1);
         job.method = SelectionMethod::kBoth;
         job.lstFile = {"f * /d"};
       },
       {"1) Make filename into fully UPPERCASE"},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Job chosen;
    c.setup(chosen);
    OpenOnStep3(std::move(chosen));
    EXPECT_EQ(Items("lstFinal"), c.lines);
    EXPECT_EQ(Text("txtFinal").toStdString(), c.files);
  }
}

TEST_F(Step3Test, TheSeparatorFieldShowsOnlyWithAddAUniqueNumberAndKeepsItsText) {
  OpenOnStep3();
  const auto shown = [this] { return Find("lblSep")->isVisible() && Find("txtSep")->isVisible(); };
  Click("optAppendNumber");
  EXPECT_TRUE(shown());
  Type("txtSep", "_-");
  Click("optOverwrite");
  EXPECT_FALSE(shown());
  EXPECT_EQ(job().collision, CollisionOption::kOverwrite);
  Click("optAppendNumber");
  EXPECT_TRUE(shown());
  EXPECT_EQ(Text("txtSep"), "_-");
  Click("optDoNotRename");
  EXPECT_FALSE(shown());
  EXPECT_EQ(job().txtSep, "_-");
  EXPECT_EQ(job().collision, CollisionOption::kDoNotRename);
}

// A separator with a forbidden character stops the run before it starts.
TEST_F(Step3Test, AForbiddenSeparatorIsToldAndNothingRuns) {
  const std::string a = dir_.WriteFile("a.txt");
  Job chosen;
  TickPosition(chosen, 1);
  chosen.method = SelectionMethod::kIndividual;
  chosen.lstFile = {"a.txt * " + dir_.path()};
  OpenOnStep3(std::move(chosen));
  Click("optAppendNumber");
  Type("txtSep", "?/");
  MessageBoxes boxes;
  Click("cmdProceed3");
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{
                               "The seperating character cannot contain '/'. Please remove that."});
  EXPECT_FALSE(window_->port().screen().running);
  EXPECT_EQ(Text("cmdProceed3"), "&Perform\nChanges");
  EXPECT_TRUE(dir_.Exists("a.txt"));
}

// A whole job with the mouse renames what the same job given on the command
// line with -SU renames, with the same Process file; Finished then keeps the
// job on Yes and clears it on No.
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
  const std::string silent_process = silent_work.ReadFile(kProcessFileName);

  for (const bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "Yes" : "No");
    lay_out();
    Open();
    PickJob(folder, {0, 1});

    Click("cmdPreview");
    WaitForRun();
    EXPECT_EQ(Text("txtOP").toStdString(),
              "\n" + folder + "/a file.txt == A FILE1.txt\n" + folder + "/b.txt == B2.txt");
    EXPECT_EQ(Text("lblStatus"), "Status : Preview Generated succesfully");
    EXPECT_EQ(dir_.List("files"), (std::vector<std::string>{"a file.txt", "b.txt", "c.doc"}));

    {
      MessageBoxes boxes;
      Click("cmdProceed3");
      WaitForRun();
      EXPECT_EQ(boxes.texts(), std::vector<std::string>{"The files were succesfully renamed."});
    }
    EXPECT_EQ(dir_.List("files"), renamed);
    EXPECT_EQ(ReadWorkFile(kProcessFileName), silent_process);
    // The Finished state: only the run button, the reports, Help and Quit.
    EXPECT_EQ(Text("cmdProceed3"), "&Finished");
    EXPECT_EQ(Text("lblStatus"),
              "Status : Filename changes were performed succesfully\n"
              "2 renamed, 0 unchanged, 0 skipped, 0 failed");
    EXPECT_TRUE(Find("cmdOP")->isEnabled());
    EXPECT_FALSE(Find("cmdErr")->isEnabled());
    EXPECT_FALSE(Find("cmdPreview")->isEnabled());
    EXPECT_FALSE(Find("cmdCancel3")->isEnabled());
    EXPECT_EQ(StepButtons(), "001");

    {
      MessageBoxes boxes({keep ? QMessageBox::Yes : QMessageBox::No});
      Click("cmdProceed3");
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].caption, "Save Settings?");
      EXPECT_EQ(boxes.shown[0].text,
                "Click 'YES' to save all your current settings if you need to use them again "
                "now.\nClick 'NO' to clear all settings to that you can enter new values");
    }
    EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctIntro"});
    EXPECT_EQ(StepButtons(), "100");
    EXPECT_FALSE(std::filesystem::exists(WorkFilePath(kProcessFileName)));
    EXPECT_TRUE(job().lstFile.empty());
    window_->cmdStep1_Click();
    EXPECT_EQ(List()->item(0)->checkState(), keep ? Qt::Checked : Qt::Unchecked);
    EXPECT_EQ(List()->item(8)->checkState(), keep ? Qt::Checked : Qt::Unchecked);
    EXPECT_EQ(job().method, keep ? SelectionMethod::kIndividual : SelectionMethod::kNone);
    window_->cmdStep3_Click();
    EXPECT_EQ(Text("cmdProceed3"), "&Perform\nChanges");
    EXPECT_TRUE(Find("cmdPreview")->isEnabled());
    EXPECT_FALSE(Find("cmdOP")->isEnabled());
    // The last preview stays until the next one; a declined job loses it.
    EXPECT_EQ(Text("txtOP").isEmpty(), !keep);
  }
}

// The undo button does what `q-tarvox --undo` does on the same tree: the
// question shows what `--undo --preview` prints, the files get their names
// back as far as they can, the Process and Error files come out the same,
// and the message ends as the command line does. The button shows only
// while a perform waits to be undone.
TEST_F(Step3Test, UndoInTheWindowDoesWhatUndoOnTheCommandLineDoes) {
  const std::string folder = dir_.MakeDir("files");
  const std::vector<std::string> before{"a.txt", "b.txt", "c.doc"};
  // The files, a perform that upper-cases the .txt ones, and a new "b.txt"
  // that keeps the undo from giving B.txt its old name.
  const auto lay_out = [&] {
    std::filesystem::remove_all(folder);
    for (const std::string& name : before) dir_.WriteFile("files/" + name, name);
  };
  const auto block = [&] {
    ASSERT_FALSE(dir_.Exists("files/b.txt"));
    dir_.WriteFile("files/b.txt", "new");
  };
  TempDir cli_work, io;
  const auto cli = [&](std::vector<std::string> args) {
    // Both streams in one file, in the order they were written.
    std::string line = "exec \"$0\"";
    for (size_t i = 1; i <= args.size(); ++i) line += " \"$" + std::to_string(i) + "\"";
    args.insert(args.begin(), {"-c", line + " 2>&1", QTARVOX_EXE});
    const int code =
        WaitProgram(StartProgram(args, {"QTARVOX_WORK_DIR=" + cli_work.path()}, folder,
                                 io.PathOf("out"), io.PathOf("err"), "/dev/null", "/bin/sh"));
    std::string said = io.ReadFile("out");
    for (size_t at; (at = said.find("q-tarvox: ")) != std::string::npos;) said.erase(at, 10);
    return std::make_pair(code, said);
  };
  lay_out();
  ASSERT_EQ(cli({"-UC", "-FE", folder + "*N?txt", "-SU"}).first, 0);
  block();
  const auto [preview_code, preview] = cli({"--undo", "--preview"});
  EXPECT_EQ(preview_code, 1);
  EXPECT_NE(preview.find("would be left as it is: "), std::string::npos) << preview;
  const auto [undo_code, undone] = cli({"--undo"});
  EXPECT_EQ(undo_code, 1);
  const std::vector<std::string> cli_tree = dir_.List("files");
  EXPECT_EQ(cli_tree, (std::vector<std::string>{"B.txt", "a.txt", "b.txt", "c.doc"}));

  lay_out();
  Job chosen;
  TickPosition(chosen, 1);
  chosen.method = SelectionMethod::kExtension;
  chosen.lstDir = {folder};
  chosen.lstExt = {"*.txt"};
  Open(std::move(chosen));
  EXPECT_TRUE(Find("cmdUndo")->isHidden());  // an empty history
  window_->cmdStep3_Click();
  {
    MessageBoxes boxes;
    Click("cmdProceed3");
    WaitForRun();
  }
  EXPECT_EQ(Text("cmdProceed3"), "&Finished");
  block();
  auto* undo = Find<QPushButton>("cmdUndo");
  EXPECT_EQ(undo->accessibleName(), "Undo Last Perform");

  // Presses the button, answers its question with `confirm` (kept in
  // `asked`) and waits for the undo to be through; what was said after it.
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

  // Cancel changes nothing.
  EXPECT_TRUE(undo_with_button("cmdUndoCancel").empty());
  EXPECT_EQ(asked, preview);
  EXPECT_EQ(dir_.List("files"), (std::vector<std::string>{"A.txt", "B.txt", "b.txt", "c.doc"}));

  const std::vector<std::string> said = undo_with_button("cmdUndoConfirm");
  EXPECT_EQ(dir_.List("files"), cli_tree);
  EXPECT_EQ(ReadWorkFile(kProcessFileName), cli_work.ReadFile(kProcessFileName));
  EXPECT_EQ(ReadWorkFile(kErrorFileName), cli_work.ReadFile(kErrorFileName));
  const std::string summary = undone.substr(0, undone.find('\n'));
  EXPECT_EQ(said, std::vector<std::string>{summary + "\nerrors were logged in " +
                                           WorkFilePath(kErrorFileName)});
  EXPECT_EQ(job().lstDir, std::vector<std::string>{folder});  // the job stays as it was

  // What was left waits for the next undo, which finds it free now.
  EXPECT_TRUE(undo->isVisible());
  std::filesystem::remove(folder + "/b.txt");
  undo_with_button("cmdUndoConfirm");
  EXPECT_EQ(dir_.List("files"), before);
  EXPECT_TRUE(undo->isHidden());
}

// Without a Process file, its View button says it was not found.
TEST_F(Step3Test, ViewProcessFileSaysWhenThereIsNone) {
  dir_.WriteFile("a.txt");
  Job chosen;
  TickPosition(chosen, 1);
  chosen.method = SelectionMethod::kIndividual;
  chosen.lstFile = {"a.txt * " + dir_.path()};
  OpenOnStep3(std::move(chosen));
  Click("chkProcess");
  EXPECT_FALSE(job().chkProcess);
  {
    MessageBoxes boxes;
    Click("cmdProceed3");
    WaitForRun();
  }
  MessageBoxes boxes;
  Click("cmdOP");
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{
                               "The process file was not found. This could be because it was "
                               "never created as no changes were done...or it could have been "
                               "moved,renamed or deleted"});
}

// A command line without -SU fills the window and ends on Step 3 with the
// summary of the job given, or on the step whose check failed.
TEST_F(Step3Test, ACommandLineStartEndsOnStep3OrOnTheFailedStep) {
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
  EXPECT_EQ(StepButtons(), "001");
  EXPECT_EQ(Items("lstFinal"), std::vector<std::string>{"1) Make filename into fully UPPERCASE"});
  EXPECT_EQ(Text("txtFinal").toStdString(),
            "DIR - " + dir_.path() + "  *Include Subdirectories*\nEXT - *.txt\n");
  EXPECT_TRUE(Find("txtSep")->isVisible());

  MessageBoxes boxes;
  window_ = std::make_unique<MainWindow>();
  window_->StartFromCommandLine({"-UC", "-LC", "-FI", a}, [this] { window_->show(); });
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep1"});
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(boxes.shown[0].text.starts_with("Error in Action 2 : \n")) << boxes.shown[0].text;
  EXPECT_EQ(List()->currentRow(), 1);
  EXPECT_TRUE(Find("optAI1")->isHidden() && Find("lblNone")->isVisible());

  // Files handed over by a file manager ("Open with", a menu entry's %F):
  // Step 1 with the files chosen, no message; nothing at all: the Intro.
  const std::string b = dir_.WriteFile("b c.txt");
  for (const auto& args : {std::vector<std::string>{"--", a, b},
                           std::vector<std::string>{"-FI", a, b}, std::vector<std::string>{"--"}}) {
    const bool files = args.size() > 1;
    boxes.shown.clear();
    window_ = std::make_unique<MainWindow>();
    window_->StartFromCommandLine(args, [this] { window_->show(); });
    EXPECT_EQ(ShownPanels(), std::set<std::string>{files ? "pctStep1" : "pctIntro"});
    EXPECT_EQ(boxes.shown.size(), 0u);
    EXPECT_EQ(job().lstFile.size(), files ? 2u : 0u);
    if (!files) continue;
    Tick(0);
    Click("cmdProceed1");
    Click("cmdFileType");
    EXPECT_EQ(ShownPanels(), (std::set<std::string>{"pctStep2", "pctDir", "pctIndividual"}));
    EXPECT_EQ(Items("lstFile"), (std::vector<std::string>{"a.txt * " + dir_.path(),
                                                          "b c.txt * " + dir_.path()}));
  }
}

// A preview of many files reaches its box in slices, in order and whole,
// every line as the run wrote it.
TEST_F(Step3Test, LongPreviewArrivesWholeInItsBox) {
  Job chosen = UppercaseFiles(std::string(120, 'p'), 5000);
  OpenOnStep3(std::move(chosen));
  Click("cmdPreview");
  WaitForRun();
  const QString expected = ForDisplay(window_->port().job().txtOP.text());
  ASSERT_GT(expected.size(), 3 * 256 * 1024);
  (void)QTest::qWaitFor([&] { return Text("txtOP").size() >= expected.size(); }, 20000);
  EXPECT_TRUE(Text("txtOP") == expected) << Text("txtOP").size() << " of " << expected.size();
}

// While a run renames files nothing that could start or change a job can be
// pressed; closing the window asks first, then stops the run between two
// files without its end-of-run messages and keeps its report files.
TEST_F(Step3Test, ARunLocksTheJobAndClosingAsksFirst) {
  OpenOnStep3(UppercaseFiles("many", 20000));

  MessageBoxes boxes({QMessageBox::No, QMessageBox::Yes});
  Click("cmdProceed3");
  ASSERT_TRUE(window_->port().screen().running);
  for (const char* name : {"cmdPreview", "cmdProceed3", "cmdCancel3", "optAppendNumber",
                           "chkProcess", "cmdOP", "cmdErr", "cmdStep1", "cmdStep2", "cmdStep3"}) {
    EXPECT_FALSE(Find(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Find("cmdHelp")->isEnabled());
  EXPECT_TRUE(Find("cmdQuit")->isEnabled());
  EXPECT_FALSE(window_->close());  // No: the window stays and the run goes on
  EXPECT_TRUE(window_->isVisible());
  if (!window_->port().screen().running) GTEST_SKIP() << "the run ended before the second close";
  EXPECT_TRUE(window_->close());  // Yes
  EXPECT_FALSE(window_->port().screen().running);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>(2, ui_text::kStopRunQuestion));
  EXPECT_TRUE(std::filesystem::exists(WorkFilePath(kProcessFileName)));
}

// A run owns its questions: one asked while it runs is closed by its end,
// and the window then closes as asked; Help during a run leads back to
// Step 3, which the end of the run shows again before its message.
TEST_F(Step3Test, TheEndOfARunClosesItsQuestionAndLeavesHelp) {
  const Job chosen = UppercaseFiles("some", 50);
  const std::string folder = chosen.lstDir[0];
  const auto run_to_its_end = [this] {
    Click("cmdProceed3");
    ASSERT_TRUE(window_->port().screen().running);
    // The run's end waits in the queue until the window looks at it again.
    while (!window_->port().wizard().RunDone()) usleep(1000);
  };
  for (const bool help : {true, false}) {
    SCOPED_TRACE(help ? "Help" : "a stop question");
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      std::filesystem::rename(e.path(), folder + "/" + e.path().filename().string() + "x");
    }
    OpenOnStep3(chosen);
    MessageBoxes boxes;
    run_to_its_end();
    if (help) {
      window_->cmdHelp_Click();
      EXPECT_TRUE(Find("cmdStep3")->isEnabled());
      QApplication::processEvents();
      EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
    } else {
      EXPECT_TRUE(window_->close());
      EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"The files were succesfully renamed."});
  }
}

}  // namespace
}  // namespace qtarvox
