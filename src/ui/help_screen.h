// The Help screen: the table of contents, the chosen topic's text, and the
// About, Contact and Acknowledgements buttons, which choose their rows.
#pragma once

#include "ui/screen.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace qtarvox {

class HelpScreen final : public Screen {
 public:
  explicit HelpScreen(QWidget* parent);

  void Position(const FrameMetrics& metrics) override;
  // Focus to the table of contents. The chosen row and its text stay as
  // they were when the screen was left.
  void Entered() override;

  void cmdAbout_Click();
  void cmdContact_Click();
  void cmdThank_Click();

 private:
  void FillHelpContents();
  void lstTOC_Click();
  void ShowHelpTopic();
  // Chooses the first row from `first` to `last` that shows `topic`, as a
  // click on it would; nothing changes when there is none.
  void ChooseTopic(int topic, int first, int last);

  QLabel* lblTOC_;
  QListWidget* lstTOC_;
  QPlainTextEdit* txtHelp_;
  QPushButton* cmdAbout_;
  QPushButton* cmdContact_;
  QPushButton* cmdThank_;
};

}  // namespace qtarvox
