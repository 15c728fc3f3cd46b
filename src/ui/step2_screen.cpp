#include "ui/step2_screen.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>
#include <map>
#include <set>

#include "ui/name_list.h"
#include "ui/widgets.h"
#include "wizard/wizard.h"

namespace qtarvox {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;

// The height `text` needs when wrapped at `width` in the widget's font.
double TextHeight(const QWidget* widget, const char* text, double width) {
  const QRect bounds(0, 0, static_cast<int>(width), 100000);
  return widget->fontMetrics()
      .boundingRect(bounds, Qt::TextWordWrap, QString::fromLatin1(text))
      .height();
}

// The list's tooltip: its current row's text, or its tooltip at rest.
void TooltipOfCurrent(QListView* list, const char* at_rest) {
  const QModelIndex current = list->currentIndex();
  list->setToolTip(current.isValid() ? current.data().toString() : QString::fromLatin1(at_rest));
}

// Scrolls the tree to its current folder: the folder in the middle, and
// sideways only as far as its whole name needs, never past its start, so
// that in a narrow tree the names of the levels above stay readable too.
void ShowCurrent(QTreeWidget* tree) {
  QTreeWidgetItem* item = tree->currentItem();
  if (item == nullptr) return;
  tree->scrollToItem(item, QAbstractItemView::PositionAtCenter);
  QScrollBar* across = tree->horizontalScrollBar();
  const int start = tree->visualItemRect(item).left() + across->value();
  const int end = start + tree->fontMetrics().horizontalAdvance(item->text(0)) +
                  2 * tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 4;
  const int needed = end - tree->viewport()->width();
  across->setValue(std::clamp(needed, 0, std::max(0, start - tree->indentation())));
}

QTreeWidgetItem* MakeFolderItem(const std::string& path, const QString& text) {
  auto* item = new QTreeWidgetItem(QStringList{text});
  item->setData(0, kPathRole, Kept(path));
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

std::string PathOf(const QTreeWidgetItem* item) { return FromKept(item->data(0, kPathRole)); }

std::string DriveText(const Volume& volume) {
  return volume.label.empty() ? volume.root : volume.root + "  [" + volume.label + "]";
}

}  // namespace

Step2Screen::Step2Screen(Wizard& wizard, std::function<void()> follow, QWidget* parent)
    : Screen("pctStep2", parent), wizard_(wizard), follow_(std::move(follow)) {
  lister_.setMaxThreadCount(1);
  MakeMethodRow();
  // The list panels come after the browser: the individual one lies over
  // the browser's empty right margin.
  pctDir_ = new Screen("pctDir", this);
  pctExtension_ = new Screen("pctExtension", this);
  pctIndividual_ = new Screen("pctIndividual", this);
  MakeBrowser();
  MakeExtensionPanel();
  MakeIndividualPanel();
  for (Screen* panel : {pctDir_, pctExtension_, pctIndividual_}) panel->hide();
  setAcceptDrops(true);
}

namespace {

// The local paths a drag carries, byte for byte.
std::vector<std::string> DroppedPaths(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const QByteArray bytes = QFile::encodeName(url.toLocalFile());
    paths.emplace_back(bytes.constData(), static_cast<size_t>(bytes.size()));
  }
  return paths;
}

}  // namespace

void Step2Screen::dragEnterEvent(QDragEnterEvent* event) {
  if (!wizard_.screen().running && !DroppedPaths(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void Step2Screen::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = DroppedPaths(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  wizard_.AddDropped(paths);
  Changed();
}

void Step2Screen::MakeMethodRow() {
  lblChoose_ = MakeLabel("lblChoose", ui_text::kLblChoose, this);
  lblChoose_->setWordWrap(true);
  optIndividual_ = MakeButton<QRadioButton>(ui_text::kOptIndividual, this);
  optExtension_ = MakeButton<QRadioButton>(ui_text::kOptExtension, this);
  optBoth_ = MakeButton<QRadioButton>(ui_text::kOptBoth, this);
  methods_ = new QButtonGroup(this);
  const std::pair<QRadioButton*, SelectionMethod> options[] = {
      {optIndividual_, SelectionMethod::kIndividual},
      {optExtension_, SelectionMethod::kExtension},
      {optBoth_, SelectionMethod::kBoth}};
  for (const auto& [button, method] : options) {
    methods_->addButton(button);
    connect(button, &QRadioButton::toggled, this, [this, method](bool on) {
      if (on) wizard_.SelectMethodOption(method);
    });
  }
  cmdFileType_ = MakeButton<QPushButton>(ui_text::kCmdFileType, this);
  SepH4_ = MakeRule("SepH4", QFrame::HLine, this);
  SepH5_ = MakeRule("SepH5", QFrame::HLine, this);
  cmdCancel2_ = MakeButton<QPushButton>(ui_text::kCmdCancel2, this);
  cmdProceed2_ = MakeButton<QPushButton>(ui_text::kCmdProceed2, this);
  connect(cmdFileType_, &QPushButton::clicked, this, [this] { cmdFileType_Click(); });
  connect(cmdCancel2_, &QPushButton::clicked, this, [this] { cmdCancel2_Click(); });
  connect(cmdProceed2_, &QPushButton::clicked, this, [this] { cmdProceed2_Click(); });
}

void Step2Screen::MakeBrowser() {
  lblDir_ = Make<QLabel>("lblDir", pctDir_);
  lblDir_->setWordWrap(true);
  txtExt_ = Make<QLineEdit>("txtExt", pctDir_);
  txtExt_->setToolTip(QString::fromLatin1(ui_text::kTxtExtTooltip));
  txtExt_->setAccessibleName(QString::fromLatin1(ui_text::kTxtExtName));
  drvDrive_ = Make<QComboBox>("drvDrive", pctDir_);
  drvDrive_->setToolTip(QString::fromLatin1(ui_text::kDrvDriveTooltip));
  drvDrive_->setAccessibleName(QString::fromLatin1(ui_text::kDrvDriveName));
  dirDir_ = Make<QTreeWidget>("dirDir", pctDir_);
  dirDir_->setHeaderHidden(true);
  dirDir_->setIndentation(12);
  dirDir_->setColumnCount(1);
  dirDir_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  dirDir_->header()->setStretchLastSection(false);
  dirDir_->setToolTip(QString::fromLatin1(ui_text::kDirDirTooltip));
  dirDir_->setAccessibleName(QString::fromLatin1(ui_text::kDirDirName));
  filFile_ = MakeNameList("filFile", ui_text::kFilFileTooltip, pctDir_);
  filFile_->setAccessibleName(QString::fromLatin1(ui_text::kFilFileName));

  connect(txtExt_, &QLineEdit::textChanged, this, [this](const QString& text) {
    wizard_.PatternChanged(text.toStdString());
    Changed();
  });
  connect(drvDrive_, &QComboBox::activated, this, [this](int index) { drvDrive_Change(index); });
  connect(dirDir_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { dirDir_Change(item); });
  connect(dirDir_, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { dirDir_Expanded(item); });
  // A folder is read again each time it is opened, so folders made since
  // show up; F5 reads the current folder and its files again at once.
  connect(dirDir_, &QTreeWidget::itemCollapsed, this,
          [](QTreeWidgetItem* item) { item->setData(0, kLoadedRole, false); });
  auto* refresh = new QShortcut(QKeySequence::Refresh, dirDir_, nullptr, nullptr,
                                Qt::WidgetWithChildrenShortcut);
  connect(refresh, &QShortcut::activated, this, [this] { dirDir_Refresh(); });
  connect(filFile_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    wizard_.FileListClicked();
    TooltipOfCurrent(filFile_, ui_text::kFilFileTooltip);
    Changed();
  });
}

void Step2Screen::MakeExtensionPanel() {
  lblDirList_ = Make<QLabel>("lblDirList", pctExtension_);
  lstDir_ = MakeNameList("lstDir", ui_text::kLstDirTooltip, pctExtension_);
  lblDirList_->setBuddy(lstDir_);
  cmdAddDir_ = MakeButton<QPushButton>(ui_text::kCmdAddDir, pctExtension_);
  cmdSelectAllDir_ = MakeButton<QPushButton>(ui_text::kCmdSelectAllDir, pctExtension_);
  cmdRemoveDir_ = MakeButton<QPushButton>(ui_text::kCmdRemoveDir, pctExtension_);
  lblExtList_ = Make<QLabel>("lblExtList", pctExtension_);
  lblExtList_->setWordWrap(true);
  lstExt_ = MakeNameList("lstExt", ui_text::kLstExtTooltip, pctExtension_);
  lblExtList_->setBuddy(lstExt_);
  txtExtList_ = Make<QLineEdit>("txtExtList", pctExtension_);
  txtExtList_->setToolTip(QString::fromLatin1(ui_text::kTxtExtListTooltip));
  txtExtList_->setAccessibleName(QString::fromLatin1(ui_text::kTxtExtListName));
  cmdAddExt_ = MakeButton<QPushButton>(ui_text::kCmdAddExt, pctExtension_);
  cmdSelectAllExt_ = MakeButton<QPushButton>(ui_text::kCmdSelectAllExt, pctExtension_);
  cmdRemoveExt_ = MakeButton<QPushButton>(ui_text::kCmdRemoveExt, pctExtension_);

  connect(lstDir_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { TooltipOfCurrent(lstDir_, ui_text::kLstDirTooltip); });
  connect(txtExtList_, &QLineEdit::textChanged, this,
          [this](const QString& text) { wizard_.ExtensionTextChanged(text.toStdString()); });
  connect(cmdAddDir_, &QPushButton::clicked, this, [this] { cmdAddDir_Click(); });
  connect(cmdSelectAllDir_, &QPushButton::clicked, this, [this] { cmdSelectAllDir_Click(); });
  connect(cmdRemoveDir_, &QPushButton::clicked, this, [this] { cmdRemoveDir_Click(); });
  connect(cmdAddExt_, &QPushButton::clicked, this, [this] { cmdAddExt_Click(); });
  // Enter in the box adds what was typed, as its Add button does.
  connect(txtExtList_, &QLineEdit::returnPressed, cmdAddExt_, &QPushButton::click);
  connect(cmdSelectAllExt_, &QPushButton::clicked, this, [this] { cmdSelectAllExt_Click(); });
  connect(cmdRemoveExt_, &QPushButton::clicked, this, [this] { cmdRemoveExt_Click(); });
}

void Step2Screen::MakeIndividualPanel() {
  lblFileList_ = Make<QLabel>("lblFileList", pctIndividual_);
  lstFile_ = MakeNameList("lstFile", ui_text::kLstFileTooltip, pctIndividual_);
  lblFileList_->setBuddy(lstFile_);
  cmdAddFile_ = MakeButton<QPushButton>(ui_text::kCmdAddFile, pctIndividual_);
  cmdSelectAllFile_ = Make<QPushButton>("cmdSelectAllFile", pctIndividual_);
  cmdSelectAllFile_->setToolTip(QString::fromLatin1(ui_text::kCmdSelectAllFileTooltip));
  cmdRemoveFile_ = MakeButton<QPushButton>(ui_text::kCmdRemoveFile, pctIndividual_);

  connect(lstFile_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    wizard_.ChosenFilesClicked();
    TooltipOfCurrent(lstFile_, ui_text::kLstFileTooltip);
    Changed();
  });
  connect(cmdAddFile_, &QPushButton::clicked, this, [this] { cmdAddFile_Click(); });
  connect(cmdSelectAllFile_, &QPushButton::clicked, this, [this] { cmdSelectAllFile_Click(); });
  connect(cmdRemoveFile_, &QPushButton::clicked, this, [this] { cmdRemoveFile_Click(); });
}

void Step2Screen::Changed() { follow_(); }

// --- The method row and the lists -------------------------------------------------

void Step2Screen::cmdFileType_Click() {
  wizard_.PressMethodOk();
  Changed();
  FocusIfShown(dirDir_);
}

void Step2Screen::cmdProceed2_Click() {
  wizard_.ProceedStep2();
  Changed();
}

void Step2Screen::cmdCancel2_Click() {
  wizard_.BackStep2();
  Changed();
}

void Step2Screen::cmdAddDir_Click() {
  wizard_.AddDirectoryItem(wizard_.job().dirDir);
  Changed();
}

void Step2Screen::cmdSelectAllDir_Click() { lstDir_->selectAll(); }

void Step2Screen::cmdRemoveDir_Click() {
  wizard_.RemoveDirectories(SelectedRows(lstDir_));
  Changed();
}

void Step2Screen::cmdAddExt_Click() {
  wizard_.AddExtension();
  Changed();
}

void Step2Screen::cmdSelectAllExt_Click() { lstExt_->selectAll(); }

void Step2Screen::cmdRemoveExt_Click() {
  wizard_.RemoveExtensions(SelectedRows(lstExt_));
  Changed();
}

void Step2Screen::cmdAddFile_Click() {
  // Only a list that shows the directory box's folder is added from.
  if (wizard_.screen().files_pending) return;
  const NameListModel* files = NamesOf(filFile_);
  std::vector<std::string> names;
  for (const size_t row : SelectedRows(filFile_)) names.push_back(files->NameAt(row));
  wizard_.AddFiles(wizard_.job().dirDir, names);
  Changed();
}

void Step2Screen::cmdSelectAllFile_Click() {
  (wizard_.screen().chosen_files_active ? lstFile_ : filFile_)->selectAll();
}

void Step2Screen::cmdRemoveFile_Click() {
  wizard_.RemoveFiles(SelectedRows(lstFile_));
  Changed();
}

// --- The browser -------------------------------------------------------------------

void Step2Screen::drvDrive_Change(int index) {
  // A volume that cannot be read leaves the wizard on the previous one, which
  // the list then shows again.
  wizard_.ChooseVolume(FromKept(drvDrive_->itemData(index)));
  Changed();
}

void Step2Screen::dirDir_Change(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const std::string path = PathOf(item);
  if (path == wizard_.job().dirDir) return;
  // A folder that cannot be read leaves the tree on the folder before.
  wizard_.OpenDirectory(path);
  Changed();
}

void Step2Screen::dirDir_Expanded(QTreeWidgetItem* item) {
  if (LoadChildren(item, true)) return;
  const QSignalBlocker quiet(dirDir_);
  item->setExpanded(false);
}

void Step2Screen::dirDir_Refresh() {
  QTreeWidgetItem* item = dirDir_->currentItem();
  if (item == nullptr) return;
  item->setData(0, kLoadedRole, false);
  LoadChildren(item, true);
  wizard_.OpenDirectory(wizard_.job().dirDir);
  Changed();
}

bool Step2Screen::LoadChildren(QTreeWidgetItem* item, bool tell) {
  if (item->data(0, kLoadedRole).toBool()) return true;
  const std::string path = PathOf(item);
  std::vector<std::string> names;
  if (wizard_.Subdirectories(path, names, tell)) return false;
  item->setData(0, kLoadedRole, true);
  // Read again: the folders still there keep their items (and what is open
  // below them), those gone are dropped, new ones come in at their places.
  std::set<std::string> listed;
  for (const std::string& name : names) listed.insert(Wizard::SubdirectoryPath(path, name));
  {
    const QSignalBlocker quiet(dirDir_);
    for (int i = item->childCount() - 1; i >= 0; --i) {
      if (!listed.contains(PathOf(item->child(i)))) delete item->takeChild(i);
    }
    std::map<std::string, QTreeWidgetItem*> shown;
    for (int i = 0; i < item->childCount(); ++i) shown[PathOf(item->child(i))] = item->child(i);
    int at = 0;
    for (const std::string& name : names) {
      const std::string child = Wizard::SubdirectoryPath(path, name);
      const auto found = shown.find(child);
      if (found != shown.end()) {
        at = item->indexOfChild(found->second) + 1;
      } else {
        item->insertChild(at++, MakeFolderItem(child, Shown(name)));
      }
    }
  }
  item->setChildIndicatorPolicy(names.empty() ? QTreeWidgetItem::DontShowIndicatorWhenChildless
                                              : QTreeWidgetItem::ShowIndicator);
  // The current folder may have been among those gone.
  if (QTreeWidgetItem* current = dirDir_->currentItem()) dirDir_Change(current);
  return true;
}

QTreeWidgetItem* Step2Screen::ItemOf(const std::string& path) {
  QTreeWidgetItem* item = dirDir_->topLevelItem(0);
  if (item == nullptr) return nullptr;
  const std::string root = PathOf(item);
  std::string at = root;
  for (const std::string& name : Wizard::FoldersBetween(root, path)) {
    at = Wizard::SubdirectoryPath(at, name);
    // A folder the tree cannot list (one that may only be passed through)
    // still leads to the folder below it.
    LoadChildren(item, false);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < item->childCount() && next == nullptr; ++i) {
      if (PathOf(item->child(i)) == at) next = item->child(i);
    }
    if (next == nullptr) {
      next = MakeFolderItem(at, Shown(name));
      item->addChild(next);
    }
    item->setExpanded(true);
    item = next;
  }
  return item;
}

void Step2Screen::RenderDrives() {
  const std::vector<Volume>& volumes = wizard_.Volumes();
  const QSignalBlocker quiet(drvDrive_);
  bool same = drvDrive_->count() == static_cast<int>(volumes.size());
  for (int i = 0; same && i < drvDrive_->count(); ++i) {
    same = FromKept(drvDrive_->itemData(i)) == volumes[static_cast<size_t>(i)].root;
  }
  if (!same) {
    drvDrive_->clear();
    for (const Volume& volume : volumes)
      drvDrive_->addItem(Shown(DriveText(volume)), Kept(volume.root));
  }
  drvDrive_->setCurrentIndex(drvDrive_->findData(Kept(wizard_.screen().volume)));
}

void Step2Screen::RenderTree() {
  const ScreenState s = wizard_.screen();
  const QSignalBlocker quiet(dirDir_);
  if (s.volume != tree_volume_ || s.browser_reads != tree_reads_) {
    dirDir_->clear();
    tree_volume_ = s.volume;
    tree_reads_ = s.browser_reads;
    if (!s.volume.empty()) dirDir_->addTopLevelItem(MakeFolderItem(s.volume, Shown(s.volume)));
  }
  QTreeWidgetItem* item = ItemOf(wizard_.job().dirDir);
  if (item != nullptr && dirDir_->currentItem() != item) {
    dirDir_->setCurrentItem(item);
    ShowCurrent(dirDir_);
  }
}

// --- Showing the state ---------------------------------------------------------------

void Step2Screen::Render() {
  const ScreenState s = wizard_.screen();
  const Job& job = wizard_.job();
  {
    QRadioButton* selected = s.method_option == SelectionMethod::kExtension    ? optExtension_
                             : s.method_option == SelectionMethod::kIndividual ? optIndividual_
                                                                               : optBoth_;
    const QSignalBlocker quiet(selected);
    selected->setChecked(true);
  }
  cmdFileType_->setEnabled(s.cmdFileType_enabled);
  cmdProceed2_->setEnabled(s.cmdProceed2_enabled);
  pctDir_->setVisible(s.file_panels);
  pctExtension_->setVisible(s.file_panels && s.extension_screen);
  pctIndividual_->setVisible(s.file_panels && !s.extension_screen);
  if (layout_) PlaceFileChoosers(s.extension_screen ? layout_->extension : layout_->individual);

  lblDir_->setText(QString::fromLatin1(s.lblDir()));
  if (txtExt_->text() != Shown(s.txtExt)) {
    const QSignalBlocker quiet(txtExt_);
    txtExt_->setText(Shown(s.txtExt));
  }
  if (s.file_panels) {
    RenderDrives();
    RenderTree();
    if (s.files_pending && s.files_listing != listing_started_) {
      StartListing(s.files_listing, job.dirDir, s.txtExt);
    }
    NamesOf(filFile_)->Show(s.filFile);
  }
  // Until its listing is in, the file list may show another folder's files,
  // or none yet: it cannot be added from.
  cmdAddFile_->setEnabled(!s.files_pending);
  if (s.files_pending) {
    filFile_->setCursor(Qt::BusyCursor);
  } else {
    filFile_->unsetCursor();
  }

  const std::pair<QLabel*, const std::string*> captions[] = {
      {lblDirList_, &s.lblDirList}, {lblExtList_, &s.lblExtList}, {lblFileList_, &s.lblFileList}};
  for (const auto& [label, caption] : captions) label->setText(Shown(*caption));
  NamesOf(lstDir_)->Show(job.lstDir);
  NamesOf(lstExt_)->Show(job.lstExt);
  NamesOf(lstFile_)->Show(job.lstFile);
  // A list does not take its name from its label as text boxes do.
  lstDir_->setAccessibleName(lblDirList_->text());
  lstExt_->setAccessibleName(lblExtList_->text());
  lstFile_->setAccessibleName(lblFileList_->text());
  if (txtExtList_->text() != Shown(job.txtExtList)) {
    const QSignalBlocker quiet(txtExtList_);
    txtExtList_->setText(Shown(job.txtExtList));
  }
  cmdSelectAllFile_->setText(QString::fromLatin1(s.cmdSelectAllFile_caption()));
}

void Step2Screen::StartListing(uint64_t listing, const std::string& folder,
                               const std::string& pattern) {
  listing_started_ = listing;
  latest_listing_->store(listing);
  lister_.start([this, listing, folder, pattern, latest = latest_listing_] {
    if (latest->load() != listing) return;
    auto names = std::make_shared<std::vector<std::string>>();
    // A folder that cannot be read shows no files, as when it is read at once.
    if (Wizard::ListFileList(folder, pattern, *names)) names->clear();
    QMetaObject::invokeMethod(
        this,
        [this, listing, names] {
          wizard_.FilesListed(listing, std::move(*names));
          // Nothing but this screen shows the file list.
          Render();
        },
        Qt::QueuedConnection);
  });
}

void Step2Screen::Entered() {
  Render();
  ShowCurrent(dirDir_);
  if (cmdFileType_->isEnabled() && cmdFileType_->isVisible()) {
    FocusIfShown(cmdFileType_);
  } else {
    FocusIfShown(dirDir_);
  }
}

// --- Layout ------------------------------------------------------------------------

void Step2Screen::Position(const FrameMetrics& metrics) {
  metrics_ = metrics;
  Relayout();
}

void Step2Screen::Relayout() {
  if (!metrics_) return;
  const Step2Layout s = PositionStep2Screen(LayoutInput());
  layout_ = s;
  const std::pair<QWidget*, const Rect*> placed[] = {
      {lblChoose_, &s.lblChoose},
      {optIndividual_, &s.optIndividual},
      {optExtension_, &s.optExtension},
      {optBoth_, &s.optBoth},
      {cmdFileType_, &s.cmdFileType},
      {pctExtension_, &s.pctExtension},
      {lblDirList_, &s.lblDirList},
      {lstDir_, &s.lstDir},
      {cmdAddDir_, &s.cmdAddDir},
      {cmdSelectAllDir_, &s.cmdSelectAllDir},
      {cmdRemoveDir_, &s.cmdRemoveDir},
      {lblExtList_, &s.lblExtList},
      {lstExt_, &s.lstExt},
      {txtExtList_, &s.txtExtList},
      {cmdAddExt_, &s.cmdAddExt},
      {cmdSelectAllExt_, &s.cmdSelectAllExt},
      {cmdRemoveExt_, &s.cmdRemoveExt},
      {cmdCancel2_, &s.cmdCancel2},
      {cmdProceed2_, &s.cmdProceed2},
  };
  for (const auto& [widget, rect] : placed) PlaceWithin(widget, *rect);
  const double pw = metrics_->screen.width;
  PlaceHorizontalRule(SepH4_, s.SepH4, 0, pw);
  PlaceHorizontalRule(SepH5_, s.SepH5, 0, pw);
  PlaceFileChoosers(wizard_.screen().extension_screen ? s.extension : s.individual);
}

Step2Input Step2Screen::LayoutInput() const {
  Step2Input in;
  in.window_width = metrics_->window_width;
  in.panel_width = metrics_->screen.width;
  in.panel_height = metrics_->screen.height;
  in.line_height = metrics_->line_height;
  in.lblChoose_text_height = [this](double width) {
    return TextHeight(lblChoose_, ui_text::kLblChoose, width);
  };
  in.lblDir_text_height = [this](double width) {
    return std::max(TextHeight(lblDir_, kChooseDirectoriesCaption, width),
                    TextHeight(lblDir_, kBrowseFilesCaption, width));
  };
  // The longest caption the extension list's label shows.
  in.lblExtList_text_height = [this](double width) {
    const std::string longest = CountCaption(kExtListShownTwoBlanks, 999);
    return TextHeight(lblExtList_, longest.c_str(), width);
  };
  in.optIndividual_natural = optIndividual_->sizeHint().width();
  in.optExtension_natural = optExtension_->sizeHint().width();
  in.optBoth_natural = optBoth_->sizeHint().width();
  const auto widest = [](const QWidget* button, std::initializer_list<const char*> captions) {
    double width = 0;
    for (const char* caption : captions) width = std::max(width, CaptionWidth(button, caption));
    return width;
  };
  in.cmdFileType_natural = widest(cmdFileType_, {ui_text::kCmdFileType.caption});
  in.dir_buttons_natural =
      widest(cmdAddDir_, {ui_text::kCmdAddDir.caption, ui_text::kCmdSelectAllDir.caption,
                          ui_text::kCmdRemoveDir.caption});
  in.ext_buttons_natural =
      widest(cmdAddExt_, {ui_text::kCmdAddExt.caption, ui_text::kCmdSelectAllExt.caption,
                          ui_text::kCmdRemoveExt.caption});
  in.file_buttons_natural =
      widest(cmdAddFile_, {ui_text::kCmdAddFile.caption, kSelectAllChosenFiles,
                           kSelectAllBrowserFiles, ui_text::kCmdRemoveFile.caption});
  in.button_natural_height = CaptionHeight(cmdAddDir_);
  return in;
}

void Step2Screen::PlaceFileChoosers(const FileChoosersLayout& f) {
  const std::pair<QWidget*, const Rect*> placed[] = {
      {pctDir_, &f.pctDir},     {lblDir_, &f.lblDir}, {txtExt_, &f.txtExt},
      {drvDrive_, &f.drvDrive}, {dirDir_, &f.dirDir}, {filFile_, &f.filFile},
  };
  for (const auto& [widget, rect] : placed) PlaceWithin(widget, *rect);
  if (!layout_) return;
  const FileChoosersLayout& i = layout_->individual;
  const std::pair<QWidget*, const Rect*> individual[] = {
      {pctIndividual_, &i.pctIndividual},
      {lblFileList_, &i.lblFileList},
      {lstFile_, &i.lstFile},
      {cmdAddFile_, &i.cmdAddFile},
      {cmdSelectAllFile_, &i.cmdSelectAllFile},
      {cmdRemoveFile_, &i.cmdRemoveFile},
  };
  for (const auto& [widget, rect] : individual) PlaceWithin(widget, *rect);
}

}  // namespace qtarvox
