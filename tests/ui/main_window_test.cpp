// The frame: start state, navigation, geometry, Quit and the close box.
#include <QFrame>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/work_folder.h"
#include "run/settings.h"
#include "run/work_files.h"
#include "temp_dir.h"
#include "ui/ui_texts.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

TEST_F(WindowTest, StartsOnTheIntroScreenWithOnlyStep1Open) {
  Open();
  EXPECT_EQ(window_->objectName(), "frmMain");
  EXPECT_EQ(window_->windowTitle(), "Q-Tarvox Renamer (v1.7.6)");
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctIntro"});
  EXPECT_EQ(StepButtons(), "100");
  EXPECT_TRUE(Find("cmdHelp")->isEnabled() && Find("cmdQuit")->isEnabled());

  QListWidget* list = List();
  ASSERT_EQ(list->count(), 17);
  for (int row = 0; row < list->count(); ++row) {
    EXPECT_EQ(list->item(row)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(row)->data(Qt::UserRole).toInt(),
              static_cast<int>(job().lstActions[static_cast<size_t>(row)].id));
  }
  EXPECT_EQ(list->currentRow(), -1);
  EXPECT_EQ(Find<QLabel>("lblActions")->buddy(), list);
  EXPECT_EQ(Find<QLabel>("lblAI2")->buddy(), Find("txtAI2"));
  // Controls without a label of their own are named for screen readers.
  EXPECT_EQ(list->accessibleName(), Find<QLabel>("lblActions")->text().remove('&'));
  EXPECT_FALSE(Find("txtAI3")->accessibleName().isEmpty());
  // Nothing a screen reader reaches is left without a name.
  for (QFrame* frame : window_->findChildren<QFrame*>()) {
    if (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine) {
      EXPECT_EQ(frame->accessibleName(), "Separator") << frame->objectName().toStdString();
    }
  }
  for (QScrollBar* bar : window_->findChildren<QScrollBar*>()) {
    const QString name = bar->accessibleName();
    EXPECT_TRUE(name.size() > 15 && !name.startsWith(":")) << name.toStdString();
  }
  for (QTreeWidget* tree : window_->findChildren<QTreeWidget*>()) {
    EXPECT_EQ(tree->headerItem()->text(0), tree->accessibleName());
  }
}

// No two controls a screen shows at once share an access key: a shared one would press neither.
TEST_F(WindowTest, AccessKeysAreUniqueOnEachScreen) {
  Open();
  const auto key = [](const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
      if (text[i] == QLatin1Char('&')) {
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toLower();
        ++i;
      }
    }
    return QChar();
  };
  const auto claim = [&](const QString& text, const QString& name, std::map<QChar, QString>& seen) {
    const QChar k = key(text);
    if (k.isNull()) return;
    EXPECT_EQ(seen.count(k), 0u) << name.toStdString() << " and " << seen[k].toStdString() << ": "
                                 << QString(k).toStdString();
    seen[k] = name;
  };
  // Step 2's panel holds the panels of both methods: only its own controls.
  const auto keys_of = [&](QWidget* root, std::map<QChar, QString>& seen) {
    const Qt::FindChildOptions which = root->objectName() == QLatin1String("pctStep2")
                                           ? Qt::FindDirectChildrenOnly
                                           : Qt::FindChildrenRecursively;
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>(QString(), which)) {
      claim(button->text(), button->objectName(), seen);
    }
    for (QLabel* label : root->findChildren<QLabel*>(QString(), which)) {
      if (label->buddy() != nullptr) claim(label->text(), label->objectName(), seen);
    }
  };
  const std::vector<std::vector<const char*>> screens = {
      {"pctIntro"}, {"pctStep1"}, {"pctStep2", "pctDir", "pctIndividual"},
      {"pctStep2", "pctDir", "pctExtension"}, {"pctStep3"}, {"pctHelp"}};
  for (const auto& panels : screens) {
    SCOPED_TRACE(panels.back());
    std::map<QChar, QString> seen;
    for (const char* name : {"cmdStep1", "cmdStep2", "cmdStep3", "cmdHelp", "cmdQuit", "cmdUndo"}) {
      if (QWidget* w = window_->findChild<QWidget*>(QString::fromLatin1(name))) {
        seen[key(qobject_cast<QAbstractButton*>(w)->text())] = QString::fromLatin1(name);
      }
    }
    if (panels.back() == std::string("pctStep3")) seen[QLatin1Char('f')] = "cmdProceed3 (Finished)";
    for (const char* panel : panels) keys_of(Find(panel), seen);
  }
}

// Each row does one thing as a user would: the screen shown after it and the Step buttons.
TEST_F(WindowTest, NavigationTable) {
  Open();
  const auto alt = [this](Qt::Key key) { return [this, key] { PressAlt(key); }; };
  const auto click = [this](const char* name) {
    return [this, name] { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); };
  };
  const std::tuple<const char*, std::function<void()>, const char*, const char*> rows[] = {
      {"Help from the Intro screen", alt(Qt::Key_H), "pctHelp", "100"},
      {"Step 1 from Help", alt(Qt::Key_1), "pctStep1", "100"},
      {"Back on Step 1", alt(Qt::Key_B), "pctIntro", "100"},
      {"Help and Step 1 by the mouse", [=] { click("cmdHelp")(), click("cmdStep1")(); }, "pctStep1",
       "100"},
      {"a disabled Step button does nothing", alt(Qt::Key_2), "pctStep1", "100"},
      {"Proceed with Uppercase ticked",
       [this] {
         Tick(0);
         PressAlt(Qt::Key_P);
       },
       "pctStep2", "010"},
      {"Help from Step 2, where Step 1 is closed", [=] { alt(Qt::Key_H)(), alt(Qt::Key_1)(); },
       "pctHelp", "010"},
      {"back to Step 2 by the enabled button", alt(Qt::Key_2), "pctStep2", "010"},
      {"Step 3 opened as Proceed on Step 2 does", [this] { window_->cmdStep3_Click(); }, "pctStep3",
       "001"},
      {"Step 3 again from Help", [this] { PressAlt(Qt::Key_H), PressAlt(Qt::Key_3); }, "pctStep3",
       "001"},
      {"Step 1 opened again as Back on Step 2 does", [this] { window_->cmdStep1_Click(); },
       "pctStep1", "100"},
      {"Back on Step 1 keeps the Step buttons", click("cmdCancel1"), "pctIntro", "100"},
  };
  for (const auto& [what, act, shown, steps] : rows) {
    SCOPED_TRACE(what);
    act();
    EXPECT_EQ(ShownPanels(), std::set<std::string>{shown});
    EXPECT_EQ(StepButtons(), steps);
  }
}

// At every size no control of any screen (and the plan table) is cut off, leaves its panel or
// overlaps another; Help keeps its arrangement.
TEST_F(WindowTest, NothingIsCutOffOrOverlapsFromTheSmallestWindowToALargeOne) {
  TempDir dir;
  RememberDirectory(Job());  // no folder of an earlier test comes back
  Job job;
  job.dirDir = dir.path();
  Open(std::move(job));
  Tick(0);
  for (const QSize size :
       {QSize(800, 600), QSize(1280, 720), QSize(1920, 1080), QSize(1024, 768)}) {
    const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
    window_->resize(size);
    ASSERT_EQ(window_->centralWidget()->size(), size);
    ExpectWholeAndApart(window_->centralWidget(), at + " frame");
    ExpectWholeAndApart(Find("pctIntro"), at + " Intro");
    EXPECT_LE(Find("lblIntro10")->geometry().bottom(), Find("pctIntro")->height()) << at;
    // Help: the caption whole, the list below it, the text beside it, the buttons below both.
    window_->cmdHelp_Click();
    const QRect caption = Find("lblTOC")->geometry(), toc = Find("lstTOC")->geometry();
    const QRect text = Find("txtHelp")->geometry(), about = Find("cmdAbout")->geometry();
    EXPECT_GE(caption.height(), Find<QLabel>("lblTOC")->heightForWidth(caption.width())) << at;
    EXPECT_GT(toc.top(), caption.bottom()) << at;
    EXPECT_EQ(text.top(), toc.top()) << at;
    EXPECT_GT(text.left(), toc.right()) << at;
    EXPECT_GT(about.top(), std::max(toc.bottom(), text.bottom())) << at;
    EXPECT_TRUE(Find("pctHelp")->rect().contains(text.united(Find("cmdThank")->geometry()))) << at;
    window_->cmdStep1_Click();
    for (int row = 0; row < 17; ++row) {
      ClickEntry(row);
      ExpectWholeAndApart(Find("pctStep1"), at + " Step 1, entry " + std::to_string(row + 1));
    }
    for (const std::string option : {"", "optIndividual", "optExtension"}) {
      window_->cmdStep1_Click();
      Click("cmdProceed1");
      if (!option.empty()) Click(option.c_str()), Click("cmdFileType");
      ExpectWholeAndApart(Find("pctStep2"), at + " Step 2 " + option);
    }
    window_->cmdStep3_Click();
    Click("optAppendNumber");
    ExpectWholeAndApart(Find("pctStep3"), at + " Step 3");
    Click("cmdTable");
    ExpectWholeAndApart(Find("pctStep3"), at + " Step 3, plan table");
    Click("cmdTable");
    window_->cmdStep1_Click();
    Click("cmdCancel1");
  }
}

TEST_F(WindowTest, QuitRemovesTheReportFilesAndTheCloseBoxKeepsThem) {
  for (const bool quit : {true, false}) {
    for (const char* name : {kErrorFileName, kProcessFileName}) {
      std::ofstream(WorkFilePath(name)) << "report\r\n";
    }
    Open();
    if (quit) {
      PressAlt(Qt::Key_Q);
    } else {
      EXPECT_TRUE(window_->close());
    }
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(std::filesystem::exists(WorkFilePath(kProcessFileName)), !quit);
    EXPECT_EQ(std::filesystem::exists(WorkFilePath(kErrorFileName)), !quit);
  }
  for (const char* name : {kErrorFileName, kProcessFileName}) {
    std::filesystem::remove(WorkFilePath(name));
  }
}

TEST(WindowStart, WithoutADisplayOneLineSaysSoAndTheStatusIsTwo) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  QProcess program;
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(QTARVOX_EXE), {});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 2);
  EXPECT_EQ(program.readAllStandardError().toStdString(), std::string(ui_text::kNoDisplay) + "\n");
  EXPECT_EQ(program.readAllStandardOutput().toStdString(), "");
}

}  // namespace
}  // namespace qtarvox
