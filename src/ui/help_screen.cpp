#include "ui/help_screen.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "help/compose_topic.h"
#include "help/help_contents.h"
#include "ui/help_layout.h"
#include "help/help_texts.h"
#include "ui/window_ports.h"

namespace qtarvox {
namespace {

constexpr int kTopicRole = Qt::UserRole;

template <typename W>
W* Make(const char* name, QWidget* parent) {
  W* widget = new W(parent);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
  QPushButton* button = Make<QPushButton>(name, parent);
  button->setText(QString::fromLatin1(caption));
  return button;
}

void SetPoints(QWidget* widget, double points, bool bold) {
  QFont font = widget->font();
  font.setPointSizeF(points);
  font.setBold(bold);
  widget->setFont(font);
}

}  // namespace

HelpScreen::HelpScreen(QWidget* parent) : Screen("pctHelp", parent) {
  lblTOC_ = Make<QLabel>("lblTOC", this);
  lblTOC_->setText(QString::fromLatin1(help::text::kLblTOC));
  lblTOC_->setWordWrap(true);
  lblTOC_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  lstTOC_ = Make<QListWidget>("lstTOC", this);
  // Long rows wrap onto a second line instead of being cut.
  lstTOC_->setWordWrap(true);
  lstTOC_->setTextElideMode(Qt::ElideNone);
  lstTOC_->setResizeMode(QListView::Adjust);
  SetPoints(lstTOC_, help::text::kLstTOCPoints, true);
  lstTOC_->setToolTip(QString::fromLatin1(help::text::kLstTOCTooltip));
  lstTOC_->setAccessibleName(QString::fromLatin1(help::text::kLstTOCName));
  lstTOC_->setSelectionMode(QAbstractItemView::SingleSelection);
  lblTOC_->setBuddy(lstTOC_);

  txtHelp_ = Make<QPlainTextEdit>("txtHelp", this);
  SetPoints(txtHelp_, help::text::kTxtHelpPoints, false);
  txtHelp_->setReadOnly(true);
  txtHelp_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  txtHelp_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtHelp_->setAccessibleName(QString::fromLatin1(help::text::kTxtHelpName));

  cmdAbout_ = MakeButton("cmdAbout", help::text::kCmdAbout, this);
  cmdContact_ = MakeButton("cmdContact", help::text::kCmdContact, this);
  cmdThank_ = MakeButton("cmdThank", help::text::kCmdThank, this);
  connect(cmdAbout_, &QPushButton::clicked, this, [this] { cmdAbout_Click(); });
  connect(cmdContact_, &QPushButton::clicked, this, [this] { cmdContact_Click(); });
  connect(cmdThank_, &QPushButton::clicked, this, [this] { cmdThank_Click(); });

  FillHelpContents();
}

void HelpScreen::FillHelpContents() {
  for (const help::ContentsRow& row : help::kContents) {
    auto* item = new QListWidgetItem(QString::fromLatin1(row.text), lstTOC_);
    item->setData(kTopicRole, row.topic);
  }
  // Nothing is chosen until the user picks a row: a list that gets the focus
  // without a current row would otherwise make its first row current.
  lstTOC_->setCurrentIndex(QModelIndex());
  connect(lstTOC_, &QListWidget::currentRowChanged, this, [this] { lstTOC_Click(); });
}

void HelpScreen::lstTOC_Click() {
  const QListWidgetItem* item = lstTOC_->currentItem();
  if (item == nullptr) {
    lstTOC_->setToolTip(QString::fromLatin1(help::text::kLstTOCTooltip));
    return;
  }
  ShowHelpTopic();
  lstTOC_->setToolTip(item->text());
}

void HelpScreen::ShowHelpTopic() {
  txtHelp_->setPlainText(ForDisplay(help::ComposeTopic(lstTOC_->currentRow())));
}

void HelpScreen::ChooseTopic(int topic, int first, int last) {
  const int row = help::FindTopicRow(topic, first, last);
  if (row < 0) return;
  if (lstTOC_->currentRow() == row) {
    lstTOC_Click();
  } else {
    lstTOC_->setCurrentRow(row);  // shows the topic
  }
  lstTOC_->scrollToItem(lstTOC_->item(row));
}

void HelpScreen::cmdAbout_Click() {
  ChooseTopic(help::kAboutTopic, help::kAboutFirstRow, help::kAboutLastRow);
}

void HelpScreen::cmdContact_Click() {
  ChooseTopic(help::kContactTopic, help::kContactFirstRow, lstTOC_->count() - 1);
}

void HelpScreen::cmdThank_Click() {
  ChooseTopic(help::kThanksTopic, help::kThanksFirstRow, lstTOC_->count() - 1);
}

void HelpScreen::Entered() { FocusIfShown(lstTOC_); }

void HelpScreen::Position(const FrameMetrics& metrics) {
  const double pw = metrics.screen.width;
  const help::HelpLayout h =
      help::PositionHelpScreen(pw, metrics.screen.height, metrics.line_height,
                               lblTOC_->heightForWidth(static_cast<int>(Pct(pw, 40))));
  lblTOC_->setGeometry(ToPixels(h.lblTOC));
  lstTOC_->setGeometry(ToPixels(h.lstTOC));
  txtHelp_->setGeometry(ToPixels(h.txtHelp));
  cmdAbout_->setGeometry(ToPixels(h.buttons[0]));
  cmdContact_->setGeometry(ToPixels(h.buttons[1]));
  cmdThank_->setGeometry(ToPixels(h.buttons[2]));
}

}  // namespace qtarvox
