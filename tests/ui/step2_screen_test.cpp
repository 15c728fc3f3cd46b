// Step 2 as a user drives it.
#include <QMimeData>
#include <QUrl>

#include "run/settings.h"
#include "selection/step2.h"
#include "temp_dir.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

class Step2Test : public WindowTest {
 protected:
  // A window on Step 2 with Uppercase accepted, its browser in `dir_`.
  void OpenOnStep2() {
    RememberDirectory(Job());  // no folder of an earlier test comes back
    Job job;
    job.dirDir = dir_.path();
    Open(std::move(job));
    window_->cmdStep1_Click();
    Tick(0);
    Click("cmdProceed1");
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctStep2"});
  }

  void ChooseMethod(const char* option) {
    Click(option);
    Click("cmdFileType");
  }

  TempDir dir_;
};

TEST_F(Step2Test, DirectoriesAndExtensionsAreAddedSelectedAndRemoved) {
  const std::string sub = dir_.MakeDir("sub");
  const std::string aaa = dir_.MakeDir("aaa");
  OpenOnStep2();
  ChooseMethod("optExtension");
  for (const auto& [folder, answer] : {std::pair{sub, QMessageBox::Yes}, {aaa, QMessageBox::No}}) {
    OpenFolder(folder);
    MessageBoxes boxes({answer});
    Click("cmdAddDir");
    EXPECT_EQ(boxes.shown.size(), 1u);
  }
  EXPECT_EQ(Items("lstDir"), (std::vector<std::string>{aaa, sub + "  *Include Subdirectories*"}));
  EXPECT_EQ(Text("lblDirList"), "List of Directory(s) choosen : *2*");
  for (const char* typed : {"txt", "doc"}) {
    Type("txtExtList", typed);
    Click("cmdAddExt");
  }
  EXPECT_EQ(Items("lstExt"), (std::vector<std::string>{"*.txt", "*.doc"}));
  Select("lstExt", {1});
  Click("cmdRemoveExt");
  Select("lstDir", {0});
  Click("cmdRemoveDir");
  Click("cmdSelectAllExt");
  EXPECT_EQ(SelectedCount("lstExt"), 1);
  Click("cmdSelectAllDir");
  EXPECT_EQ(SelectedCount("lstDir"), 1);
  Click("cmdProceed2");
  EXPECT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  EXPECT_EQ(job().lstDir, std::vector<std::string>{sub + "  *Include Subdirectories*"});
  EXPECT_EQ(job().lstExt, std::vector<std::string>{"*.txt"});
}

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
  OpenFolder(docs);
  EXPECT_EQ(job().dirDir, docs);
  EXPECT_EQ(Items("filFile"), (std::vector<std::string>{".hidden.txt", "A.TXT", "b.txt", "c.doc"}));
  Type("txtExt", "*.txt ");
  EXPECT_EQ(Items("filFile"), (std::vector<std::string>{".hidden.txt", "A.TXT", "b.txt"}));

  Select("filFile", {1, 2});
  Click("cmdAddFile");
  EXPECT_EQ(Items("lstFile"), (std::vector<std::string>{"A.TXT * " + docs, "b.txt * " + docs}));
  EXPECT_EQ(Text("lblFileList"), "List of File(s) choosen : *2*");
  EXPECT_EQ(SelectedCount("filFile"), 2);  // left as it was
  Click("cmdAddFile");  // no list refuses a duplicate
  EXPECT_EQ(Items("lstFile").size(), 4u);

  Select("lstFile", {0});
  Click("cmdSelectAllFile");
  EXPECT_EQ(SelectedCount("lstFile"), 4);
  Click("cmdRemoveFile");
  EXPECT_TRUE(Items("lstFile").empty());
  EXPECT_EQ(Text("lblFileList"), "List of File(s) choosen : *0*");
}

// Files and folders dropped from a file manager go into the job whatever method shows.
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

}  // namespace
}  // namespace qtarvox
