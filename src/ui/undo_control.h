// The window's undo of the last perform: whether there is one to undo, the
// look at what the undo would do, the question whether to do it, and the
// undo itself with its progress and a Stop button. Both the look and the
// undo run on a thread of their own (UndoTask); the window's thread only
// starts them, shows their progress and tells how they went.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ports.h"
#include "wizard/undo_task.h"

class QWidget;

namespace qtarvox {

class UndoProgress;

// Asks whether to undo: `question` above the lines the undo would say, in a
// box that scrolls, with Undo and Cancel (Cancel answers Enter and Escape).
// The dialog is "dlgUndo", its text box "txtUndo", its buttons
// "cmdUndoConfirm" and "cmdUndoCancel".
bool AskUndo(QWidget* parent, const std::string& question, const std::vector<std::string>& lines);

class UndoControl final : public QObject {
 public:
  // `changed` is called on the window's thread whenever available() or
  // busy() may have changed. `parent` is the window the dialogs belong to.
  UndoControl(QWidget* parent, Prompter& prompter, std::function<void()> changed);
  ~UndoControl() override;

  // Reads the undo history again: whether a perform waits to be undone.
  void Refresh();
  bool available() const { return available_; }
  // A look or an undo is under way, or its question is being asked.
  bool busy() const { return busy_; }
  // The button: looks at what the undo would do, asks, then undoes.
  void Start();

 private:
  void LookDone();
  void UndoDone();
  void CloseProgress();

  QWidget* parent_;
  Prompter& prompter_;
  std::function<void()> changed_;
  UndoTask task_;
  bool available_ = false;
  bool busy_ = false;
  int64_t total_ = 0;  // the files the look found, for the undo's progress
  std::unique_ptr<UndoProgress> progress_;
  QTimer ticker_;
};

}  // namespace qtarvox
