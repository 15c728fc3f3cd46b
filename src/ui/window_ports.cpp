#include "ui/window_ports.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QThread>

namespace qtarvox {
namespace {

int ShowBox(QWidget* parent, const std::string& text, const std::string& caption,
            QMessageBox::StandardButtons buttons) {
  QMessageBox box(parent);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setIcon(QMessageBox::NoIcon);
  box.setTextFormat(Qt::PlainText);
  box.setText(ForDisplay(text));
  box.setStandardButtons(buttons);
  for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
  return box.exec();
}

}  // namespace

QString ForDisplay(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

void QtPrompter::Tell(const std::string& text, const std::string& caption) {
  ShowBox(parent_, text, caption, QMessageBox::Ok);
}

bool QtPrompter::Ask(const std::string& text, const std::string& caption) {
  return ShowBox(parent_, text, caption, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

WindowRunView::WindowRunView(Launcher launcher) : launcher_(std::move(launcher)) {}

void WindowRunView::ShowStatus(const std::string& caption) {
  QLabel* label = status_;
  if (label == nullptr) return;
  const QString text = ForDisplay(caption);
  if (QThread::currentThread() == label->thread()) {
    label->setText(text);
    label->repaint();
    return;
  }
  QMetaObject::invokeMethod(
      label, [label, text] { label->setText(text); }, Qt::QueuedConnection);
}

}  // namespace qtarvox
