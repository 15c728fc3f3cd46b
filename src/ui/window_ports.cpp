#include "ui/window_ports.h"

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QThread>

namespace qtarvox {
namespace {

int ShowBox(QWidget* parent, const std::string& text, const std::string& caption,
            QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton on_escape = QMessageBox::NoButton) {
  return MakeMessageBox(parent, text, caption, buttons, on_escape)->exec();
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text,
                                            const std::string& caption,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton on_escape) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromStdString(caption));
  box->setIcon(QMessageBox::NoIcon);
  box->setTextFormat(Qt::PlainText);
  box->setText(ForDisplay(text));
  box->setStandardButtons(buttons);
  for (QAbstractButton* button : box->buttons()) button->setIcon(QIcon());
  if (on_escape != QMessageBox::NoButton) box->setEscapeButton(on_escape);
  return box;
}

QString ForDisplay(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

void QtPrompter::Tell(const std::string& text, const std::string& caption) {
  ShowBox(parent_, text, caption, QMessageBox::Ok);
}

bool QtPrompter::Ask(const std::string& text, const std::string& caption) {
  return ShowBox(parent_, text, caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

bool QtPrompter::AskKeeping(const std::string& text, const std::string& caption) {
  return ShowBox(parent_, text, caption, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

bool StartWatchedViewer(const std::string& path, std::function<void()> failed) {
  // Without a parent: a viewer left open when the window closes lives on.
  auto* opener = new QProcess();
  opener->setProgram(QStringLiteral("xdg-open"));
  opener->setArguments({QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()))});
  opener->setStandardOutputFile(QProcess::nullDevice());
  opener->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, failed](int code, QProcess::ExitStatus status) {
                     opener->deleteLater();
                     if (code != 0 || status != QProcess::NormalExit) failed();
                   });
  opener->start();
  if (opener->waitForStarted(2000)) return true;
  delete opener;
  return false;
}

WindowRunView::WindowRunView(Launcher launcher) : launcher_(std::move(launcher)) {}

void WindowRunView::ShowStatus(const std::string& caption) {
  QLabel* label = status_;
  if (label == nullptr) return;
  const QString text = ForDisplay(caption);
  // The description follows the text, so a screen reader hears the progress
  // even where the label has a name of its own.
  if (QThread::currentThread() == label->thread()) {
    label->setText(text);
    label->setAccessibleDescription(text);
    label->repaint();
    return;
  }
  QMetaObject::invokeMethod(
      label,
      [label, text] {
        label->setText(text);
        label->setAccessibleDescription(text);
      },
      Qt::QueuedConnection);
}

}  // namespace qtarvox
