#include "ui/step1_screen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "ui/step1_info.h"
#include "ui/ui_texts.h"
#include "ui/widgets.h"
#include "ui/window_ports.h"
#include "wizard/wizard.h"

namespace qtarvox {
namespace {

constexpr int kActionIdRole = Qt::UserRole;

std::string Text(const QString& text) { return text.toStdString(); }

// A press on an entry's check box ticks the entry and highlights it too (a
// plain list would only tick it).
class ActionList final : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) {
      if (QListWidgetItem* item = itemAt(event->position().toPoint())) setCurrentItem(item);
    }
    QListWidget::mousePressEvent(event);
  }
};

}  // namespace

Step1Screen::Step1Screen(Wizard& wizard, Moves moves, QWidget* parent)
    : Screen("pctStep1", parent), wizard_(wizard), moves_(std::move(moves)) {
  lblActions_ = MakeLabel("lblActions", ui_text::kLblActions, this);
  lstActions_ = Make<ActionList>("lstActions", this);
  lblActions_->setBuddy(lstActions_);
  // A list does not take its name from its label as text boxes do.
  lstActions_->setAccessibleName(QString::fromLatin1(ui_text::kLblActions).remove('&'));
  SepY1_ = MakeRule("SepY1", QFrame::VLine, this);
  SepH3_ = MakeRule("SepH3", QFrame::HLine, this);
  lblAddInfo_ = MakeLabel("lblAddInfo", ui_text::kLblAddInfo, this);
  lblNone_ = MakeLabel("lblNone", ui_text::kLblNone, this);

  lblAI1_ = Make<QLabel>("lblAI1", this);
  txtAI1_ = Make<QLineEdit>("txtAI1", this);
  lblAI2_ = Make<QLabel>("lblAI2", this);
  txtAI2_ = Make<QLineEdit>("txtAI2", this);
  for (QLabel* label : {lblAI1_, lblAI2_}) label->setWordWrap(true);
  lblAI1_->setBuddy(txtAI1_);
  lblAI2_->setBuddy(txtAI2_);

  optAI1_ = MakeButton<QRadioButton>("optAI1", ui_text::kOptAI1, this);
  optAI2_ = MakeButton<QRadioButton>("optAI2", ui_text::kOptAI2, this);
  optAI3_ = MakeButton<QRadioButton>("optAI3", ui_text::kOptAI3, this);
  optAI4_ = MakeButton<QRadioButton>("optAI4", ui_text::kOptAI4, this);
  numbering_group_ = new QButtonGroup(this);
  numbering_group_->addButton(optAI1_);
  numbering_group_->addButton(optAI2_);
  case_group_ = new QButtonGroup(this);
  case_group_->addButton(optAI3_);
  case_group_->addButton(optAI4_);
  optAI1_->setChecked(true);
  optAI3_->setChecked(true);

  chkAI1_ = MakeButton<QCheckBox>("chkAI1", ui_text::kChkAI1, this);
  chkAI2_ = MakeButton<QCheckBox>("chkAI2", ui_text::kChkAI2, this);
  chkAI3_ = MakeButton<QCheckBox>("chkAI3", ui_text::kChkAI3, this);
  txtAI3_ = Make<QLineEdit>("txtAI3", this);
  txtAI3_->setAccessibleName(QString::fromLatin1(ui_text::kTxtAI3Name));

  lblDesc_ = MakeLabel("lblDesc", ui_text::kLblDesc, this);
  txtStep1Desc_ = Make<QPlainTextEdit>("txtStep1Desc", this);
  txtStep1Desc_->setReadOnly(true);
  txtStep1Desc_->setPlainText(QString::fromLatin1(ui_text::kStep1DescStart));
  lblDesc_->setBuddy(txtStep1Desc_);

  cmdCancel1_ = MakeButton<QPushButton>("cmdCancel1", ui_text::kCmdCancel1, this);
  cmdCancel1_->setToolTip(QString::fromLatin1(ui_text::kCmdCancel1Tooltip));
  cmdProceed1_ = MakeButton<QPushButton>("cmdProceed1", ui_text::kCmdProceed1, this);
  cmdProceed1_->setToolTip(QString::fromLatin1(ui_text::kCmdProceed1Tooltip));
  connect(cmdCancel1_, &QPushButton::clicked, this, [this] { cmdCancel1_Click(); });
  connect(cmdProceed1_, &QPushButton::clicked, this, [this] { cmdProceed1_Click(); });

  FillActionList();
  ConnectParameterControls();
  HideActionControls();
}

void Step1Screen::FillActionList() {
  lstActions_->setSelectionMode(QAbstractItemView::SingleSelection);
  WrapRows(lstActions_);
  lstActions_->setToolTip(QString::fromLatin1(ui_text::kLstActionsTooltip));
  for (const ActionEntry& entry : wizard_.job().lstActions) {
    auto* item = new QListWidgetItem(QString::fromStdString(entry.text), lstActions_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
    item->setData(kActionIdRole, static_cast<int>(entry.id));
  }
  // A list that gets the focus without a current entry makes its first entry
  // current; having set "no current entry" explicitly keeps it that way, so
  // nothing is highlighted until the user picks an entry.
  lstActions_->setCurrentIndex(QModelIndex());
  const int highlighted = wizard_.screen().highlighted;
  if (highlighted >= 0 && highlighted < lstActions_->count()) {
    lstActions_->setCurrentRow(highlighted);
  }

  // Moving through the list with the keyboard only shows each action; the
  // focus goes to an action's first box when the action is ticked (by mouse
  // or Space) or its text is clicked, so the arrows can walk the whole list.
  connect(lstActions_, &QListWidget::currentRowChanged, this,
          [this](int row) { lstActions_Click(row); });
  connect(lstActions_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const bool ticked = item->checkState() == Qt::Checked;
    wizard_.SetTicked(lstActions_->row(item), ticked);
    if (!ticked) return;
    lstActions_->setCurrentItem(item);
    FocusIfShown(txtAI1_);
  });
  connect(lstActions_, &QListWidget::itemClicked, this, [this] { FocusIfShown(txtAI1_); });
}

void Step1Screen::ConnectParameterControls() {
  // Each change is stored at once for the highlighted action. Filling the
  // controls from the job blocks these signals, so showing never writes.
  const auto with_id = [this](auto&& store) {
    return [this, store](auto value) {
      if (const auto id = HighlightedId()) store(*id, value);
    };
  };
  connect(txtAI1_, &QLineEdit::textChanged, this,
          with_id([this](ActionId id, const QString& t) { wizard_.txtAI1Changed(id, Text(t)); }));
  connect(txtAI2_, &QLineEdit::textChanged, this,
          with_id([this](ActionId id, const QString& t) { wizard_.txtAI2Changed(id, Text(t)); }));
  connect(txtAI3_, &QLineEdit::textChanged, this,
          with_id([this](ActionId id, const QString& t) { wizard_.txtAI3Changed(id, Text(t)); }));
  connect(optAI1_, &QRadioButton::toggled, this, with_id([this](ActionId id, bool on) {
            if (on) wizard_.NumberStyleChosen(id, NumberStyle::kNormal);
          }));
  connect(optAI2_, &QRadioButton::toggled, this, with_id([this](ActionId id, bool on) {
            if (on) wizard_.NumberStyleChosen(id, NumberStyle::kEven);
          }));
  connect(chkAI3_, &QCheckBox::toggled, this, with_id([this](ActionId id, bool on) {
            wizard_.StartNumberGiven(id, on);
            txtAI3_->setEnabled(on);
          }));
  // Enter in a box is done with Step 1: it proceeds, as the button does.
  for (QLineEdit* box : {txtAI1_, txtAI2_, txtAI3_}) {
    connect(box, &QLineEdit::returnPressed, cmdProceed1_, &QPushButton::click);
  }
  // These serve one action each and need no highlight.
  connect(optAI3_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) wizard_.CaseSensitiveChosen(false);
  });
  connect(optAI4_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) wizard_.CaseSensitiveChosen(true);
  });
  connect(chkAI1_, &QCheckBox::toggled, this,
          [this](bool on) { wizard_.CapitalizeSpacesChosen(on); });
  connect(chkAI2_, &QCheckBox::toggled, this,
          [this](bool on) { wizard_.CapitalizeUnderscoresChosen(on); });
}

std::optional<ActionId> Step1Screen::HighlightedId() const {
  const QListWidgetItem* item = lstActions_->currentItem();
  if (item == nullptr) return std::nullopt;
  const int id = item->data(kActionIdRole).toInt();
  if (id < 1 || id > kActionCount) return std::nullopt;
  return static_cast<ActionId>(id);
}

void Step1Screen::lstActions_Click(int row) {
  wizard_.SetHighlighted(row);
  const QListWidgetItem* item = row >= 0 ? lstActions_->item(row) : nullptr;
  if (item == nullptr) {
    lstActions_->setToolTip(QString::fromLatin1(ui_text::kLstActionsTooltip));
    return;
  }
  lstActions_->setToolTip(item->text());
  if (const auto id = HighlightedId()) ShowActionInfo(*id);
}

void Step1Screen::Render() {
  const auto& entries = wizard_.job().lstActions;
  {
    const QSignalBlocker quiet(lstActions_);
    for (int row = 0; row < lstActions_->count() && row < static_cast<int>(entries.size()); ++row) {
      const bool ticked = entries[static_cast<size_t>(row)].ticked;
      lstActions_->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
  }
  const int highlighted = wizard_.screen().highlighted;
  if (highlighted >= 0 && highlighted < lstActions_->count() &&
      lstActions_->currentRow() != highlighted) {
    lstActions_->setCurrentRow(highlighted);  // shows the action's information
  }
}

void Step1Screen::HideActionControls() {
  for (QWidget* w : std::initializer_list<QWidget*>{lblNone_, lblAI1_, lblAI2_, txtAI1_, txtAI2_,
                                                    txtAI3_, optAI1_, optAI2_, optAI3_, optAI4_,
                                                    chkAI1_, chkAI2_, chkAI3_}) {
    w->hide();
  }
}

void Step1Screen::ShowActionInfo(ActionId id) {
  if (wizard_.screen().finished) return;
  const int value = static_cast<int>(id);
  if (!HighlightedId() || value < 1 || value > kActionCount) return;

  txtStep1Desc_->setPlainText(ForDisplay(ActionDescription(id)));
  HideActionControls();
  const ActionControls c = ControlsFor(wizard_.job(), id);
  const auto show_text = [](QLabel* label, QLineEdit* box,
                            const std::optional<std::string>& caption,
                            const std::optional<std::string>& text) {
    if (caption) {
      label->setText(ForDisplay(*caption));
      label->show();
    }
    if (text) {
      const QSignalBlocker quiet(box);
      box->setText(QString::fromStdString(*text));
      box->show();
    }
  };
  lblNone_->setVisible(c.lblNone);
  show_text(lblAI1_, txtAI1_, c.lblAI1, c.txtAI1);
  show_text(lblAI2_, txtAI2_, c.lblAI2, c.txtAI2);
  if (c.numbering) {
    const QSignalBlocker quiet1(optAI1_), quiet2(optAI2_), quiet3(chkAI3_), quiet4(txtAI3_);
    (c.optAI1_selected ? optAI1_ : optAI2_)->setChecked(true);
    chkAI3_->setChecked(c.chkAI3_ticked);
    txtAI3_->setText(QString::fromStdString(c.txtAI3));
    txtAI3_->setEnabled(c.chkAI3_ticked);
    for (QWidget* w : std::initializer_list<QWidget*>{optAI1_, optAI2_, chkAI3_, txtAI3_}) {
      w->show();
    }
  }
  if (c.case_choice) {
    const QSignalBlocker quiet3(optAI3_), quiet4(optAI4_);
    (c.optAI4_selected ? optAI4_ : optAI3_)->setChecked(true);
    optAI3_->show();
    optAI4_->show();
  }
  if (c.capitalize) {
    const QSignalBlocker quiet1(chkAI1_), quiet2(chkAI2_);
    chkAI1_->setChecked(c.chkAI1_ticked);
    chkAI2_->setChecked(c.chkAI2_ticked);
    chkAI1_->show();
    chkAI2_->show();
  }
  Relayout();  // the captions may need another height
}

void Step1Screen::Entered() {
  FocusIfShown(lstActions_);
  if (const auto id = HighlightedId()) ShowActionInfo(*id);
}

void Step1Screen::cmdProceed1_Click() {
  const Step1Check check = wizard_.AcceptStep1();
  if (check.passed) {
    moves_.accepted();
    return;
  }
  if (check.failing < 0 || check.failing >= lstActions_->count()) return;
  if (lstActions_->currentRow() != check.failing) {
    lstActions_->setCurrentRow(check.failing);  // shows the action's information
  } else {
    lstActions_Click(check.failing);
  }
  const auto id = HighlightedId();
  if (!id) return;
  switch (BoxOfFailedCheck(wizard_.job(), *id)) {
    case FailedBox::kTxtAI1:
      FocusIfShown(txtAI1_);
      break;
    case FailedBox::kTxtAI2:
      FocusIfShown(txtAI2_);
      break;
    case FailedBox::kTxtAI3:
      FocusIfShown(txtAI3_);
      break;
    case FailedBox::kNone:
      break;
  }
}

void Step1Screen::cmdCancel1_Click() { moves_.back(); }

void Step1Screen::Position(const FrameMetrics& metrics) {
  metrics_ = metrics;
  Relayout();
}

void Step1Screen::Relayout() {
  if (!metrics_) return;
  const double pw = metrics_->screen.width;
  const int caption_width = static_cast<int>(Pct(pw, 25));
  Step1Input in;
  in.window_height = metrics_->window_height;
  in.panel_width = pw;
  in.panel_height = metrics_->screen.height;
  in.line_height = metrics_->line_height;
  in.lblAI1_text_height = lblAI1_->heightForWidth(caption_width);
  in.lblAI2_text_height = lblAI2_->heightForWidth(caption_width);
  in.chkAI3_width =
      Chk3Width(chkAI3_->font().pointSizeF(), static_cast<int>(chkAI3_->text().size()),
                chkAI3_->sizeHint().width());
  const Step1Layout s = PositionStep1Screen(in);

  const std::pair<QWidget*, const Rect*> placed[] = {
      {lblActions_, &s.lblActions},
      {lstActions_, &s.lstActions},
      {lblAddInfo_, &s.lblAddInfo},
      {lblNone_, &s.lblNone},
      {lblAI1_, &s.lblAI1},
      {txtAI1_, &s.txtAI1},
      {lblAI2_, &s.lblAI2},
      {txtAI2_, &s.txtAI2},
      {optAI1_, &s.optAI1},
      {optAI2_, &s.optAI2},
      {optAI3_, &s.optAI3},
      {optAI4_, &s.optAI4},
      {chkAI1_, &s.chkAI1},
      {chkAI2_, &s.chkAI2},
      {chkAI3_, &s.chkAI3},
      {txtAI3_, &s.txtAI3},
      {txtStep1Desc_, &s.txtStep1Desc},
      {lblDesc_, &s.lblDesc},
      {cmdCancel1_, &s.cmdCancel1},
      {cmdProceed1_, &s.cmdProceed1},
  };
  for (const auto& [widget, rect] : placed) widget->setGeometry(ToPixels(*rect));
  PlaceVerticalRule(SepY1_, s.SepY1_x, 0, s.SepY1_bottom);
  PlaceHorizontalRule(SepH3_, s.SepH3, 0, pw);
}

}  // namespace qtarvox
