// Step 2 as a user drives it: the method row and its states, the browser,
// the three lists with their buttons and captions, Proceed's checks and Back.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "run/settings.h"
#include <QMimeData>
#include <QUrl>

#include "selection/step2.h"
#include "temp_dir.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

class Step2Test : public WindowTest {
 protected:
  // A window on Step 2 with Uppercase accepted, its browser in `dir_`.
  void OpenOnStep2(QSize size = {1024, 768}, const std::string& folder = {}) {
    RememberDirectory(Job());  // no folder of an earlier test comes back
    Job job;
    job.dirDir = folder.empty() ? dir_.path() : folder;
    Open(std::move(job), size);
    window_->cmdStep1_Click();
    Tick(0);
    Click("cmdProceed1");
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctStep2"});
  }

  void ChooseMethod(const char* option) {
    Click(option);
    Click("cmdFileType");
  }

  QString Caption(const char* label) const { return Find<QLabel>(label)->text(); }

  TempDir dir_;
};

// Each row presses one thing and names the panels then shown, the method,
// whether OK and Proceed are enabled, the message shown (if any) and the
// count caption that row checks.
TEST_F(Step2Test, MethodStateTable) {
  OpenOnStep2();
  const auto click = [this](const char* name) { return [this, name] { Click(name); }; };
  const auto ok_with = [this](const char* option) {
    return [this, option] { ChooseMethod(option); };
  };
  const std::set<std::string> row{"pctStep2"};
  const std::set<std::string> individual{"pctStep2", "pctDir", "pctIndividual"};
  const std::set<std::string> extension{"pctStep2", "pctDir", "pctExtension"};
  const struct {
    const char* what;
    std::function<void()> act;
    std::set<std::string> shown;
    SelectionMethod method;
    bool ok, proceed;
    const char* message;  // "" for none
    const char* label;
    const char* caption;
  } rows[] = {
      {"start", [] {}, row, SelectionMethod::kNone, true, false, "", "lblFileList",
       "List of File(s) choosen : "},
      {"OK with Both", ok_with("optBoth"), individual, SelectionMethod::kBoth, false, true, "",
       "lblFileList", "List of file(s) choosen : *0*"},
      {"another option does nothing now", click("optExtension"), individual, SelectionMethod::kBoth,
       false, true, "", "lblFileList", "List of file(s) choosen : *0*"},
      {"Proceed on the first screen, unchecked", click("cmdProceed2"), extension,
       SelectionMethod::kDone, false, true, "", "lblExtList",
       "List of file extensions choosen to perform actions on : *0*"},
      {"Back to the first screen", click("cmdCancel2"), individual, SelectionMethod::kBoth, false,
       true, "", "lblFileList", "List of file(s) choosen : *0*"},
      {"Proceed again", click("cmdProceed2"), extension, SelectionMethod::kDone, false, true, "",
       "lblDirList", "List of Directory(s) choosen : *0*"},
      {"Proceed on the second screen, nothing chosen", click("cmdProceed2"), extension,
       SelectionMethod::kDone, false, true, kNoSelection, "lblDirList",
       "List of Directory(s) choosen : *0*"},
      {"Back, Back: Step 1",
       [this] {
         Click("cmdCancel2");
         Click("cmdCancel2");
       },
       {"pctStep1"},
       SelectionMethod::kBoth,
       false,
       true,
       "",
       "lblFileList",
       "List of file(s) choosen : *0*"},
      {"Step 1 accepted again: OK opens", click("cmdProceed1"), row, SelectionMethod::kBoth, true,
       true, "", "lblFileList", "List of file(s) choosen : *0*"},
      {"OK with Extension", ok_with("optExtension"), extension, SelectionMethod::kExtension, false,
       true, "", "lblExtList", "List of file extensions choosen to perform actions on :  *0*"},
      {"Proceed without directories", click("cmdProceed2"), extension, SelectionMethod::kExtension,
       false, true, kNoDirectories, "lblDirList", "List of Directory(s) choosen : *0*"},
      {"the Step 2 button shows the same screen", [this] { window_->cmdStep2_Click(); }, extension,
       SelectionMethod::kExtension, false, true, "", "lblDirList",
       "List of Directory(s) choosen : *0*"},
      {"Back: Step 1",
       click("cmdCancel2"),
       {"pctStep1"},
       SelectionMethod::kExtension,
       false,
       true,
       "",
       "lblDirList",
       "List of Directory(s) choosen : *0*"},
      {"Step 1 accepted, OK with Individual",
       [this] {
         Click("cmdProceed1");
         ChooseMethod("optIndividual");
       },
       individual, SelectionMethod::kIndividual, false, true, "", "lblFileList",
       "List of file(s) choosen : *0*"},
      {"Proceed without files", click("cmdProceed2"), individual, SelectionMethod::kIndividual,
       false, true, kNoFiles, "lblFileList", "List of file(s) choosen : *0*"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    MessageBoxes boxes;
    r.act();
    EXPECT_EQ(ShownPanels(), r.shown);
    EXPECT_EQ(job().method, r.method);
    EXPECT_EQ(Find("cmdFileType")->isEnabled(), r.ok);
    EXPECT_EQ(Find("cmdProceed2")->isEnabled(), r.proceed);
    if (*r.message == '\0') {
      EXPECT_TRUE(boxes.shown.empty());
    } else {
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].text, r.message);
      EXPECT_EQ(boxes.shown[0].caption, "Q-Tarvox");
      EXPECT_TRUE(window_->port().screen().step_check_failed);
    }
    EXPECT_EQ(Caption(r.label), r.caption);
  }
}

// The directory and extension lists: the Subdirectories question, the sorted
// directories, the "*." put in front, the message for a blank extension,
// Select All and Remove with their count captions, and the summary.
TEST_F(Step2Test, DirectoriesAndExtensionsAreAddedSelectedAndRemoved) {
  const std::string sub = dir_.MakeDir("sub");
  const std::string aaa = dir_.MakeDir("aaa");
  OpenOnStep2();
  ChooseMethod("optExtension");
  EXPECT_EQ(Find<QLabel>("lblDir")->text().toStdString(), kChooseDirectoriesCaption);
  OpenFolder(sub);
  {
    MessageBoxes boxes({QMessageBox::Yes, QMessageBox::No});
    Click("cmdAddDir");
    Click("cmdAddDir");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].caption, "Subdirectories");
    EXPECT_EQ(boxes.shown[0].text,
              "Shall I include all subdirectory(s) under the choosen directory?");
  }
  OpenFolder(aaa);
  {
    MessageBoxes boxes({QMessageBox::No});
    Click("cmdAddDir");
  }
  EXPECT_EQ(Items("lstDir"),
            (std::vector<std::string>{aaa, sub, sub + "  *Include Subdirectories*"}));
  EXPECT_EQ(Caption("lblDirList"), "List of Directory(s) choosen : *3*");

  const struct {
    const char* typed;
    std::vector<std::string> items;
    const char* box_after;
    const char* message;
  } extensions[] = {
      {"txt", {"*.txt"}, "*.txt", ""},
      {"*.doc", {"*.txt", "*.doc"}, "*.doc", ""},
      {"   ", {"*.txt", "*.doc"}, "   ", kNoExtensionMessage},
      {" jpg", {"*.txt", "*.doc", "*. jpg"}, "*. jpg", ""},
  };
  for (const auto& e : extensions) {
    SCOPED_TRACE(e.typed);
    MessageBoxes boxes;
    Type("txtExtList", e.typed);
    Click("cmdAddExt");
    EXPECT_EQ(Items("lstExt"), e.items);
    EXPECT_EQ(Find<QLineEdit>("txtExtList")->text(), e.box_after);
    EXPECT_EQ(boxes.texts(),
              *e.message ? std::vector<std::string>{e.message} : std::vector<std::string>{});
    EXPECT_EQ(Caption("lblExtList"),
              QString("List of Extension(s) choosen : *%1*").arg(e.items.size()));
  }

  // Remove with nothing selected changes nothing but writes the caption.
  Find<QListView>("lstExt")->clearSelection();
  Click("cmdRemoveExt");
  EXPECT_EQ(Items("lstExt").size(), 3u);
  Select("lstExt", {2});
  Click("cmdRemoveExt");
  EXPECT_EQ(Items("lstExt"), (std::vector<std::string>{"*.txt", "*.doc"}));
  Select("lstDir", {0, 2});
  Click("cmdRemoveDir");
  EXPECT_EQ(Items("lstDir"), (std::vector<std::string>{sub}));
  EXPECT_EQ(Caption("lblDirList"), "List of Directory(s) choosen : *1*");
  Click("cmdSelectAllExt");
  EXPECT_EQ(SelectedCount("lstExt"), 2);
  Click("cmdSelectAllDir");
  EXPECT_EQ(SelectedCount("lstDir"), 1);

  Click("cmdProceed2");
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  EXPECT_EQ(job().lstDir, std::vector<std::string>{sub});
  EXPECT_EQ(job().lstExt, (std::vector<std::string>{"*.txt", "*.doc"}));
}

// The browser and the chosen files: the file list by pattern, Add keeps the
// browser's selection, Select All acts on the list clicked last.
TEST_F(Step2Test, FilesArePickedInTheBrowserAndSelectAllFollowsTheLastList) {
  const std::string docs = dir_.MakeDir("docs");
  for (const char* name : {"b.txt", "A.TXT", ".hidden.txt", "c.doc"}) {
    dir_.WriteFile(std::string("docs/") + name);
  }
  dir_.MakeDir("docs/folder");
  OpenOnStep2();
  ChooseMethod("optIndividual");
  EXPECT_EQ(Find<QLabel>("lblDir")->text().toStdString(), kBrowseFilesCaption);
  EXPECT_EQ(Find<QLineEdit>("txtExt")->text(), "*.*");
  EXPECT_EQ(Find<QPushButton>("cmdSelectAllFile")->text(), "&Select All >>");
  OpenFolder(docs);
  EXPECT_EQ(job().dirDir, docs);
  EXPECT_EQ(Items("filFile"), (std::vector<std::string>{".hidden.txt", "A.TXT", "b.txt", "c.doc"}));
  EXPECT_EQ(Find<QPushButton>("cmdSelectAllFile")->text(), "<< &Select All");
  Type("txtExt", "*.txt ");
  EXPECT_EQ(Items("filFile"), (std::vector<std::string>{".hidden.txt", "A.TXT", "b.txt"}));

  Select("filFile", {1, 2});
  Click("cmdAddFile");
  EXPECT_EQ(Items("lstFile"), (std::vector<std::string>{"A.TXT * " + docs, "b.txt * " + docs}));
  EXPECT_EQ(Caption("lblFileList"), "List of File(s) choosen : *2*");
  EXPECT_EQ(SelectedCount("filFile"), 2);  // left as it was
  Click("cmdAddFile");  // no list refuses a duplicate
  EXPECT_EQ(Items("lstFile").size(), 4u);

  Select("lstFile", {0});
  EXPECT_EQ(Find<QPushButton>("cmdSelectAllFile")->text(), "&Select All >>");
  EXPECT_EQ(Find("lstFile")->toolTip().toStdString(), "A.TXT * " + docs);
  Click("cmdSelectAllFile");
  EXPECT_EQ(SelectedCount("lstFile"), 4);
  Select("filFile", {0});
  EXPECT_EQ(Find<QPushButton>("cmdSelectAllFile")->text(), "<< &Select All");
  Click("cmdSelectAllFile");
  EXPECT_EQ(SelectedCount("filFile"), 3);
  EXPECT_EQ(SelectedCount("lstFile"), 4);
  Click("cmdRemoveFile");
  EXPECT_TRUE(Items("lstFile").empty());
  EXPECT_EQ(Caption("lblFileList"), "List of File(s) choosen : *0*");
}

// A folder that has vanished since the tree listed it: the message says so
// and the tree, the file list and the job stay where they were.
TEST_F(Step2Test, AFolderThatVanishedLeavesTheTreeWhereItWas) {
  const std::string docs = dir_.MakeDir("docs");
  const std::string gone = dir_.MakeDir("docs/gone");
  dir_.WriteFile("docs/a.txt");
  OpenOnStep2();
  ChooseMethod("optIndividual");
  OpenFolder(docs);
  auto* tree = Find<QTreeWidget>("dirDir");
  QTreeWidgetItem* current = tree->currentItem();
  current->setExpanded(true);
  ASSERT_EQ(current->childCount(), 1);
  std::filesystem::remove(gone);
  MessageBoxes boxes;
  const QRect rect = tree->visualItemRect(current->child(0));
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                    QPoint(std::max(rect.left(), 0) + 4, rect.center().y()));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "The directory " + gone +
                                     " (No such file or directory) cannot be read. The directory "
                                     "box stays where it was.");
  EXPECT_EQ(tree->currentItem(), current);
  EXPECT_EQ(job().dirDir, docs);
  EXPECT_EQ(Items("filFile"), std::vector<std::string>{"a.txt"});
}

// The tree follows the disk: a folder made after its parent was read shows
// up when the parent is opened again, or at once on F5; one removed goes.
TEST_F(Step2Test, TheTreeShowsFoldersMadeSinceItWasRead) {
  const std::string docs = dir_.MakeDir("docs");
  dir_.MakeDir("docs/b");
  OpenOnStep2();
  ChooseMethod("optIndividual");
  OpenFolder(docs);
  auto* tree = Find<QTreeWidget>("dirDir");
  QTreeWidgetItem* current = tree->currentItem();
  const auto children = [current] {
    std::vector<std::string> names;
    for (int i = 0; i < current->childCount(); ++i) {
      names.push_back(current->child(i)->text(0).toStdString());
    }
    return names;
  };
  current->setExpanded(true);
  ASSERT_EQ(children(), std::vector<std::string>{"b"});
  dir_.MakeDir("docs/a");
  dir_.MakeDir("docs/c");
  current->setExpanded(false);
  current->setExpanded(true);
  EXPECT_EQ(children(), (std::vector<std::string>{"a", "b", "c"}));
  std::filesystem::remove(dir_.PathOf("docs/b"));
  dir_.MakeDir("docs/d");
  dir_.WriteFile("docs/new.txt");
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_F5);
  EXPECT_EQ(children(), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(Items("filFile"), std::vector<std::string>{"new.txt"});
  EXPECT_EQ(tree->currentItem(), current);
  EXPECT_EQ(tree->toolTip(), "Displays list of directories in under current drive");
  EXPECT_TRUE(current->toolTip(0).isEmpty());
}

// A folder's files come into the file list from a thread of their own, in
// the browser's order. A folder chosen while the one before is still being
// read wins: the list never shows a folder it has left, at once or later.
TEST_F(Step2Test, TheFileListShowsOnlyTheFolderChosenLast) {
  constexpr int kLarge = 1000;
  const std::string large = dir_.MakeDir("large");
  const std::string small = dir_.MakeDir("small");
  for (int i = kLarge - 1; i >= 0; --i) {
    char name[32];
    std::snprintf(name, sizeof name, "large/f%04d.txt", i);
    dir_.WriteFile(name);
  }
  for (const char* name : {"b.txt", "A.TXT", ".hidden"}) dir_.WriteFile(std::string("small/") + name);
  const std::vector<std::string> small_files{".hidden", "A.TXT", "b.txt"};
  OpenOnStep2();
  ChooseMethod("optIndividual");
  const QAbstractItemModel* files = Find<QListView>("filFile")->model();

  OpenFolder(large);
  EXPECT_TRUE(QTest::qWaitFor([files] { return files->rowCount() == kLarge; }, 20000));
  EXPECT_EQ(files->index(0, 0).data().toString(), "f0000.txt");
  EXPECT_EQ(files->index(kLarge - 1, 0).data().toString(), "f0999.txt");
  OpenFolder(small);
  EXPECT_LE(files->rowCount(), 3);  // the large folder's files went at once
  EXPECT_EQ(Items("filFile"), small_files);

  auto* tree = Find<QTreeWidget>("dirDir");
  QTreeWidgetItem* small_item = tree->currentItem();
  QTreeWidgetItem* parent = small_item->parent();
  QTreeWidgetItem* large_item = nullptr;
  for (int i = 0; i < parent->childCount(); ++i) {
    if (parent->child(i)->data(0, Qt::UserRole).toByteArray().toStdString() == large) {
      large_item = parent->child(i);
    }
  }
  ASSERT_NE(large_item, nullptr);
  int most = 0;
  QObject context;
  QObject::connect(files, &QAbstractItemModel::modelReset, &context,
                   [&most, files] { most = std::max(most, files->rowCount()); });
  tree->setCurrentItem(large_item);
  tree->setCurrentItem(small_item);
  EXPECT_EQ(Items("filFile"), small_files);
  EXPECT_EQ(job().dirDir, small);
  EXPECT_LE(most, 3);
}

// Files and folders dropped from a file manager go into the job whatever
// method shows: folders with the subdirectories question, as Add asks it,
// and the method widens to one that shows them.
TEST_F(Step2Test, DroppedFilesAndFoldersJoinTheLists) {
  const std::string a = dir_.WriteFile("a b.txt");
  const std::string docs = dir_.MakeDir("docs");
  OpenOnStep2();
  ChooseMethod("optExtension");
  const auto drop = [this](const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    data.setUrls(urls);
    QWidget* step2 = Find("pctStep2");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(step2, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(step2, &dropped);
  };
  MessageBoxes boxes({QMessageBox::Yes});
  drop({docs});
  EXPECT_EQ(job().lstDir, std::vector<std::string>{docs + "  *Include Subdirectories*"});
  EXPECT_EQ(job().method, SelectionMethod::kExtension);
  drop({a});
  EXPECT_EQ(job().lstFile, std::vector<std::string>{"a b.txt * " + dir_.path()});
  EXPECT_EQ(job().method, SelectionMethod::kBoth);
  EXPECT_EQ(ShownPanels(), (std::set<std::string>{"pctStep2", "pctDir", "pctIndividual"}));
  EXPECT_EQ(boxes.shown.size(), 1u);
}

// The drive list holds the mounted volumes and shows the one of the folder.
TEST_F(Step2Test, TheDriveListShowsTheVolumeOfTheFolder) {
  OpenOnStep2();
  ChooseMethod("optIndividual");
  auto* drives = Find<QComboBox>("drvDrive");
  ASSERT_GE(drives->count(), 1);
  const std::string volume = drives->currentData().toByteArray().toStdString();
  EXPECT_EQ(volume, window_->port().screen().volume);
  EXPECT_TRUE(dir_.path().starts_with(volume)) << volume;
  auto* tree = Find<QTreeWidget>("dirDir");
  EXPECT_EQ(tree->topLevelItem(0)->text(0).toStdString(), volume);
  EXPECT_EQ(tree->currentItem()->data(0, Qt::UserRole).toByteArray().toStdString(), dir_.path());
}

// In a narrow tree, a deep folder the browser opens at shows its whole name,
// and the tree scrolls sideways no further than that needs (the levels above
// stay readable).
TEST_F(Step2Test, ADeepFolderIsShownWholeWithoutScrollingFurtherThanNeeded) {
  const std::string deep = dir_.MakeDir("a/b/photos");
  OpenOnStep2({800, 600}, deep);
  ChooseMethod("optIndividual");
  auto* tree = Find<QTreeWidget>("dirDir");
  QTreeWidgetItem* current = tree->currentItem();
  ASSERT_NE(current, nullptr);
  const QRect rect = tree->visualItemRect(current);
  const int text_end = rect.left() + tree->fontMetrics().horizontalAdvance(current->text(0));
  const int width = tree->viewport()->width();
  EXPECT_GE(rect.left(), 0);
  EXPECT_LE(text_end, width);
  if (tree->horizontalScrollBar()->value() > 0) {
    EXPECT_GT(text_end, width - 24);
  }
}

// At every window size, each state of Step 2 and Step 3 (with its plan table
// too) shows its controls whole, inside their panels, none over another.
TEST_F(Step2Test, Step2AndStep3StayWholeAndApartAtEverySize) {
  OpenOnStep2();
  for (const QSize size : {QSize(800, 600), QSize(1024, 768), QSize(1920, 1080)}) {
    const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
    window_->resize(size);
    ExpectWholeAndApart(Find("pctStep2"), at + " method row");
    for (const char* option : {"optIndividual", "optExtension"}) {
      window_->cmdStep1_Click();
      Click("cmdProceed1");
      ChooseMethod(option);
      ExpectWholeAndApart(Find("pctStep2"), at + " " + option);
    }
    window_->cmdStep3_Click();
    Click("optAppendNumber");
    ExpectWholeAndApart(Find("pctStep3"), at + " Step 3");
    Click("cmdTable");
    ExpectWholeAndApart(Find("pctStep3"), at + " Step 3, plan table");
    Click("cmdTable");
    window_->cmdStep1_Click();
    Click("cmdProceed1");
  }
}

}  // namespace
}  // namespace qtarvox
