#include "ui/step3_screen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>

#include "run/run_counts.h"
#include "run/run_driver.h"
#include "ui/plan_table.h"
#include "ui/widgets.h"
#include "ui/window_ports.h"
#include "wizard/wizard.h"

namespace qtarvox {
namespace {

QPlainTextEdit* MakeTextBox(const char* name, const char* tooltip, QWidget* parent) {
  auto* box = Make<QPlainTextEdit>(name, parent);
  box->setReadOnly(true);
  box->setUndoRedoEnabled(false);  // the program fills it; nobody edits it
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setToolTip(QString::fromLatin1(tooltip));
  return box;
}

double TextHeight(const QWidget* widget, const QString& text, double width) {
  const QRect bounds(0, 0, static_cast<int>(width), 100000);
  return widget->fontMetrics().boundingRect(bounds, Qt::TextWordWrap, text).height();
}

}  // namespace

Step3Screen::Step3Screen(Wizard& wizard, WindowRunView& view, Moves moves, QWidget* parent)
    : Screen("pctStep3", parent), wizard_(wizard), moves_(std::move(moves)) {
  MakeFinalLists();
  MakeCollisionControls();
  MakeRunControls(view);

  lblPreview_ = MakeLabel("lblPreview", ui_text::kLblPreview, this);
  txtOP_ = MakeTextBox("txtOP", ui_text::kTxtOPTooltip, this);
  lblPreview_->setBuddy(txtOP_);

  MakePlanTable();

  connect(lstFinal_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    lstFinal_->setToolTip(item != nullptr ? item->text()
                                          : QString::fromLatin1(ui_text::kLstFinalTooltip));
  });
  connect(cmdPreview_, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
  connect(cmdProceed3_, &QPushButton::clicked, this, [this] { cmdProceed3_Click(); });
  connect(cmdCancel3_, &QPushButton::clicked, this, [this] { cmdCancel3_Click(); });
  connect(cmdOP_, &QPushButton::clicked, this, [this] { cmdOP_Click(); });
  connect(cmdErr_, &QPushButton::clicked, this, [this] { cmdErr_Click(); });
  Render();
}

void Step3Screen::MakeFinalLists() {
  lblActionsFinal_ = MakeLabel("lblActionsFinal", ui_text::kLblActionsFinal, this);
  lstFinal_ = Make<QListWidget>("lstFinal", this);
  lstFinal_->setToolTip(QString::fromLatin1(ui_text::kLstFinalTooltip));
  lstFinal_->setAccessibleName(QString::fromLatin1(ui_text::kLblActionsFinal).remove('&'));
  lblActionsFinal_->setBuddy(lstFinal_);
  lblFilesFinal_ = MakeLabel("lblFilesFinal", ui_text::kLblFilesFinal, this);
  lblFilesFinal_->setWordWrap(true);
  txtFinal_ = MakeTextBox("txtFinal", ui_text::kTxtFinalTooltip, this);
  lblFilesFinal_->setBuddy(txtFinal_);
  SepH6_ = MakeRule("SepH6", QFrame::HLine, this);
  SepV2_ = MakeRule("SepV2", QFrame::VLine, this);
}

void Step3Screen::MakeCollisionControls() {
  lblExisting_ = MakeLabel("lblExisting", ui_text::kLblExisting, this);
  optDoNotRename_ = MakeButton<QRadioButton>("optDoNotRename", ui_text::kOptDoNotRename, this);
  optOverwrite_ = MakeButton<QRadioButton>("optOverwrite", ui_text::kOptOverwrite, this);
  optAppendNumber_ = MakeButton<QRadioButton>("optAppendNumber", ui_text::kOptAppendNumber, this);
  collision_ = new QButtonGroup(this);
  const std::pair<QRadioButton*, CollisionOption> options[] = {
      {optDoNotRename_, CollisionOption::kDoNotRename},
      {optOverwrite_, CollisionOption::kOverwrite},
      {optAppendNumber_, CollisionOption::kAppendNumber}};
  for (const auto& [button, option] : options) {
    collision_->addButton(button);
    connect(button, &QRadioButton::toggled, this, [this, option](bool on) {
      if (!on) return;
      wizard_.CollisionChosen(option);
      Render();
      JobChanged();
    });
  }
  lblSep_ = MakeLabel("lblSep", ui_text::kLblSep, this);
  lblSep_->setWordWrap(true);
  txtSep_ = Make<QLineEdit>("txtSep", this);
  lblSep_->setBuddy(txtSep_);
  connect(txtSep_, &QLineEdit::textChanged, this, [this](const QString& text) {
    wizard_.SeparatorChanged(text.toStdString());
    JobChanged();
  });
  SepH7_ = MakeRule("SepH7", QFrame::HLine, this);
}

void Step3Screen::MakeRunControls(WindowRunView& view) {
  cmdPreview_ = MakeButton<QPushButton>(ui_text::kCmdPreview, this);
  chkProcess_ = MakeButton<QCheckBox>("chkProcess", ui_text::kChkProcess, this);
  connect(chkProcess_, &QCheckBox::toggled, this,
          [this](bool on) { wizard_.ProcessFileChosen(on); });
  cmdOP_ = MakeButton<QPushButton>(ui_text::kCmdOP, this);
  cmdErr_ = MakeButton<QPushButton>(ui_text::kCmdErr, this);
  SepH8_ = MakeRule("SepH8", QFrame::HLine, this);
  SepH9_ = MakeRule("SepH9", QFrame::HLine, this);
  cmdCancel3_ = MakeButton<QPushButton>(ui_text::kCmdCancel3, this);
  cmdProceed3_ = Make<QPushButton>("cmdProceed3", this);
  cmdProceed3_->setToolTip(QString::fromLatin1(ui_text::kCmdProceed3Tooltip));
  lblStatus_ = Make<QLabel>("lblStatus", this);
  lblStatus_->setWordWrap(true);
  lblStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  view.SetStatusLabel(lblStatus_);
}

void Step3Screen::MakePlanTable() {
  cmdTable_ = MakeButton<QPushButton>(ui_text::kCmdTable, this);
  cmdTable_->setCheckable(true);
  cmdTable_->setAutoDefault(false);
  cmdTable_->setAccessibleName(QString::fromLatin1(ui_text::kCmdTable.caption).remove('&'));
  chkAttention_ = MakeButton<QCheckBox>(ui_text::kChkAttention, this);
  chkAttention_->setAccessibleName(QString::fromLatin1(ui_text::kChkAttention.caption).remove('&'));
  plan_model_ = new PlanTableModel(this);
  plan_shown_ = new PlanRowsShown(plan_model_, this);
  tblPlan_ = Make<QTableView>(ui_text::kTblPlanName, this);
  tblPlan_->setToolTip(QString::fromLatin1(ui_text::kTblPlanTooltip));
  tblPlan_->setAccessibleName(QString::fromLatin1(ui_text::kTblPlanAccessibleName));
  tblPlan_->setModel(plan_shown_);
  tblPlan_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblPlan_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblPlan_->setAlternatingRowColors(true);
  tblPlan_->setWordWrap(false);
  tblPlan_->setTextElideMode(Qt::ElideMiddle);
  tblPlan_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows of one height, never measured one by one: a long plan fills fast.
  tblPlan_->verticalHeader()->hide();
  tblPlan_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tblPlan_->verticalHeader()->setDefaultSectionSize(tblPlan_->fontMetrics().height() + 6);
  tblPlan_->horizontalHeader()->setStretchLastSection(true);
  tblPlan_->horizontalHeader()->setSortIndicatorClearable(true);
  tblPlan_->setSortingEnabled(true);
  // The plan's own order (the order Perform takes the files) until a heading is clicked.
  tblPlan_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  tblPlan_->hide();
  chkAttention_->hide();
  plan_soon_ = new QTimer(this);
  plan_soon_->setSingleShot(true);
  plan_soon_->setInterval(150);
  connect(plan_soon_, &QTimer::timeout, this, [this] { RefreshPlan(); });
  connect(cmdTable_, &QPushButton::toggled, this, [this](bool on) { ShowTable(on); });
  connect(chkAttention_, &QCheckBox::toggled, this,
          [this](bool on) { plan_shown_->SetAttentionOnly(on); });
}

void Step3Screen::cmdPreview_Click() { StartRun(true); }

void Step3Screen::cmdProceed3_Click() { StartRun(false); }

void Step3Screen::cmdCancel3_Click() { moves_.back(); }

void Step3Screen::cmdOP_Click() { wizard_.ViewReport(ReportKind::kProcess); }

void Step3Screen::cmdErr_Click() { wizard_.ViewReport(ReportKind::kErrors); }

void Step3Screen::StartRun(bool preview) {
  // A run and a plan never go at once; the plan follows the run.
  StopPlan();
  Wizard& wizard = wizard_;
  // The passes' thread says when it is through; the end of the run, with its
  // questions, then happens here.
  const bool started = wizard.StartRun(preview, [this] {
    QMetaObject::invokeMethod(
        this, [this] { RunEnded(); }, Qt::QueuedConnection);
  });
  if (!started) {
    // The separator check failed, the work files could not be made, or the
    // Finished sequence ran instead.
    wizard.FinishRun();
    RefreshPlan();
  }
  ShowPreview();
  moves_.follow();
}

void Step3Screen::RunEnded() {
  // The run's preview lines reach the job in FinishRun, with the rest of
  // what the run produced, after its questions; follow() then shows them.
  ShowPreview();
  if (moves_.run_ending) moves_.run_ending();
  wizard_.FinishRun();
  // A perform gave the files new names: the plan is made again on them.
  RefreshPlan();
  moves_.follow();
}

void Step3Screen::ShowTable(bool shown) {
  txtOP_->setVisible(!shown);
  tblPlan_->setVisible(shown);
  chkAttention_->setVisible(shown);
  lblPreview_->setBuddy(shown ? static_cast<QWidget*>(tblPlan_) : txtOP_);
  if (shown && plan_stale_) RefreshPlan();
}

void Step3Screen::JobChanged() {
  StopPlan();
  if (cmdTable_->isChecked() && isVisible()) plan_soon_->start();
}

void Step3Screen::StopPlan() {
  plan_soon_->stop();
  plan_task_.Stop();
  plan_model_->NewPlan();
  plan_stale_ = true;
}

void Step3Screen::RefreshPlan() {
  plan_soon_->stop();
  if (!cmdTable_->isChecked() || !isVisible() || wizard_.screen().running) return;
  const uint64_t plan = plan_model_->NewPlan();
  // Rows put in sorted order one batch at a time cost the proxy a pass over
  // all of its rows per place of insertion: while the plan comes in, its rows
  // go below, and the table is sorted once when it is through.
  plan_shown_->setDynamicSortFilter(false);
  // The plan's thread gets a job of its own: the window's stays on this thread.
  plan_task_.Start(wizard_.job(), std::make_unique<PlanRowSink>(plan_model_, plan),
                   [this, plan](const RunOutcome&) {
                     QMetaObject::invokeMethod(
                         this,
                         [this, plan] {
                           if (plan == plan_model_->plan()) plan_shown_->setDynamicSortFilter(true);
                         },
                         Qt::QueuedConnection);
                   });
  plan_stale_ = false;
}

void Step3Screen::ShowPreview() {
  // While a run is under way the job still holds the last run's lines.
  if (wizard_.screen().running) return;
  const std::string& text = wizard_.job().txtOP.text();
  if (text == shown_preview_) return;
  shown_preview_ = text;
  preview_at_ = 0;
  txtOP_->clear();
  AppendPreviewSlice(++preview_round_);
}

void Step3Screen::AppendPreviewSlice(int round) {
  // A long preview (a line per file) goes in a slice of whole lines at a
  // time, each on a turn of its own, so the window keeps answering meanwhile.
  constexpr size_t kSlice = 256 * 1024;
  if (round != preview_round_) return;
  const std::string& text = shown_preview_;
  size_t end = text.size();
  if (end - preview_at_ > kSlice) {
    const size_t line_end = text.rfind('\n', preview_at_ + kSlice);
    end = line_end != std::string::npos && line_end > preview_at_ ? line_end + 1
                                                                   : preview_at_ + kSlice;
  }
  QTextCursor cursor(txtOP_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(ForDisplay(text.substr(preview_at_, end - preview_at_)));
  preview_at_ = end;
  if (preview_at_ < text.size()) {
    QTimer::singleShot(0, this, [this, round] { AppendPreviewSlice(round); });
  }
}

void Step3Screen::Render() {
  const ScreenState s = wizard_.screen();
  const Job& job = wizard_.job();
  const bool idle = !s.running;

  SyncList(lstFinal_, s.lstFinal);
  const QString files = ForDisplay(s.txtFinal);
  if (txtFinal_->toPlainText() != files) txtFinal_->setPlainText(files);

  QRadioButton* selected = job.collision == CollisionOption::kOverwrite      ? optOverwrite_
                           : job.collision == CollisionOption::kAppendNumber ? optAppendNumber_
                                                                             : optDoNotRename_;
  if (!selected->isChecked()) {
    const QSignalBlocker quiet(selected);
    selected->setChecked(true);
  }
  for (QRadioButton* option : {optDoNotRename_, optOverwrite_, optAppendNumber_}) {
    option->setEnabled(idle);
  }
  lblSep_->setVisible(s.separator_shown);
  txtSep_->setVisible(s.separator_shown);
  txtSep_->setEnabled(idle);
  if (txtSep_->text() != Shown(job.txtSep)) {
    const QSignalBlocker quiet(txtSep_);
    txtSep_->setText(Shown(job.txtSep));
  }
  if (chkProcess_->isChecked() != job.chkProcess) {
    const QSignalBlocker quiet(chkProcess_);
    chkProcess_->setChecked(job.chkProcess);
  }
  chkProcess_->setEnabled(idle);

  cmdPreview_->setEnabled(s.cmdPreview_enabled && idle);
  cmdOP_->setEnabled(s.cmdOP_enabled && idle);
  cmdErr_->setEnabled(s.cmdErr_enabled && idle);
  cmdCancel3_->setEnabled(s.cmdCancel3_enabled && idle);
  cmdProceed3_->setEnabled(idle);
  cmdProceed3_->setText(ForDisplay(s.cmdProceed3_caption()));
  lblStatus_->setText(ForDisplay(s.lblStatus));
  ShowPreview();
}

void Step3Screen::Entered() {
  Render();
  FocusIfShown(cmdPreview_);
  // The job may have changed on the other steps.
  StopPlan();
  RefreshPlan();
}

void Step3Screen::Position(const FrameMetrics& metrics) {
  metrics_ = metrics;
  Relayout();
}

void Step3Screen::Relayout() {
  if (!metrics_) return;
  const Step3Layout s = PositionStep3Screen(LayoutInput());
  const std::pair<QWidget*, const Rect*> placed[] = {
      {lblActionsFinal_, &s.lblActionsFinal},
      {lstFinal_, &s.lstFinal},
      {lblFilesFinal_, &s.lblFilesFinal},
      {txtFinal_, &s.txtFinal},
      {lblPreview_, &s.lblPreview},
      {txtOP_, &s.txtOP},
      {lblExisting_, &s.lblExisting},
      {optDoNotRename_, &s.optDoNotRename},
      {optOverwrite_, &s.optOverwrite},
      {optAppendNumber_, &s.optAppendNumber},
      {lblSep_, &s.lblSep},
      {txtSep_, &s.txtSep},
      {cmdPreview_, &s.cmdPreview},
      {chkProcess_, &s.chkProcess},
      {cmdOP_, &s.cmdOP},
      {cmdErr_, &s.cmdErr},
      {cmdCancel3_, &s.cmdCancel3},
      {cmdProceed3_, &s.cmdProceed3},
      {lblStatus_, &s.lblStatus},
  };
  for (const auto& [widget, rect] : placed) PlaceWithin(widget, *rect);
  PlacePlanTable(s);
  const double pw = metrics_->screen.width;
  PlaceHorizontalRule(SepH6_, s.SepH6, 0, pw);
  PlaceVerticalRule(SepV2_, s.SepV2_x, s.SepH6, s.SepV2_bottom);
  PlaceHorizontalRule(SepH7_, s.SepH7, 0, s.SepV2_x);
  PlaceHorizontalRule(SepH8_, s.SepH8, 0, s.SepV2_x);
  PlaceHorizontalRule(SepH9_, s.SepH9, 0, pw);
}

Step3Input Step3Screen::LayoutInput() const {
  Step3Input in;
  in.window_width = metrics_->window_width;
  in.window_height = metrics_->window_height;
  in.panel_width = metrics_->screen.width;
  in.panel_height = metrics_->screen.height;
  in.line_height = metrics_->line_height;
  in.lblFilesFinal_text_height = [this](double width) {
    return TextHeight(lblFilesFinal_, lblFilesFinal_->text(), width);
  };
  in.lblSep_text_height = [this](double width) {
    return TextHeight(lblSep_, lblSep_->text(), width);
  };
  in.lblStatus_text_height = [this](double width) { return LongestStatusHeight(width); };
  in.min_button_height =
      2 * cmdProceed3_->fontMetrics().lineSpacing() + cmdProceed3_->fontMetrics().height() / 2 + 4;
  in.optDoNotRename_natural = optDoNotRename_->sizeHint().width();
  in.optOverwrite_natural = optOverwrite_->sizeHint().width();
  in.optAppendNumber_natural = optAppendNumber_->sizeHint().width();
  const double option_gaps = Pct(metrics_->window_width, 1);
  in.min_column_width = std::max({CaptionWidth(cmdPreview_, ui_text::kCmdPreview.caption),
                                  in.optDoNotRename_natural + in.optOverwrite_natural +
                                      in.optAppendNumber_natural + option_gaps,
                                  2 * std::max(CaptionWidth(cmdOP_, ui_text::kCmdOP.caption),
                                               CaptionWidth(cmdErr_, ui_text::kCmdErr.caption)),
                                  static_cast<double>(lblExisting_->sizeHint().width()),
                                  static_cast<double>(chkProcess_->sizeHint().width())});
  return in;
}

// The longest status the label shows: the ready text, or a run's progress.
double Step3Screen::LongestStatusHeight(double width) const {
  const QString ready = ForDisplay(std::string(kStatusPrefix) + kStatusLineBreak + kStatusReady);
  const QString progress =
      ForDisplay(std::string(kStatusPrefix) + kStatusLineBreak + kProgressPreviewing +
                 "1,000,000,000" + kProgressOf + "1,000,000,000");
  // After a perform: its message and the counts of a large run.
  OutcomeCounter counts;
  counts.renamed = counts.unchanged = counts.skipped = counts.failed = 100000;
  const QString done = ForDisplay(std::string(kStatusPrefix) + kStatusPerformDone +
                                  kStatusLineBreak + CountsText(counts, 10));
  return std::max({TextHeight(lblStatus_, ready, width), TextHeight(lblStatus_, progress, width),
                   TextHeight(lblStatus_, done, width)});
}

// The table's toggle at the right end of the preview's caption row; the
// table, and its narrowing below, in the preview box's place.
void Step3Screen::PlacePlanTable(const Step3Layout& s) {
  const double gap = Pct(metrics_->screen.width, 1);
  Rect toggle = s.lblPreview;
  toggle.width = CaptionWidth(cmdTable_, ui_text::kCmdTable.caption);
  toggle.left = s.lblPreview.right() - toggle.width;
  toggle.height = std::max(s.lblPreview.height, CaptionHeight(cmdTable_));
  toggle.top = s.lblPreview.top + (s.lblPreview.height - toggle.height) / 2;
  Rect caption = s.lblPreview;
  caption.width = toggle.left - gap - caption.left;
  PlaceWithin(lblPreview_, caption);
  PlaceWithin(cmdTable_, toggle);
  Rect narrowing = s.txtOP;
  narrowing.height = chkAttention_->sizeHint().height();
  Rect table = s.txtOP;
  table.top = narrowing.bottom() + gap / 2;
  table.height = s.txtOP.bottom() - table.top;
  PlaceWithin(chkAttention_, narrowing);
  PlaceWithin(tblPlan_, table);
  const double columns = table.width;
  tblPlan_->setColumnWidth(kColumnOldName, static_cast<int>(columns * 0.27));
  tblPlan_->setColumnWidth(kColumnNewName, static_cast<int>(columns * 0.27));
  tblPlan_->setColumnWidth(kColumnFolder, static_cast<int>(columns * 0.22));
}

}  // namespace qtarvox
