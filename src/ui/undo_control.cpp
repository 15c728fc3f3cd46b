#include "ui/undo_control.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/ui_texts.h"
#include "ui/widgets.h"
#include "ui/window_ports.h"
#include "wizard/screen_state.h"

namespace qtarvox {

// A look or an undo under way: what it does, how far it is, and Stop. Escape
// and the close box ask it to stop too; the dialog goes when the task is through.
class UndoProgress final : public QDialog {
 public:
  UndoProgress(QWidget* parent, const char* caption, std::function<void()> stop)
      : QDialog(parent), caption_(QString::fromLatin1(caption)), stop_(std::move(stop)) {
    setObjectName(QStringLiteral("dlgUndoProgress"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowModality(Qt::ApplicationModal);
    label_ = MakeLabel("lblUndoProgress", caption, this);
    bar_ = Make<QProgressBar>("barUndo", this);
    bar_->setAccessibleName(caption_);
    bar_->setRange(0, 0);
    stop_button_ = MakeButton<QPushButton>("cmdUndoStop", ui_text::kUndoStop, this);
    stop_button_->setAccessibleName(QString::fromLatin1(ui_text::kUndoStop).remove('&'));
    connect(stop_button_, &QPushButton::clicked, this, [this] { reject(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(stop_button_, 0, Qt::AlignRight);
    setMinimumWidth(fontMetrics().horizontalAdvance(caption_) + 80);
  }

  // `done` of `total` files (total 0: not known).
  void Show(int64_t done, int64_t total) {
    if (total <= 0) return;
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(std::min<int64_t>(done, total) * 1000 / total));
    label_->setText(caption_ + QStringLiteral("\n") +
                    QString::fromStdString(GroupedCount(done) + kProgressOf + GroupedCount(total)));
  }

  void reject() override {
    if (!stop_button_->isEnabled()) return;
    stop_button_->setEnabled(false);
    label_->setText(QString::fromLatin1(ui_text::kUndoStopping));
    stop_();
  }

 private:
  QString caption_;
  std::function<void()> stop_;
  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* stop_button_;
};

bool AskUndo(QWidget* parent, const std::string& question, const std::vector<std::string>& lines) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgUndo"));
  dialog.setWindowTitle(QString::fromLatin1(kAppTitle));
  auto* label = Make<QLabel>("lblUndo", &dialog);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setText(QString::fromStdString(question));
  auto* text = Make<QPlainTextEdit>("txtUndo", &dialog);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  QString shown;
  for (const std::string& line : lines) shown += QString::fromStdString(line) + QChar('\n');
  text->setPlainText(shown);
  text->setAccessibleName(QString::fromStdString(question));
  label->setBuddy(text);
  auto* buttons = new QDialogButtonBox(&dialog);
  auto* undo = MakeButton<QPushButton>("cmdUndoConfirm", ui_text::kUndoConfirm, &dialog);
  auto* cancel = MakeButton<QPushButton>("cmdUndoCancel", ui_text::kUndoCancel, &dialog);
  undo->setAutoDefault(false);
  cancel->setDefault(true);
  buttons->addButton(undo, QDialogButtonBox::AcceptRole);
  buttons->addButton(cancel, QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(label);
  layout->addWidget(text);
  layout->addWidget(buttons);
  if (parent != nullptr) dialog.resize(parent->width() * 3 / 5, parent->height() / 2);
  text->setFocus();
  return dialog.exec() == QDialog::Accepted;
}

namespace {

// The lines of a message, one below the other.
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

UndoControl::UndoControl(QWidget* parent, Prompter& prompter, std::function<void()> changed)
    : QObject(parent), parent_(parent), prompter_(prompter), changed_(std::move(changed)) {
  ticker_.setInterval(100);
  connect(&ticker_, &QTimer::timeout, this, [this] {
    if (progress_) progress_->Show(task_.FilesDone(), total_);
  });
  Refresh();
}

UndoControl::~UndoControl() = default;

void UndoControl::Refresh() {
  // The window holds the work folder, so only its own performs and undos
  // change the history; it is read again after each.
  available_ = UndoTask::Available();
}

void UndoControl::Start() {
  if (busy_) return;
  busy_ = true;
  total_ = 0;
  changed_();
  const bool started = task_.Start(true, [this] {
    QMetaObject::invokeMethod(
        this, [this] { LookDone(); }, Qt::QueuedConnection);
  });
  if (!started) {
    busy_ = false;
    changed_();
    return;
  }
  progress_ = std::make_unique<UndoProgress>(parent_, ui_text::kUndoLooking,
                                             [this] { task_.RequestStop(); });
  progress_->show();
}

void UndoControl::CloseProgress() {
  ticker_.stop();
  progress_.reset();
}

void UndoControl::LookDone() {
  const UndoEnd look = task_.Finish();
  CloseProgress();
  if (!look.found || look.stopped != 0) {
    busy_ = false;
    Refresh();
    changed_();
    if (!look.said.empty()) prompter_.Tell(Joined(look.said), kAppTitle);
    return;
  }
  total_ = task_.FilesDone();
  const std::string question = ui_text::kUndoQuestionStart + look.perform_time + " (" +
                               look.perform_job + ")" + ui_text::kUndoQuestionEnd;
  if (!AskUndo(parent_, question, look.lines)) {
    busy_ = false;
    changed_();
    return;
  }
  task_.Start(false, [this] {
    QMetaObject::invokeMethod(
        this, [this] { UndoDone(); }, Qt::QueuedConnection);
  });
  progress_ = std::make_unique<UndoProgress>(parent_, ui_text::kUndoWorking,
                                             [this] { task_.RequestStop(); });
  progress_->Show(0, total_);
  progress_->show();
  ticker_.start();
}

void UndoControl::UndoDone() {
  UndoEnd outcome = task_.Finish();
  CloseProgress();
  // What the command line says at the end of an undo, in its order.
  std::vector<std::string> said = std::move(outcome.said);
  if (outcome.found && outcome.stopped != 0) said.emplace_back(ui_text::kUndoStopped);
  busy_ = false;
  Refresh();
  changed_();
  prompter_.Tell(Joined(said), kAppTitle);
}

}  // namespace qtarvox
