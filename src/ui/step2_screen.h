// Step 2: the method row, the browser (drive list, folder tree, file list)
// and the list panels of the chosen directories and extensions or of the
// chosen files. Every rule is the wizard's; this screen shows its state and
// hands it the user's clicks.
#pragma once

#include <QThreadPool>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/layout.h"
#include "ui/screen.h"

class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qtarvox {

class Wizard;

class Step2Screen final : public Screen {
 public:
  // `follow` is called after each operation: the wizard may have moved to
  // another step.
  Step2Screen(Wizard& wizard, std::function<void()> follow, QWidget* parent);

  // The three panels inside this one.
  Screen* pctDir() const { return pctDir_; }
  Screen* pctExtension() const { return pctExtension_; }
  Screen* pctIndividual() const { return pctIndividual_; }

  void Position(const FrameMetrics& metrics) override;
  // Focus to the OK button when it is enabled, else to the folder tree.
  void Entered() override;
  // Shows the wizard's state: the method, the panels, the browser, the lists.
  void Render();

  void cmdFileType_Click();
  void cmdProceed2_Click();
  void cmdCancel2_Click();
  void cmdAddDir_Click();
  void cmdSelectAllDir_Click();
  void cmdRemoveDir_Click();
  void cmdAddExt_Click();
  void cmdSelectAllExt_Click();
  void cmdRemoveExt_Click();
  void cmdAddFile_Click();
  void cmdSelectAllFile_Click();
  void cmdRemoveFile_Click();

 protected:
  // Files and folders dragged from a file manager are taken in here,
  // whichever method shows.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void MakeMethodRow();
  void MakeBrowser();
  void MakeExtensionPanel();
  void MakeIndividualPanel();
  void Relayout();
  // What the layout needs of the controls; metrics_ must be set.
  Step2Input LayoutInput() const;
  void PlaceFileChoosers(const FileChoosersLayout& f);
  void RenderDrives();
  void RenderTree();
  void drvDrive_Change(int index);
  void dirDir_Change(QTreeWidgetItem* item);
  void dirDir_Expanded(QTreeWidgetItem* item);
  void dirDir_Refresh();
  bool LoadChildren(QTreeWidgetItem* item, bool tell);
  QTreeWidgetItem* ItemOf(const std::string& path);
  // Lists the file list's folder on the lister's thread; the names come back
  // to the wizard on this thread, where it drops those it no longer wants.
  void StartListing(uint64_t listing, const std::string& folder, const std::string& pattern);
  void Changed();

  Wizard& wizard_;
  std::function<void()> follow_;
  std::optional<FrameMetrics> metrics_;
  std::optional<Step2Layout> layout_;

  // The method row.
  QLabel* lblChoose_;
  QRadioButton* optIndividual_;
  QRadioButton* optExtension_;
  QRadioButton* optBoth_;
  QButtonGroup* methods_;
  QPushButton* cmdFileType_;
  QFrame* SepH4_;
  QFrame* SepH5_;
  QPushButton* cmdCancel2_;
  QPushButton* cmdProceed2_;

  // The browser.
  Screen* pctDir_;
  QLabel* lblDir_;
  QLineEdit* txtExt_;
  QComboBox* drvDrive_;
  QTreeWidget* dirDir_;
  QListView* filFile_;
  std::string tree_volume_;  // the volume the tree shows
  int tree_reads_ = -1;      // the browser reading the tree shows

  // Directories and extensions.
  Screen* pctExtension_;
  QLabel* lblDirList_;
  QListView* lstDir_;
  QPushButton* cmdAddDir_;
  QPushButton* cmdSelectAllDir_;
  QPushButton* cmdRemoveDir_;
  QLabel* lblExtList_;
  QListView* lstExt_;
  QLineEdit* txtExtList_;
  QPushButton* cmdAddExt_;
  QPushButton* cmdSelectAllExt_;
  QPushButton* cmdRemoveExt_;

  // Files chosen one by one.
  Screen* pctIndividual_;
  QLabel* lblFileList_;
  QListView* lstFile_;
  QPushButton* cmdAddFile_;
  QPushButton* cmdSelectAllFile_;
  QPushButton* cmdRemoveFile_;

  // The file list's folders are read here, one listing at a time; one asked
  // for after it makes a listing still waiting give up before it starts.
  uint64_t listing_started_ = 0;
  std::shared_ptr<std::atomic<uint64_t>> latest_listing_ =
      std::make_shared<std::atomic<uint64_t>>(0);
  // Declared last, so it goes first: it waits for a listing under way, which
  // still reaches this screen.
  QThreadPool lister_;
};

}  // namespace qtarvox
