// The window's side of the core's ports: real message boxes, and the status
// label with the desktop's viewer.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "engine/ports.h"

class QLabel;
class QWidget;

namespace qtarvox {

// Core texts end their lines in CR LF; a widget wants plain line feeds.
QString ForDisplay(const std::string& text);

// A message box as the window shows them: the caption given, no icon, plain
// text, `buttons`, and `on_escape` (when given) answering Escape.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text,
                                            const std::string& caption,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton on_escape);

// Modal message boxes over the window: the caption given, no icon, plain text,
// OK only or Yes and No. Escape gives the safe answer: OK, No, or for a
// question whose No throws work away, Yes.
class QtPrompter final : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  void Tell(const std::string& text, const std::string& caption) override;
  bool Ask(const std::string& text, const std::string& caption) override;
  bool AskKeeping(const std::string& text, const std::string& caption) override;

 private:
  QWidget* parent_;
};

// Opens `path` with the desktop's opener (xdg-open) without waiting for it.
// The opener's end is watched from the event loop: when it cannot be started,
// or ends in failure (no viewer for text files), `failed` is called there.
// Returns false only when the opener could not be started at all.
bool StartWatchedViewer(const std::string& path, std::function<void()> failed);

// Shows a run's status in the status label and opens report files with the
// given launcher. A status from the label's own thread is painted at once (a
// run there keeps the thread busy); one from a run's own thread is handed to
// the label's thread, which paints it when it comes to it.
class WindowRunView final : public RunView {
 public:
  using Launcher = std::function<bool(const std::string&)>;
  explicit WindowRunView(Launcher launcher);

  // The label that shows the status; none until the Step 3 screen sets it.
  void SetStatusLabel(QLabel* label) { status_ = label; }

  void ShowStatus(const std::string& caption) override;
  bool StartViewer(const std::string& path) override { return launcher_(path); }

 private:
  Launcher launcher_;
  QLabel* status_ = nullptr;
};

}  // namespace qtarvox
